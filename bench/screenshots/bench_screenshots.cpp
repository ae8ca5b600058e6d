// The import of a 1,920 x 1,080 bitmap at quality 70 as the panel runs it
// (bitmap read, JPEG encoded, temporary file written and read back, the
// compressed picture decoded for the panel, stored in the record being
// edited, clean-up), next to libjpeg encoding the same pixels from memory
// in this process; and one repaint of the zoom view at factor 10 on a
// 4,000 x 3,000 picture.

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <cstdio>

#include <jpeglib.h>

#include "common/BenchDatabase.h"
#include "screenshots/core/Screenshots.h"
#include "screenshots/window/ImageView32.h"
#include "screenshots/window/PictureDialogs.h"
#include "store/core/DataModule.h"

namespace {

QImage Screenshot(int width, int height) {
    // Flat areas with text-like edges, as a log-in page has.
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(240, 240, 240));
    QPainter p(&image);
    for (int y = 40; y < height; y += 60) {
        p.fillRect(60, y, width / 3, 28, QColor(255, 255, 255));
        p.setPen(QColor(20, 40, 90));
        p.drawText(70, y + 20, QStringLiteral("Benutzerkennung und Kennwort eingeben %1").arg(y));
    }
    p.fillRect(width / 2, 0, width / 2, height / 3, QColor(30, 90, 160));
    return image;
}

// libjpeg alone: BGRX rows from memory into memory.
QByteArray PlainEncode(const QImage &image, int quality) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = JDIMENSION(image.width());
    c.image_height = JDIMENSION(image.height());
    c.input_components = 4;
    c.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        auto *row = const_cast<JSAMPROW>(image.constScanLine(int(c.next_scanline)));
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    QByteArray out(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

}  // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchFolder folder;
    const QImage shot = Screenshot(1920, 1080);
    const QString bmp = folder.Path() + QStringLiteral("shot.bmp");
    if (!shot.save(bmp, "BMP")) return 1;

    TDataModule1 dm(folder.ProgramFile());
    dm.Connect();
    TIBDataSet *access = dm.IBDataSetZugangsdaten;
    access->Open();
    access->Append();
    TScreenshotColumn column(access);
    screenshots::TPictureSink sink;
    sink.Display.FitWidth = 285;
    sink.Display.FitHeight = 228;
    QImage shown;
    sink.Show = [&shown](const TPixels &p, const QByteArray &) { shown = screenshots::ToImage(p); };
    sink.LogLine = [](const QString &) {};

    constexpr int runs = 15;
    const double importMs = MedianMs(runs, [&] {
        const TPixels bitmap = screenshots::LoadBitmapFile(bmp);
        screenshots::StoreBitmapAsJpeg(bitmap, 70, dm.ProgramFolder, column, sink);
    });
    // The two halves of the import: Qt's bitmap reader, and the rest.
    TPixels bitmap;
    const double readMs = MedianMs(runs, [&] { bitmap = screenshots::LoadBitmapFile(bmp); });
    const double storeMs = MedianMs(runs, [&] { screenshots::StoreBitmapAsJpeg(bitmap, 70, dm.ProgramFolder, column, sink); });
    qsizetype plainSize = 0;
    const double encodeMs = MedianMs(runs, [&] { plainSize = PlainEncode(shot, 70).size(); });
    if (column.Bytes() != PlainEncode(shot, 70)) std::printf("note: stored JPEG differs from the plain encoding\n");
    access->Cancel();

    // The zoom view: 4,000 x 3,000 at factor 10, scrolled into the middle.
    TImageView32 view;
    view.resize(862, 560);
    view.show();
    view.SetPicture(Screenshot(4000, 3000));
    view.SetScale(10.0);
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    const QSize port = view.viewport()->size();
    QImage canvas(port, QImage::Format_RGB32);
    const double repaintMs = MedianMs(runs, [&] {
        QPainter p(&canvas);
        view.PaintVisible(p, QRect(QPoint(0, 0), port));
    });

    PrintFigure("import_bitmap_1920x1080_q70_ms", importMs);
    PrintFigure("import_part_bitmap_read_ms", readMs);
    PrintFigure("import_part_store_bitmap_as_jpeg_ms", storeMs);
    PrintFigure("libjpeg_encode_1920x1080_q70_ms", encodeMs);
    PrintFigure("jpeg_bytes", double(plainSize));
    PrintFigure("zoom_repaint_4000x3000_factor10_ms", repaintMs);
    PrintFigure("zoom_picture_mb", double(view.Picture().sizeInBytes()) / (1024 * 1024));
    PrintFigure("zoom_scaled_picture_would_be_mb", 40000.0 * 30000.0 * 4 / (1024 * 1024));
    PrintRatio(importMs / encodeMs);
    return 0;
}
