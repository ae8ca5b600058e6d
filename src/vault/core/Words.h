#pragma once
// 32-bit words of the stored formats: always little-endian, byte 0 least
// significant.

#include <cstdint>

namespace vault {

inline std::uint32_t LoadLE(const unsigned char *b) {
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
}

inline void StoreLE(std::uint32_t v, unsigned char *b) {
    b[0] = static_cast<unsigned char>(v);
    b[1] = static_cast<unsigned char>(v >> 8);
    b[2] = static_cast<unsigned char>(v >> 16);
    b[3] = static_cast<unsigned char>(v >> 24);
}

}  // namespace vault
