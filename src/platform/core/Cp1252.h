#pragma once
// Every text the program stores, logs, digests or enciphers is Windows-1252.
// Conversion happens at the edges; a character the code page cannot hold is
// an error, never silently replaced.

#include <QByteArray>
#include <QString>
#include <optional>
#include <stdexcept>

namespace cp1252 {

class EncodeError : public std::runtime_error {
public:
    EncodeError(QChar ch, qsizetype position);
    QChar character;
    qsizetype position;
};

// Byte for one character, or nothing when the code page has none.
std::optional<char> ByteFor(char16_t ch);

// Index of the first character that cannot be written, or -1.
qsizetype FirstUnencodable(const QString &text);

std::optional<QByteArray> TryEncode(const QString &text);
QByteArray Encode(const QString &text);  // throws EncodeError

QString Decode(const char *bytes, qsizetype length);
QString Decode(const QByteArray &bytes);

// The message shown when typed text holds such a character.
QString UnencodableMessage(QChar ch);

}  // namespace cp1252
