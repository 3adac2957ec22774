#pragma once

#include <stdexcept>
#include <string>

namespace tessara {

// Inner code throws this with the text the user will see; the operation that
// started the work catches it and shows one message through the host.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tessara
