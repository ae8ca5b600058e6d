#pragma once
// Digest of the master password: SHA-1 of its Windows-1252 bytes, written as
// 40 upper-case hexadecimal digits. Two passwords match exactly when their
// digest texts are equal.

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

class TLbSHA1 {
public:
    TLbSHA1() = default;
    ~TLbSHA1();
    TLbSHA1(const TLbSHA1 &) = delete;
    TLbSHA1 &operator=(const TLbSHA1 &) = delete;

    // The digest text (ASCII only); the 20 bytes are kept as the last digest.
    QString DigestText(const QByteArray &text);
    const std::array<std::uint8_t, 20> &Digest() const { return digest_; }

private:
    std::array<std::uint8_t, 20> digest_{};
};
