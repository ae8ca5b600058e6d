#include "platform/core/Cp1252.h"

namespace cp1252 {
namespace {

// 0x80..0x9F; the five bytes the code page leaves undefined map to the C1
// control of the same value so that whatever the database holds round-trips.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

EncodeError::EncodeError(QChar ch, qsizetype pos)
    : std::runtime_error(UnencodableMessage(ch).toStdString()), character(ch), position(pos) {}

std::optional<char> ByteFor(char16_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<char>(ch);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == ch) return static_cast<char>(0x80 + i);
    return std::nullopt;
}

qsizetype FirstUnencodable(const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!ByteFor(text.at(i).unicode())) return i;
    return -1;
}

std::optional<QByteArray> TryEncode(const QString &text) {
    QByteArray out;
    out.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        auto b = ByteFor(text.at(i).unicode());
        if (!b) return std::nullopt;
        out[i] = *b;
    }
    return out;
}

QByteArray Encode(const QString &text) {
    const qsizetype bad = FirstUnencodable(text);
    if (bad >= 0) throw EncodeError(text.at(bad), bad);
    return *TryEncode(text);
}

QString Decode(const char *bytes, qsizetype length) {
    QString out;
    out.resize(length);
    for (qsizetype i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b));
    }
    return out;
}

QString Decode(const QByteArray &bytes) { return Decode(bytes.constData(), bytes.size()); }

QString UnencodableMessage(QChar ch) {
    const QString code = QString::number(ch.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    const QString shown = ch.isPrint() ? QStringLiteral("\"%1\" ").arg(ch) : QString();
    return QStringLiteral("Das Zeichen %1(U+%2) kann nicht gespeichert werden: erlaubt sind nur "
                          "Zeichen des westeuropäischen Zeichensatzes (Windows-1252)")
        .arg(shown, code);
}

}  // namespace cp1252
