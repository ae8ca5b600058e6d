#include "vault/core/PassPhraseDigest.h"

#include <algorithm>
#include <cstring>

#include "platform/core/SecureZero.h"
#include "vault/core/PiFraction.h"
#include "vault/core/Words.h"

namespace vault {

namespace {

class DigestState {
public:
    DigestState() {
        for (std::size_t i = 0; i < buffer_.size() / 4; ++i) {
            const std::uint32_t w = kPiFraction[i];  // read big-endian here
            buffer_[4 * i] = static_cast<unsigned char>(w >> 24);
            buffer_[4 * i + 1] = static_cast<unsigned char>(w >> 16);
            buffer_[4 * i + 2] = static_cast<unsigned char>(w >> 8);
            buffer_[4 * i + 3] = static_cast<unsigned char>(w);
        }
        key_.fill(0x55);
    }
    ~DigestState() {
        secure::Zero(buffer_);
        secure::Zero(key_);
    }
    DigestState(const DigestState &) = delete;
    DigestState &operator=(const DigestState &) = delete;

    void Feed(unsigned char x) {
        buffer_[bufferPos_] ^= x;
        bufferPos_ = (bufferPos_ + 1) % buffer_.size();
        key_[keyPos_] ^= x;  // only the first 8 key bytes take input
        if (++keyPos_ == 8) {
            Stir();
            keyPos_ = 0;
        }
    }

    // The pad always completes the group, so a last stir always happens.
    void Finish() {
        static constexpr unsigned char kPad[8] = {1, 0, 0, 0, 0, 0, 0, 0};
        const std::size_t padBytes = 8 - keyPos_;
        for (std::size_t i = 0; i < padBytes; ++i) Feed(kPad[i]);
    }

    std::size_t Extract(unsigned char *out, std::size_t count) {
        count = std::min(count, buffer_.size());
        const DigestBlockCipher cipher(key_, kPassPhraseDigestRounds);
        for (std::size_t at = 0; at < count; at += 16) cipher.EncipherBlock(buffer_.data() + at);
        std::memcpy(out, buffer_.data(), count);
        return count;
    }

private:
    void Stir() {
        std::uint32_t w[4] = {LoadLE(&key_[12]), LoadLE(&key_[8]), LoadLE(&key_[4]), LoadLE(&key_[0])};
        for (int i = 0; i < 4; ++i) MixFour(w[0], w[1], w[2], w[3]);
        // stored back in the opposite order from the one they were taken in
        StoreLE(w[0], &key_[0]);
        StoreLE(w[1], &key_[4]);
        StoreLE(w[2], &key_[8]);
        StoreLE(w[3], &key_[12]);
        secure::Zero(w, sizeof w);
    }

    std::array<unsigned char, kPassPhraseDigestSize> buffer_;
    std::size_t bufferPos_ = 0;
    CipherKey key_;
    std::size_t keyPos_ = 0;
};

}  // namespace

void MixFour(std::uint32_t &a, std::uint32_t &b, std::uint32_t &c, std::uint32_t &d) {
    a += d; d += a; a ^= a >> 7;
    b += a; a += b; b ^= b << 13;
    c += b; b += c; c ^= c >> 17;
    d += c; c += d; d ^= d << 9;
    a += d; d += a; a ^= a >> 3;
    b += a; a += b; b ^= b << 7;
    c += b; b += c; c ^= d >> 15;
    d += c; c += d; d ^= d << 11;
}

void MixEight(std::uint32_t &a, std::uint32_t &b, std::uint32_t &c, std::uint32_t &d, std::uint32_t &e,
              std::uint32_t &f, std::uint32_t &g, std::uint32_t &h) {
    a ^= b << 11; d += a; b += c;
    b ^= c >> 2;  e += b; c += d;
    c ^= d << 8;  f += c; d += e;
    d ^= e >> 16; g += d; e += f;
    e ^= f << 10; h += e; f += g;
    f ^= g >> 4;  a += f; g += h;
    g ^= h << 8;  b += g; h += a;
    h ^= a >> 9;  c += h; a += b;
}

DigestBlockCipher::DigestBlockCipher(const CipherKey &key, int rounds) : rounds_(std::clamp(rounds, 4, 16)) {
    static constexpr std::uint32_t kFill[4] = {0x55555555u, 0xAAAAAAAAu, 0x33333333u, 0xCCCCCCCCu};
    const std::uint32_t k0 = LoadLE(&key[0]), k1 = LoadLE(&key[4]), k2 = LoadLE(&key[8]), k3 = LoadLE(&key[12]);
    for (std::size_t t = 0; t < 4; ++t) {
        std::uint32_t *w = &roundKeys_[8 * t];
        w[0] = k0; w[1] = kFill[t]; w[2] = k1; w[3] = kFill[t];
        w[4] = k2; w[5] = kFill[t]; w[6] = k3; w[7] = kFill[t];
        for (int i = 0; i < 8; ++i) MixEight(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
    }
}

DigestBlockCipher::~DigestBlockCipher() { secure::Zero(roundKeys_); }

void DigestBlockCipher::EncipherBlock(unsigned char *block) const {
    std::uint32_t l0 = LoadLE(block), l1 = LoadLE(block + 4);
    std::uint32_t r0 = LoadLE(block + 8), r1 = LoadLE(block + 12);
    for (int r = 0; r < rounds_; ++r) {
        std::uint32_t a = l0, b = roundKeys_[2 * r], c = l1, d = roundKeys_[2 * r + 1];
        MixFour(a, b, c, d);
        std::swap(a, c);
        std::swap(b, d);
        MixFour(a, b, c, d);
        const std::uint32_t t0 = (a ^ r0) ^ b;
        const std::uint32_t t1 = (c ^ r1) ^ d;
        r0 = l0;
        r1 = l1;
        l0 = t0;
        l1 = t1;
    }
    StoreLE(r0, block);
    StoreLE(r1, block + 4);
    StoreLE(l0, block + 8);
    StoreLE(l1, block + 12);
}

std::size_t PassPhraseDigest(QByteArrayView text, unsigned char *out, std::size_t count) {
    DigestState state;
    for (const char ch : text) state.Feed(static_cast<unsigned char>(ch));
    state.Finish();
    return state.Extract(out, count);
}

}  // namespace vault
