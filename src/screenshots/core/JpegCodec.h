#pragma once
// JPEG decoding and encoding through libjpeg's own interface, so that the
// quality is exactly the slider's and a failure carries the decoder's own
// message code. Pixels travel as a plain buffer; no image class is needed.

#include <QByteArray>
#include <memory>
#include <stdexcept>

// Pixel rows, top to bottom, each Stride bytes. Bgrx is the byte order of a
// 32-bit RGB image on a little-endian machine (blue, green, red, unused).
struct TPixels {
    enum class Layout { Rgb, Bgrx };
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    Layout Order = Layout::Bgrx;
    QByteArray Data;
    // The decoder's reduction: 1 for the full size, 2, 4 or 8.
    int ScaleDenominator = 1;
    // Keeps alive whatever Data points into when it was made without a copy
    // (QByteArray::fromRawData over another object's pixels).
    std::shared_ptr<const void> Owner;

    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
    static int BytesPerPixel(Layout l) { return l == Layout::Rgb ? 3 : 4; }
    // A buffer of the given size, rows packed.
    static TPixels Make(int width, int height, Layout order);
    const uchar *Row(int y) const { return reinterpret_cast<const uchar *>(Data.constData()) + qsizetype(y) * Stride; }
};

// The decoder or encoder gave up: "JPEG error #" + the message code.
class EJpegError : public std::runtime_error {
public:
    explicit EJpegError(int code);
    int Code() const { return code_; }

private:
    int code_;
};

// A picture refused before decoding because of its size or its make-up.
class EPictureRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Pictures above this many pixels are refused before any pixel is decoded.
constexpr qint64 kMaxPicturePixels = 100'000'000;
// Progressive data with more scans than this is refused: each scan is a pass
// over the whole picture, so a small hostile file could keep the decoder busy.
constexpr int kMaxJpegScans = 500;

struct TJpegDecodeOptions {
    qint64 MaxPixels = kMaxPicturePixels;
    // The picture is decoded at the smallest of 1/8, 1/4, 1/2 and 1 that is
    // still at least this size in both directions; 0 for the full size.
    int FitWidth = 0;
    int FitHeight = 0;
    TPixels::Layout Order = TPixels::Layout::Bgrx;
};

// Throws EJpegError for data the decoder cannot read (empty, damaged,
// truncated) and EPictureRefused for a picture above the limit.
TPixels DecodeJpeg(const QByteArray &data, const TJpegDecodeOptions &options = {});
// quality 1 to 100. Throws EJpegError (and std::invalid_argument for an
// empty picture).
QByteArray EncodeJpeg(const TPixels &pixels, int quality);
// The message the refusal of a too large picture gives.
QString PictureTooLargeText(qint64 width, qint64 height);
