#include "online/checksums.h"

#include <fmt/format.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <memory>

#include "model/error.h"
#include "model/files.h"

namespace tessara {

std::string FileCrc32Hex(const std::string& path) {
    const std::string data = ReadFileBytes(path);
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes at most a uInt per call.
    size_t pos = 0;
    while (pos < data.size()) {
        const size_t n = std::min<size_t>(data.size() - pos, 1u << 30);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data() + pos), static_cast<uInt>(n));
        pos += n;
    }
    return fmt::format("{:08X}", static_cast<uint32_t>(crc));
}

std::string FileSha256Hex(const std::string& path) {
    const std::string data = ReadFileBytes(path);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    if (EVP_Digest(data.data(), data.size(), digest, &len, EVP_sha256(), nullptr) != 1)
        throw Error("SHA-256: " + path);
    std::string hex;
    for (unsigned int i = 0; i < len; ++i) hex += fmt::format("{:02x}", digest[i]);
    return hex;
}

}  // namespace tessara
