#include "screenshots/core/JpegCodec.h"

#include <QString>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return;
// the jump back leaves through C frames only, and every C++ object that
// needs a destructor lives outside the jumped-over range.
struct TErrorManager {
    jpeg_error_mgr Base{};
    std::jmp_buf Jump;
    int Code = 0;
    bool Refused = false;  // the progress monitor's own stop
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto *err = reinterpret_cast<TErrorManager *>(cinfo->err);
    err->Code = cinfo->err->msg_code;
    std::longjmp(err->Jump, 1);
}

// Data that ends before the picture does (the file cut off, or a marker
// where pixels should be) is a damaged picture, not one with a grey lower
// part; the other warnings (stray bytes between markers and the like) are
// left to the decoder's repair, as every viewer does.
void EmitMessage(j_common_ptr cinfo, int level) {
    const int code = cinfo->err->msg_code;
    if (level == -1 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) ErrorExit(cinfo);
    if (level == -1) ++cinfo->err->num_warnings;
}

void OutputMessage(j_common_ptr) {}  // nothing goes to standard error

struct TProgress {
    jpeg_progress_mgr Base{};
    j_decompress_ptr Info = nullptr;
};

void ProgressMonitor(j_common_ptr cinfo) {
    auto *d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->is_decompressor && d->input_scan_number > kMaxJpegScans) {
        auto *err = reinterpret_cast<TErrorManager *>(cinfo->err);
        err->Refused = true;
        std::longjmp(err->Jump, 1);
    }
}

void InstallErrors(jpeg_error_mgr &base) {
    jpeg_std_error(&base);
    base.error_exit = ErrorExit;
    base.emit_message = EmitMessage;
    base.output_message = OutputMessage;
}

J_COLOR_SPACE ColourSpace(TPixels::Layout l) { return l == TPixels::Layout::Rgb ? JCS_RGB : JCS_EXT_BGRX; }

// The smallest libjpeg scale that still covers the wanted size.
unsigned ScaleDenominator(unsigned width, unsigned height, int fitWidth, int fitHeight) {
    if (fitWidth <= 0 || fitHeight <= 0) return 1;
    for (unsigned denom : {8u, 4u, 2u})
        if ((width + denom - 1) / denom >= unsigned(fitWidth) && (height + denom - 1) / denom >= unsigned(fitHeight))
            return denom;
    return 1;
}

// The C part of the decoding: no C++ object with a destructor in here.
// Returns 0, or 1 after a jump (error code in err).
int DecodeInto(jpeg_decompress_struct &cinfo, TErrorManager &err, TProgress &progress, const QByteArray &data,
               const TJpegDecodeOptions &options, TPixels &out, qint64 &headerW, qint64 &headerH, bool &tooLarge) {
    if (setjmp(err.Jump)) return 1;
    jpeg_create_decompress(&cinfo);
    progress.Base.progress_monitor = ProgressMonitor;
    cinfo.progress = &progress.Base;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(data.constData()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    headerW = cinfo.image_width;
    headerH = cinfo.image_height;
    if (headerW * headerH > options.MaxPixels) {
        tooLarge = true;
        return 0;
    }
    cinfo.out_color_space = ColourSpace(options.Order);
    cinfo.scale_num = 1;
    cinfo.scale_denom = ScaleDenominator(cinfo.image_width, cinfo.image_height, options.FitWidth, options.FitHeight);
    jpeg_start_decompress(&cinfo);
    const int bpp = TPixels::BytesPerPixel(options.Order);
    out.Width = int(cinfo.output_width);
    out.Height = int(cinfo.output_height);
    out.Stride = out.Width * bpp;
    out.Order = options.Order;
    out.ScaleDenominator = int(cinfo.scale_denom);
    // The buffer is sized once; resizing after a jump cannot leak, it is a
    // member of the caller's object.
    out.Data.resize(qsizetype(out.Stride) * out.Height);
    auto *base = reinterpret_cast<unsigned char *>(out.Data.data());
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = base + qsizetype(cinfo.output_scanline) * out.Stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    return 0;
}

int EncodeInto(jpeg_compress_struct &cinfo, TErrorManager &err, const TPixels &pixels, int quality,
               unsigned char *&buffer, unsigned long &size) {
    if (setjmp(err.Jump)) return 1;
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(pixels.Width);
    cinfo.image_height = JDIMENSION(pixels.Height);
    cinfo.input_components = TPixels::BytesPerPixel(pixels.Order);
    cinfo.in_color_space = ColourSpace(pixels.Order);
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto *row = const_cast<JSAMPROW>(pixels.Row(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return 0;
}

}  // namespace

TPixels TPixels::Make(int width, int height, Layout order) {
    TPixels p;
    p.Width = width;
    p.Height = height;
    p.Order = order;
    p.Stride = width * BytesPerPixel(order);
    p.Data = QByteArray(qsizetype(p.Stride) * height, '\0');
    return p;
}

EJpegError::EJpegError(int code)
    : std::runtime_error("JPEG error #" + std::to_string(code)), code_(code) {}

QString PictureTooLargeText(qint64 width, qint64 height) {
    return QStringLiteral("Das Bild ist mit %1 × %2 Bildpunkten zu groß; höchstens %3 Megapixel werden angenommen")
        .arg(width)
        .arg(height)
        .arg(kMaxPicturePixels / 1'000'000);
}

TPixels DecodeJpeg(const QByteArray &data, const TJpegDecodeOptions &options) {
    jpeg_decompress_struct cinfo{};
    TErrorManager err;
    InstallErrors(err.Base);
    cinfo.err = &err.Base;
    TProgress progress;
    TPixels out;
    qint64 w = 0, h = 0;
    bool tooLarge = false;
    const int failed = DecodeInto(cinfo, err, progress, data, options, out, w, h, tooLarge);
    jpeg_destroy_decompress(&cinfo);
    if (failed && err.Refused)
        throw EPictureRefused(QStringLiteral("Die JPEG-Daten bestehen aus mehr als %1 Durchgängen und werden nicht angezeigt")
                                  .arg(kMaxJpegScans)
                                  .toStdString());
    if (failed) throw EJpegError(err.Code);
    if (tooLarge) throw EPictureRefused(PictureTooLargeText(w, h).toStdString());
    return out;
}

QByteArray EncodeJpeg(const TPixels &pixels, int quality) {
    if (pixels.IsEmpty()) throw std::invalid_argument("Ein leeres Bild kann nicht als JPEG gespeichert werden");
    if (pixels.Stride < pixels.Width * TPixels::BytesPerPixel(pixels.Order) ||
        pixels.Data.size() < qsizetype(pixels.Stride) * pixels.Height)
        throw std::invalid_argument("Die Bildpunkte passen nicht zur Bildgröße");
    jpeg_compress_struct cinfo{};
    TErrorManager err;
    InstallErrors(err.Base);
    cinfo.err = &err.Base;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    const int failed = EncodeInto(cinfo, err, pixels, qBound(1, quality, 100), buffer, size);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes;
    if (!failed) bytes = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    if (failed) throw EJpegError(err.Code);
    return bytes;
}
