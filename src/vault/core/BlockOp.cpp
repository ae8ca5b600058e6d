#include "vault/core/BlockOp.h"

#include <algorithm>

#include "platform/core/SecureZero.h"
#include "vault/core/PiFraction.h"
#include "vault/core/Words.h"

namespace vault {

namespace {

constexpr std::size_t kPWords = 18;

// P[n] takes the key bytes four at a time, cycling, most significant first;
// the only place in the cipher where bytes are read big-endian.
std::uint32_t KeyWord(const CipherKey &key, std::size_t n) {
    const std::size_t i = (4 * n) % key.size();
    return std::uint32_t(key[i]) << 24 | std::uint32_t(key[i + 1]) << 16 | std::uint32_t(key[i + 2]) << 8 |
           std::uint32_t(key[i + 3]);
}

void LoadKeyedP(std::array<std::uint32_t, kPWords> &p, const CipherKey &key) {
    std::copy(kPiFraction, kPiFraction + kPWords, p.begin());
    for (std::size_t n = 0; n < kPWords; ++n) p[n] ^= KeyWord(key, n);
}

Block EvenOddXor(const std::array<std::uint32_t, kPWords> &p) {
    Block m;
    for (std::size_t n = 0; n < kPWords; n += 2) {
        m.w0 ^= p[n];
        m.w1 ^= p[n + 1];
    }
    return m;
}

}  // namespace

Block LoadBlock(const unsigned char *bytes) { return {LoadLE(bytes), LoadLE(bytes + 4)}; }

void StoreBlock(Block block, unsigned char *bytes) {
    StoreLE(block.w0, bytes);
    StoreLE(block.w1, bytes + 4);
}

BlockOp::BlockOp(const CipherKey &key) {
    LoadKeyedP(p_, key);
    for (std::size_t box = 0; box < s_.size(); ++box)
        std::copy_n(kPiFraction + kPWords + 256 * box, 256, s_[box].begin());

    Block x;  // carried on from the P array into the S-boxes, never reset
    for (std::size_t n = 0; n < kPWords; n += 2) {
        x = Encipher(x);
        p_[n] = x.w0;
        p_[n + 1] = x.w1;
    }
    for (auto &box : s_) {
        for (std::size_t e = 0; e < box.size(); e += 2) {
            x = Encipher(x);
            box[e] = x.w0;
            box[e + 1] = x.w1;
        }
    }
    secure::Zero(&x, sizeof x);
}

BlockOp::~BlockOp() {
    secure::Zero(p_);
    for (auto &box : s_) secure::Zero(box);
}

std::uint32_t BlockOp::F(std::uint32_t v) const {
    return ((s_[0][v >> 24] + s_[1][(v >> 16) & 0xFF]) ^ s_[2][(v >> 8) & 0xFF]) + s_[3][v & 0xFF];
}

Block BlockOp::Encipher(Block x) const {
    const std::uint32_t t0 = x.w0;
    const std::uint32_t t1 = x.w1;
    x.w0 ^= p_[0];
    for (std::size_t i = 1; i <= 15; i += 2) {
        x.w1 ^= p_[i] ^ F(t0);
        x.w0 ^= p_[i + 1] ^ F(t1);
    }
    x.w1 ^= p_[17];
    return x;  // the halves stay where they are
}

Block BlockOp::Decipher(Block x) const {
    const std::uint32_t t0 = x.w0;
    const std::uint32_t t1 = x.w1;
    x.w1 ^= p_[17];
    for (std::size_t i = 16; i >= 2; i -= 2) {
        x.w0 ^= p_[i] ^ F(t1);
        x.w1 ^= p_[i - 1] ^ F(t0);
    }
    x.w0 ^= p_[0];
    return x;
}

Block BlockOp::Mask() const { return EvenOddXor(p_); }

BlockOpMask::BlockOpMask(const CipherKey &key) {
    std::array<std::uint32_t, kPWords> p;
    LoadKeyedP(p, key);
    Block x;
    for (std::size_t n = 0; n < kPWords; n += 2) {
        x = x ^ EvenOddXor(p);
        p[n] = x.w0;
        p[n + 1] = x.w1;
    }
    mask_ = EvenOddXor(p);
    secure::Zero(p);
    secure::Zero(&x, sizeof x);
}

BlockOpMask::~BlockOpMask() { secure::Zero(&mask_, sizeof mask_); }

}  // namespace vault
