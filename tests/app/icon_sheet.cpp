// Renders every icon of the main image list into one contact sheet, for
// looking at them: each at 16 pixels enlarged four times (to judge the
// pixels), at 16, 32 and 48 pixels as they are, on a window-grey row, plus
// the application icon. Usage: icon_sheet <out.png>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "app/window/icons/ImageListMain.h"

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    const int cell = 150, cols = 6, rows = (ImageListMain::Count + cols - 1) / cols + 1;
    QImage sheet(cols * cell, rows * cell, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);
    for (int i = 0; i < ImageListMain::Count; ++i) {
        const int x = (i % cols) * cell, y = (i / cols) * cell;
        p.setPen(QColor(200, 200, 200));
        p.drawRect(x, y, cell - 1, cell - 1);
        p.setPen(Qt::black);
        p.drawText(x + 4, y + 14, QString::number(i));
        const QImage small = ImageListMain::Image(ImageListMain::Index(i), 16);
        p.fillRect(x + 30, y + 4, 64, 64, QColor(240, 240, 240));
        p.drawImage(QRect(x + 30, y + 4, 64, 64), small.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        p.fillRect(x + 2, y + 76, cell - 4, 52, QColor(236, 236, 236));
        p.drawImage(x + 6, y + 94, small);
        p.drawImage(x + 28, y + 86, ImageListMain::Image(ImageListMain::Index(i), 32));
        p.drawImage(x + 66, y + 78, ImageListMain::Image(ImageListMain::Index(i), 48));
        p.fillRect(x + 118, y + 76, 30, 52, QColor(60, 63, 68));
        p.drawImage(x + 125, y + 94, small);
    }
    const int y = (rows - 1) * cell;
    int x = 4;
    p.setPen(Qt::black);
    p.drawText(x, y + 14, QStringLiteral("Programm"));
    for (const int size : {16, 24, 32, 48, 128}) {
        p.drawImage(x, y + 20, ImageListMain::ApplicationImage(size));
        x += size + 10;
    }
    p.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[1]))) return 1;
    if (argc < 3) return 0;
    // Second sheet: the 16-pixel pictures enlarged eight times, pixel by pixel.
    const int zcell = 140, zcols = 7, zrows = (ImageListMain::Count + zcols - 1) / zcols;
    QImage zoom(zcols * zcell, zrows * zcell, QImage::Format_ARGB32_Premultiplied);
    zoom.fill(Qt::white);
    QPainter z(&zoom);
    z.setFont(font);
    for (int i = 0; i < ImageListMain::Count; ++i) {
        const int zx = (i % zcols) * zcell, zy = (i / zcols) * zcell;
        z.fillRect(zx + 6, zy + 6, 128, 128, QColor(236, 236, 236));
        z.drawImage(QRect(zx + 6, zy + 6, 128, 128), ImageListMain::Image(ImageListMain::Index(i), 16).scaled(128, 128, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        z.setPen(Qt::black);
        z.drawText(zx + 8, zy + 18, QString::number(i));
    }
    z.end();
    return zoom.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
