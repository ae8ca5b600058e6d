#include "vault/core/Base64.h"

#include <array>

#include "vault/core/CipherErrors.h"

namespace vault {

namespace {

constexpr unsigned char kFirst = '+';
constexpr unsigned char kLast = 'z';
constexpr unsigned char kNotInAlphabet = 127;

// Values for the characters kFirst ... kLast.
constexpr std::array<unsigned char, kLast - kFirst + 1> MakeValues() {
    std::array<unsigned char, kLast - kFirst + 1> values{};
    for (auto &v : values) v = kNotInAlphabet;
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (unsigned char i = 0; i < 64; ++i) values[static_cast<unsigned char>(alphabet[i]) - kFirst] = i;
    return values;
}
constexpr auto kValues = MakeValues();

}  // namespace

QByteArray Base64Encode(QByteArrayView bytes) {
    return bytes.toByteArray().toBase64(QByteArray::Base64Encoding);
}

QByteArray Base64Decode(QByteArrayView text) {
    if (text.size() % 4 != 0) throw EBase64Error();
    QByteArray bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (qsizetype at = 0; at < text.size(); at += 4) {
        unsigned d[4];
        for (int i = 0; i < 4; ++i) {
            const auto ch = static_cast<unsigned char>(text[at + i]);
            if (ch < kFirst || ch > kLast) throw EBase64Error();
            d[i] = kValues[ch - kFirst];
        }
        const bool thirdIsFill = text[at + 2] == '=';
        const bool fourthIsFill = text[at + 3] == '=';
        bytes.append(static_cast<char>(((d[0] << 2) | (d[1] >> 4)) & 0xFF));
        if (!thirdIsFill) bytes.append(static_cast<char>(((d[1] << 4) | (d[2] >> 2)) & 0xFF));
        if (!thirdIsFill && !fourthIsFill) bytes.append(static_cast<char>(((d[2] << 6) | d[3]) & 0xFF));
    }
    return bytes;
}

}  // namespace vault
