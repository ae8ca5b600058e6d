#include "vault/core/PasswordCipher.h"

#include <optional>

#include "platform/core/Cp1252.h"
#include "vault/core/LbBlowfish.h"
#include "vault/core/Secrets.h"

namespace vault {

QString EncipherPassword(TLbBlowfish &cipher, const QString &masterDigest, const QString &clear) {
    QByteArray bytes = cp1252::Encode(clear);
    secure::TWipeOnExit wipe(bytes);
    cipher.KeyFromPassPhrase(masterDigest.toLatin1());
    return QString::fromLatin1(cipher.EncipherText(bytes));
}

QString DecipherPassword(TLbBlowfish &cipher, const QString &masterDigest, const QString &storedForm) {
    cipher.KeyFromPassPhrase(masterDigest.toLatin1());
    // Characters above "z" fail like any other character outside the Base64 range.
    const std::optional<QByteArray> stored = cp1252::TryEncode(storedForm);
    QByteArray bytes = cipher.DecipherText(stored ? *stored : QByteArray(storedForm.size(), '\xff'));
    secure::TWipeOnExit wipe(bytes);
    return cp1252::Decode(bytes);
}

}  // namespace vault
