#include <QtTest>

#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

#include "app/window/icons/ImageListMain.h"

namespace {

bool IsRed(QRgb px) {
    return qAlpha(px) >= 200 && qRed(px) > 110 && qRed(px) > 2 * qGreen(px) && qRed(px) > 2 * qBlue(px);
}

int OpaquePixels(const QImage &image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += qAlpha(image.pixel(x, y)) > 128;
    return n;
}

}  // namespace

class TestImageList : public QObject {
    Q_OBJECT
private slots:
    void everyIndexHasASmallPicture() {
        for (int i = 0; i < ImageListMain::Count; ++i) {
            const QPixmap pixmap = ImageListMain::Pixmap(ImageListMain::Index(i));
            QVERIFY2(!pixmap.isNull(), qPrintable(QString::number(i)));
            QCOMPARE(pixmap.size(), QSize(16, 16));
            // Something must be drawn, and not merely a speck.
            QVERIFY2(OpaquePixels(pixmap.toImage()) >= 40, qPrintable(QString::number(i)));
        }
        for (const int outside : {-1, ImageListMain::Count}) {
            QVERIFY(ImageListMain::Pixmap(ImageListMain::Index(outside)).isNull());
            QVERIFY(ImageListMain::Icon(ImageListMain::Index(outside)).isNull());
        }
        QVERIFY(ImageListMain::Image(ImageListMain::DatabaseConnected, 0).isNull());
    }

    void picturesDifferPairwise() {
        QList<QImage> images;
        for (int i = 0; i < ImageListMain::Count; ++i) images << ImageListMain::Image(ImageListMain::Index(i), 16);
        for (int a = 0; a < images.size(); ++a)
            for (int b = a + 1; b < images.size(); ++b)
                QVERIFY2(images[a] != images[b], qPrintable(QStringLiteral("%1 and %2 look the same").arg(a).arg(b)));
    }

    // On a high-density screen the icon must give the picture painted at
    // double size, not the small one enlarged.
    void iconCarriesSharpLargerPictures() {
        for (int i = 0; i < ImageListMain::Count; ++i) {
            const QIcon icon = ImageListMain::Icon(ImageListMain::Index(i));
            const QPixmap hiDpi = icon.pixmap(QSize(16, 16), 2.0);
            QCOMPARE(hiDpi.size(), QSize(32, 32));
            QImage painted = hiDpi.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            painted.setDevicePixelRatio(1.0);
            QCOMPARE(painted, ImageListMain::Image(ImageListMain::Index(i), 32));
            QCOMPARE(icon.pixmap(QSize(16, 16), 1.0).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     ImageListMain::Image(ImageListMain::Index(i), 16));
        }
    }

    void legendPicturesAreARedSquareAndARedCircle() {
        const QImage square = ImageListMain::Image(ImageListMain::LegendAppointment);
        const QImage circle = ImageListMain::Image(ImageListMain::LegendToDo);
        for (const QImage &image : {square, circle}) {
            int opaque = 0, red = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    if (qAlpha(image.pixel(x, y)) < 200) continue;
                    ++opaque;
                    red += IsRed(image.pixel(x, y));
                }
            QVERIFY(opaque >= 80);
            QVERIFY(red >= opaque * 9 / 10);
            QVERIFY(IsRed(image.pixel(8, 8)));
        }
        // The square fills its corners, the circle leaves them empty.
        for (const QPoint corner : {QPoint(2, 2), QPoint(13, 2), QPoint(2, 13), QPoint(13, 13)}) {
            QVERIFY(IsRed(square.pixel(corner)));
            QCOMPARE(qAlpha(square.pixel(corner)), 255);
            QCOMPARE(qAlpha(circle.pixel(corner)), 0);
        }
    }

    void applicationIcon() {
        const QIcon icon = ImageListMain::ApplicationIcon();
        QVERIFY(!icon.isNull());
        for (const int size : {16, 32, 48, 256}) QVERIFY(icon.availableSizes().contains(QSize(size, size)));

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("tresoro-48.png"));
        QVERIFY(ImageListMain::WriteApplicationIconPng(path, 48));
        QImage written(path, "PNG");
        QCOMPARE(written.size(), QSize(48, 48));
        QVERIFY(OpaquePixels(written) > 48 * 48 / 2);
        QCOMPARE(written.convertToFormat(QImage::Format_ARGB32_Premultiplied), ImageListMain::ApplicationImage(48));

        QVERIFY(!ImageListMain::WriteApplicationIconPng(dir.filePath(QStringLiteral("zero.png")), 0));
        QVERIFY(!ImageListMain::WriteApplicationIconPng(dir.filePath(QStringLiteral("huge.png")), 4096));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("zero.png"))));
        QVERIFY(!ImageListMain::WriteApplicationIconPng(dir.filePath(QStringLiteral("missing/folder/x.png")), 32));
    }
};

QTEST_MAIN(TestImageList)
#include "test_imagelist.moc"
