#pragma once
// The hexadecimal digits of the fractional part of pi as 32-bit words, most
// significant first: 243F6A88 85A308D3 13198A2E ... Computed at build time.
// The block operation takes its P array from the first 18 words and its four
// S-boxes from the next 1024; the pass-phrase digest starts from the first
// 256 bytes read big-endian.

#include <cstddef>
#include <cstdint>

namespace vault {

inline constexpr std::size_t kPiFractionWords = 18 + 4 * 256;
extern const std::uint32_t kPiFraction[kPiFractionWords];

}  // namespace vault
