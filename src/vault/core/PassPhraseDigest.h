#pragma once
// Turns a pass phrase into cipher key bytes. The program passes the master
// password's digest text, never the clear master password.
//
// Every text byte is xored into a 256-byte buffer (starting as the digits of
// pi) and into the first 8 bytes of a 16-byte key buffer, which is stirred
// with MixFour after each group of 8. A pad 01 00 ... completes the last
// group. The buffer is then enciphered block by block with DigestBlockCipher
// under the key buffer, and the key is the start of the result.

#include <QByteArrayView>
#include <array>
#include <cstddef>
#include <cstdint>

#include "vault/core/BlockOp.h"

namespace vault {

// Step 7 shifts d, not c; the stored digests depend on it.
void MixFour(std::uint32_t &a, std::uint32_t &b, std::uint32_t &c, std::uint32_t &d);

void MixEight(std::uint32_t &a, std::uint32_t &b, std::uint32_t &c, std::uint32_t &d, std::uint32_t &e,
              std::uint32_t &f, std::uint32_t &g, std::uint32_t &h);

// 16-byte key, 16-byte blocks of four little-endian words, no chaining.
class DigestBlockCipher {
public:
    DigestBlockCipher(const CipherKey &key, int rounds);  // rounds are clamped to 4 ... 16
    ~DigestBlockCipher();
    DigestBlockCipher(const DigestBlockCipher &) = delete;
    DigestBlockCipher &operator=(const DigestBlockCipher &) = delete;

    void EncipherBlock(unsigned char *block) const;  // 16 bytes, in place

private:
    std::array<std::uint32_t, 32> roundKeys_;
    int rounds_;
};

inline constexpr std::size_t kPassPhraseDigestSize = 256;
inline constexpr int kPassPhraseDigestRounds = 8;

// Writes the first min(count, 256) digest bytes of text to out and returns
// how many it wrote.
std::size_t PassPhraseDigest(QByteArrayView text, unsigned char *out, std::size_t count);

}  // namespace vault
