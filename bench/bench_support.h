#pragma once

#include <string>

#include "base/host.h"

namespace tessara::bench {

// A host that shows nothing and answers every question "No".
class QuietHost : public Host {
public:
    void ShowStatus(const std::string&) override {}
    void ShowMessage(MessageKind, const std::string&) override {}
    bool Confirm(const std::string&) override { return false; }
};

}  // namespace tessara::bench
