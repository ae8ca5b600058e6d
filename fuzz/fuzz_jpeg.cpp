// libFuzzer target: any bytes as the content of the picture column go
// through the decoding the panel and the zoom window use. It must either
// give a picture of the size it claims or fail with one of the two refusals;
// what it decodes is encoded again and must decode to the same size.
// Built and run by scripts/fuzz.sh, not by the normal build.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "screenshots/core/JpegCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray column = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // The full size as the zoom window decodes, and reduced as the panel does.
    // A lower pixel limit keeps the fuzzer within its memory bound; the
    // limit itself is the same code either way.
    TJpegDecodeOptions full;
    full.MaxPixels = 4'000'000;
    TJpegDecodeOptions panel = full;
    panel.FitWidth = 285;
    panel.FitHeight = 228;
    panel.Order = TPixels::Layout::Rgb;
    for (const TJpegDecodeOptions &o : {full, panel}) {
        try {
            const TPixels p = DecodeJpeg(column, o);
            const int bpp = TPixels::BytesPerPixel(p.Order);
            if (p.Width <= 0 || p.Height <= 0 || p.Stride != p.Width * bpp ||
                p.Data.size() != qsizetype(p.Stride) * p.Height || qint64(p.Width) * p.Height > o.MaxPixels)
                std::abort();
            if (&o == &full && qint64(p.Width) * p.Height <= 65536) {
                const TPixels again = DecodeJpeg(EncodeJpeg(p, 70), o);
                if (again.Width != p.Width || again.Height != p.Height) std::abort();
            }
        } catch (const EJpegError &e) {
            if (e.Code() < 0) std::abort();
        } catch (const EPictureRefused &) {
        }
    }
    return 0;
}
