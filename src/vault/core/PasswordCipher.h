#pragma once
// The one way a stored password is made and read back: enciphered under a
// master digest, as the Base64 stored form KENNWORT holds. Nothing else
// writes that column.

#include <QString>
#include <memory>

class TLbBlowfish;

namespace vault {

// A cipher keyed once under a master digest, for runs over many records.
class TPasswordKey {
public:
    explicit TPasswordKey(const QString &masterDigest);
    ~TPasswordKey();
    TPasswordKey(const TPasswordKey &) = delete;
    TPasswordKey &operator=(const TPasswordKey &) = delete;
    QString Encipher(const QString &clear);
    QString Decipher(const QString &storedForm);

private:
    std::unique_ptr<TLbBlowfish> cipher_;
};

// Throws cp1252::EUnencodable for a character outside Windows-1252.
QString EncipherPassword(TLbBlowfish &cipher, const QString &masterDigest, const QString &clear);
// Throws the cipher's errors for a value that is no stored form.
QString DecipherPassword(TLbBlowfish &cipher, const QString &masterDigest, const QString &storedForm);

}  // namespace vault
