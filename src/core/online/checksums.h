#pragma once

#include <string>

namespace tessara {

// CRC-32 (the zlib polynomial) of a file's bytes as eight upper-case
// hexadecimal digits. Throws Error when the file cannot be read.
std::string FileCrc32Hex(const std::string& path);
// SHA-256 of a file's bytes as 64 lower-case hexadecimal digits. Throws Error.
std::string FileSha256Hex(const std::string& path);

}  // namespace tessara
