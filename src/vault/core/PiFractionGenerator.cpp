// Build-time tool: writes the fractional part of pi in hexadecimal as 32-bit
// words, most significant first, as a C++ initialiser list. The initial state
// of the block operation and of the pass-phrase digest are these digits; they
// are computed rather than typed so that no digit can be mistyped.
//
// pi = 16 atan(1/5) - 4 atan(1/239) in fixed point with base 2^32; a few
// guard words absorb the truncation of the series terms.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::size_t kWords = 18 + 4 * 256;  // P array and four S-boxes
constexpr std::size_t kGuardWords = 4;

// Word 0 is the integer part, words 1 ... the fraction, most significant first.
using Fixed = std::vector<std::uint32_t>;

void DivideBy(Fixed &x, std::uint32_t divisor) {
    std::uint64_t rest = 0;
    for (auto &word : x) {
        const std::uint64_t current = (rest << 32) | word;
        word = static_cast<std::uint32_t>(current / divisor);
        rest = current % divisor;
    }
}

void MultiplyBy(Fixed &x, std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::size_t i = x.size(); i-- > 0;) {
        const std::uint64_t product = std::uint64_t(x[i]) * factor + carry;
        x[i] = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
}

void Add(Fixed &x, const Fixed &y) {
    std::uint64_t carry = 0;
    for (std::size_t i = x.size(); i-- > 0;) {
        const std::uint64_t sum = std::uint64_t(x[i]) + y[i] + carry;
        x[i] = static_cast<std::uint32_t>(sum);
        carry = sum >> 32;
    }
}

void Subtract(Fixed &x, const Fixed &y) {
    std::uint64_t borrow = 0;
    for (std::size_t i = x.size(); i-- > 0;) {
        const std::uint64_t subtrahend = std::uint64_t(y[i]) + borrow;
        borrow = x[i] < subtrahend ? 1 : 0;
        x[i] = static_cast<std::uint32_t>((std::uint64_t(x[i]) + (borrow << 32)) - subtrahend);
    }
}

bool IsZero(const Fixed &x) {
    for (auto word : x)
        if (word) return false;
    return true;
}

// atan(1/x) = sum over k of (-1)^k / ((2k + 1) x^(2k + 1))
Fixed ArcTanOfInverse(std::uint32_t x, std::size_t size) {
    Fixed sum(size, 0);
    Fixed power(size, 0);
    power[0] = 1;
    DivideBy(power, x);
    for (std::uint32_t k = 0; !IsZero(power); ++k) {
        Fixed term = power;
        DivideBy(term, 2 * k + 1);
        if (k % 2 == 0)
            Add(sum, term);
        else
            Subtract(sum, term);
        DivideBy(power, x * x);
    }
    return sum;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return EXIT_FAILURE;
    }
    const std::size_t size = 1 + kWords + kGuardWords;
    Fixed pi = ArcTanOfInverse(5, size);
    MultiplyBy(pi, 16);
    Fixed small = ArcTanOfInverse(239, size);
    MultiplyBy(small, 4);
    Subtract(pi, small);
    if (pi[0] != 3) {
        std::fprintf(stderr, "integer part of pi came out as %u\n", unsigned(pi[0]));
        return EXIT_FAILURE;
    }

    std::FILE *out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return EXIT_FAILURE;
    }
    std::fprintf(out, "// Generated at build time: fractional part of pi, hexadecimal.\n");
    for (std::size_t i = 0; i < kWords; ++i)
        std::fprintf(out, "0x%08Xu,%s", unsigned(pi[1 + i]), (i % 8 == 7) ? "\n" : " ");
    std::fprintf(out, "\n");
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
