#pragma once
// The cipher of the stored access passwords. All texts are Windows-1252 bytes;
// conversion from what the user typed happens in the windows.
//
// Usage, as the program always does it: KeyFromPassPhrase with a digest text
// (the stored master digest or that of an entered password), then one
// EncipherText or DecipherText. Blocks are chained (CBC); stored forms exist
// in no other mode.

#include <QByteArray>
#include <functional>

#include "vault/core/BlockOp.h"

class TLbCipher {
public:
    virtual ~TLbCipher() = default;

    // Clear text of a stored form under the current key. Throws EBase64Error
    // ("Invalid Base64 Character") or ECipherException ("Invalid file format").
    // A wrong key gives a wrong text, not an error.
    virtual QByteArray DecipherText(const QByteArray &storedForm) = 0;
    // Stored form (Base64, ASCII) of a clear text under the current key.
    virtual QByteArray EncipherText(const QByteArray &clearText) = 0;
    // The key becomes the first 16 bytes of the pass-phrase digest.
    virtual void KeyFromPassPhrase(const QByteArray &passPhrase) = 0;
};

class TLbBlowfish final : public TLbCipher {
public:
    // Read twice for every start block: milliseconds since system start.
    using TickSource = std::function<quint32()>;

    // An empty source reads the system's tick counter. The key starts all zero.
    explicit TLbBlowfish(TickSource ticks = {});
    ~TLbBlowfish() override;
    TLbBlowfish(const TLbBlowfish &) = delete;
    TLbBlowfish &operator=(const TLbBlowfish &) = delete;

    QByteArray DecipherText(const QByteArray &storedForm) override;
    QByteArray EncipherText(const QByteArray &clearText) override;
    void KeyFromPassPhrase(const QByteArray &passPhrase) override;

private:
    vault::CipherKey key_{};
    TickSource ticks_;
};
