#include "screenshots/core/Bmp.h"

#include <QtEndian>
#include <cstring>

namespace {
quint32 U32(const QByteArray &d, qsizetype at) {
    quint32 v;
    std::memcpy(&v, d.constData() + at, 4);
    return qFromLittleEndian(v);
}
quint16 U16(const QByteArray &d, qsizetype at) {
    quint16 v;
    std::memcpy(&v, d.constData() + at, 2);
    return qFromLittleEndian(v);
}
[[noreturn]] void Refuse(const char *why) {
    throw EPictureRefused(QStringLiteral("Die Bitmap kann nicht gelesen werden: %1").arg(QString::fromUtf8(why)).toStdString());
}
}  // namespace

TPixels DecodeBmp(const QByteArray &d, qint64 maxPixels) {
    if (d.size() < 54 || d.at(0) != 'B' || d.at(1) != 'M') Refuse("keine Bitmap-Datei");
    const quint32 offset = U32(d, 10), header = U32(d, 14);
    if (header < 40) Refuse("veraltetes Dateiformat");
    const qint32 width = qint32(U32(d, 18));
    const qint32 rawHeight = qint32(U32(d, 22));
    const quint16 bits = U16(d, 28);
    const quint32 compression = U32(d, 30);
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) Refuse("ungültige Abmessungen");
    const qint64 height = qAbs(qint64(rawHeight));
    if (qint64(width) * height > maxPixels) throw EPictureRefused(PictureTooLargeText(width, height).toStdString());
    if ((bits != 24 && bits != 32) || (compression != 0 && !(compression == 3 && bits == 32)))
        Refuse("nur unkomprimierte Bitmaps mit 24 oder 32 Bit je Bildpunkt");
    const qint64 stride = (qint64(width) * bits / 8 + 3) & ~qint64(3);
    if (offset > quint32(d.size()) || stride * height > d.size() - qint64(offset)) Refuse("die Datei ist unvollständig");
    TPixels p = TPixels::Make(width, int(height), TPixels::Layout::Bgrx);
    const bool bottomUp = rawHeight > 0;
    for (qint64 y = 0; y < height; ++y) {
        const uchar *src = reinterpret_cast<const uchar *>(d.constData()) + offset + (bottomUp ? height - 1 - y : y) * stride;
        uchar *dst = reinterpret_cast<uchar *>(p.Data.data()) + y * p.Stride;
        for (qint32 x = 0; x < width; ++x, src += bits / 8, dst += 4) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            dst[3] = 0xff;
        }
    }
    return p;
}
