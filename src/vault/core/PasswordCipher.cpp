#include "vault/core/PasswordCipher.h"

#include <optional>

#include "platform/core/Cp1252.h"
#include "vault/core/LbBlowfish.h"
#include "vault/core/Secrets.h"

namespace vault {
namespace {
QString EncipherKeyed(TLbBlowfish &cipher, const QString &clear) {
    QByteArray bytes = cp1252::Encode(clear);
    secure::TWipeOnExit wipe(bytes);
    return QString::fromLatin1(cipher.EncipherText(bytes));
}

QString DecipherKeyed(TLbBlowfish &cipher, const QString &storedForm) {
    // Characters above "z" fail like any other character outside the Base64 range.
    const std::optional<QByteArray> stored = cp1252::TryEncode(storedForm);
    QByteArray bytes = cipher.DecipherText(stored ? *stored : QByteArray(storedForm.size(), '\xff'));
    secure::TWipeOnExit wipe(bytes);
    return cp1252::Decode(bytes);
}
}  // namespace

QString EncipherPassword(TLbBlowfish &cipher, const QString &masterDigest, const QString &clear) {
    cipher.KeyFromPassPhrase(masterDigest.toLatin1());
    return EncipherKeyed(cipher, clear);
}

QString DecipherPassword(TLbBlowfish &cipher, const QString &masterDigest, const QString &storedForm) {
    cipher.KeyFromPassPhrase(masterDigest.toLatin1());
    return DecipherKeyed(cipher, storedForm);
}

TPasswordKey::TPasswordKey(const QString &masterDigest) : cipher_(std::make_unique<TLbBlowfish>()) {
    cipher_->KeyFromPassPhrase(masterDigest.toLatin1());
}
TPasswordKey::~TPasswordKey() = default;
QString TPasswordKey::Encipher(const QString &clear) { return EncipherKeyed(*cipher_, clear); }
QString TPasswordKey::Decipher(const QString &storedForm) { return DecipherKeyed(*cipher_, storedForm); }

}  // namespace vault
