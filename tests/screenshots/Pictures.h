#pragma once
// Pictures for the screenshot tests, made without any image class: a
// pattern with edges and noise (so quality matters), in either byte order,
// and JPEG data with a doctored frame header.

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "screenshots/core/JpegCodec.h"

inline TPixels Pattern(int width, int height, TPixels::Layout order = TPixels::Layout::Bgrx, int seed = 1) {
    TPixels p = TPixels::Make(width, height, order);
    quint32 noise = 2463534242u * quint32(seed);
    const int bpp = TPixels::BytesPerPixel(order);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<uchar *>(p.Data.data()) + qsizetype(y) * p.Stride;
        for (int x = 0; x < width; ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const int r = (x * 255 / std::max(1, width - 1) + int(noise % 40)) & 0xFF;
            const int g = ((x / 16 + y / 16) % 2) ? 230 : 20;
            const int b = (y * 255 / std::max(1, height - 1)) & 0xFF;
            uchar *px = row + x * bpp;
            if (order == TPixels::Layout::Rgb) {
                px[0] = uchar(r), px[1] = uchar(g), px[2] = uchar(b);
            } else {
                px[0] = uchar(b), px[1] = uchar(g), px[2] = uchar(r), px[3] = 0xFF;
            }
        }
    }
    return p;
}

// The offset of the baseline frame header (FF C0) of encoder output.
inline int FrameHeader(const QByteArray &jpeg) {
    for (int i = 2; i + 9 < jpeg.size(); ++i)
        if (uchar(jpeg[i]) == 0xFF && uchar(jpeg[i + 1]) == 0xC0) return i;
    return -1;
}

// The same JPEG claiming another size.
inline QByteArray WithSize(QByteArray jpeg, int width, int height) {
    const int sof = FrameHeader(jpeg);
    if (sof < 0) return {};
    jpeg[sof + 5] = char(height >> 8), jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8), jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

// djpeg's reading of the data as binary PPM pixels (RGB); empty when it fails.
struct TPeerPicture {
    int Width = 0, Height = 0;
    QByteArray Rgb;
};
inline TPeerPicture Djpeg(const QByteArray &jpeg, const QString &scale = QString()) {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.jpg"));
    QFile f(in);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(jpeg);
    f.close();
    QProcess djpeg;
    QStringList args{QStringLiteral("-ppm")};
    if (!scale.isEmpty()) args << QStringLiteral("-scale") << scale;
    djpeg.start(QStringLiteral("djpeg"), args << in);
    if (!djpeg.waitForFinished(30000) || djpeg.exitCode() != 0) return {};
    const QByteArray out = djpeg.readAllStandardOutput();
    // "P6\n<w> <h>\n255\n" then the pixels.
    QList<QByteArray> head;
    int pos = 0;
    while (head.size() < 4 && pos < out.size()) {
        while (pos < out.size() && std::isspace(uchar(out[pos]))) ++pos;
        int start = pos;
        while (pos < out.size() && !std::isspace(uchar(out[pos]))) ++pos;
        head << out.mid(start, pos - start);
    }
    ++pos;
    if (head.size() < 4 || head[0] != "P6") return {};
    TPeerPicture p{head[1].toInt(), head[2].toInt(), out.mid(pos)};
    return p;
}

// Our pixels as tight RGB rows, to compare with djpeg's.
inline QByteArray AsRgb(const TPixels &p) {
    QByteArray out;
    out.reserve(qsizetype(p.Width) * p.Height * 3);
    const int bpp = TPixels::BytesPerPixel(p.Order);
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            const uchar *px = p.Row(y) + x * bpp;
            if (p.Order == TPixels::Layout::Rgb) out.append(reinterpret_cast<const char *>(px), 3);
            else out.append(char(px[2])).append(char(px[1])).append(char(px[0]));
        }
    return out;
}
