#include "vault/core/LbSHA1.h"

#include <QCryptographicHash>
#include <cstring>

#include "platform/core/SecureZero.h"

TLbSHA1::~TLbSHA1() { secure::Zero(digest_); }

QString TLbSHA1::DigestText(const QByteArray &text) {
    QByteArray digest = QCryptographicHash::hash(text, QCryptographicHash::Sha1);
    std::memcpy(digest_.data(), digest.constData(), digest_.size());
    secure::Zero(digest.data(), static_cast<std::size_t>(digest.size()));

    static constexpr char kDigits[] = "0123456789ABCDEF";
    QString hex(2 * static_cast<qsizetype>(digest_.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < digest_.size(); ++i) {
        hex[2 * i] = QLatin1Char(kDigits[digest_[i] >> 4]);
        hex[2 * i + 1] = QLatin1Char(kDigits[digest_[i] & 0xF]);
    }
    return hex;
}
