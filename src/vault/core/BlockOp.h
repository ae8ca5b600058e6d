#pragma once
// The block operation of the stored-password cipher: 8-byte blocks read as two
// little-endian words, a 16-byte key, a P array of 18 words and four S-boxes
// set up from the hexadecimal digits of pi and the key.
//
// It is not textbook Blowfish and must not be "fixed" into it: the round
// function F always takes its input from the two words as they were on entry.
// Each F term is therefore applied eight times to the same half and cancels,
// and both directions come down to
//     x0 ^= P[0] ^ P[2] ^ ... ^ P[16],   x1 ^= P[1] ^ P[3] ^ ... ^ P[17].
// Every stored password depends on exactly this behaviour.
//
// BlockOp keeps the defining form (full schedule, F, S-boxes); BlockOpMask is
// the reduced form the cipher uses. Both give identical results.

#include <array>
#include <cstdint>

namespace vault {

using CipherKey = std::array<std::uint8_t, 16>;

struct Block {
    std::uint32_t w0 = 0;
    std::uint32_t w1 = 0;
    friend bool operator==(const Block &, const Block &) = default;
    friend Block operator^(Block a, Block b) { return {a.w0 ^ b.w0, a.w1 ^ b.w1}; }
};

// Word 0 from bytes 0-3, word 1 from bytes 4-7, least significant byte first.
Block LoadBlock(const unsigned char *bytes);
void StoreBlock(Block block, unsigned char *bytes);

class BlockOp {
public:
    explicit BlockOp(const CipherKey &key);  // runs the key schedule
    ~BlockOp();
    BlockOp(const BlockOp &) = delete;
    BlockOp &operator=(const BlockOp &) = delete;

    Block Encipher(Block x) const;
    Block Decipher(Block x) const;
    Block Mask() const;  // (xor of the even P entries, xor of the odd ones)

private:
    std::uint32_t F(std::uint32_t v) const;

    std::array<std::uint32_t, 18> p_;
    std::array<std::array<std::uint32_t, 256>, 4> s_;
};

class BlockOpMask {
public:
    // The schedule without S-boxes: they never influence a result.
    explicit BlockOpMask(const CipherKey &key);
    ~BlockOpMask();
    BlockOpMask(const BlockOpMask &) = delete;
    BlockOpMask &operator=(const BlockOpMask &) = delete;

    // Enciphering and deciphering alike.
    Block Apply(Block x) const { return x ^ mask_; }
    Block Mask() const { return mask_; }

private:
    Block mask_;
};

}  // namespace vault
