// The picture panel and the zoom window driven as a user drives them.
#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <QScrollBar>
#include <QtTest>

#include <jerror.h>
#include <jpeglib.h>

#include "ShotsFixture.h"

using namespace screenshots;

class TestWindows : public QObject {
    Q_OBJECT
private slots:
    void BitmapImportAtQualityTenAndNinety();
    void JpegImportIgnoresTheSlider_data();
    void JpegImportIgnoresTheSlider();
    void BitmapImportWhileBrowsingAndZoomClose();
    void ImportFailuresKeepThePicture_data();
    void ImportFailuresKeepThePicture();
    void ImportCancelledOrButtonLocked();
    void Export_data();
    void Export();
    void ExportWhileEditingWritesTheNewPicture();
    void QualityHint();
    void PanelFollowsRecords();
    void PictureScaledToFitAndCentred_data();
    void PictureScaledToFitAndCentred();
    void ZoomSlider();
    void ZoomKeptForNextOpeningWithNewPicture();
    void ZoomOfUnreadableColumn_data();
    void ZoomOfUnreadableColumn();
    void ZoomPaintsOnlyWhatIsInSight();
    void Paste();
};

void TestWindows::BitmapImportAtQualityTenAndNinety() {
    ShotsFixture f;
    const QString bmp = f.BitmapFile(QStringLiteral("shot.bmp"), 640, 400);
    const QImage original = QImage(bmp).convertToFormat(QImage::Format_RGB32);
    QList<QByteArray> stored;
    for (const int quality : {10, 90}) {
        f.panel->VrTrackBarQualityJPG->setValue(quality);
        f.Access()->Edit();
        QVERIFY(f.panel->BtnImport->isEnabled());
        f.shell.log.clear();
        f.AnswerFile(bmp, 3);
        f.panel->BtnImport->trigger();
        QVERIFY(f.Errors().isEmpty());
        const QByteArray jpeg = f.Column().Bytes();
        QCOMPARE(jpeg, EncodeJpeg(FromImage(original), quality));
        // The compressed picture, not the bitmap as loaded.
        const QImage shown = f.panel->DBImage->Picture();
        QCOMPARE(shown, f.PanelPictureOf(jpeg));
        QVERIFY(shown != original.scaled(shown.size()));
        QVERIFY(!QFile::exists(f.Temp()));
        QCOMPARE(f.shell.log, QStringList{QStringLiteral("temporäre JPG-Datei in ") + f.Folder() + QStringLiteral(" wurde gelöscht")});
        f.Save();
        QCOMPARE(f.CommittedPicture(1), jpeg);
        stored << jpeg;
    }
    QVERIFY2(stored[1].size() > 3 * stored[0].size(),
             qPrintable(QStringLiteral("%1 / %2 bytes").arg(stored[0].size()).arg(stored[1].size())));
    QCOMPARE(f.dialogs.Unexpected, 0);
}

void TestWindows::JpegImportIgnoresTheSlider_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("*.jpg") << 1 << "foto.jpg";
    QTest::newRow("*.jpeg") << 2 << "foto.jpeg";
    QTest::newRow("a JPEG named .bmp, picked as JPEG") << 1 << "foto.bmp";
}

void TestWindows::JpegImportIgnoresTheSlider() {
    QFETCH(int, type);
    QFETCH(QString, name);
    ShotsFixture f;
    f.panel->VrTrackBarQualityJPG->setValue(10);
    const QByteArray file = EncodeJpeg(Pattern(300, 200, TPixels::Layout::Rgb, 4), 95);
    const QString path = f.JpegFile(name, file);
    f.Access()->Next();
    f.Access()->Edit();
    f.shell.save = false;
    f.AnswerFile(path, type);
    f.panel->BtnImport->trigger();
    QVERIFY(f.Errors().isEmpty());
    QVERIFY(f.shell.save);
    QCOMPARE(f.Column().Bytes(), file);
    QCOMPARE(f.panel->DBImage->Picture(), f.PanelPictureOf(file));
    f.Save();
    QCOMPARE(f.CommittedPicture(2), file);
    QVERIFY(f.shell.log.isEmpty());
    QVERIFY(!QFile::exists(f.Temp()));
}

void TestWindows::BitmapImportWhileBrowsingAndZoomClose() {
    ShotsFixture f;
    const QString bmp = f.BitmapFile(QStringLiteral("shot.bmp"), 200, 100);
    // The button is locked while browsing; the command itself still only shows.
    f.AnswerFile(bmp, 3);
    f.panel->BtnImportClick();
    QVERIFY(QFile::exists(f.Temp()));
    QCOMPARE(f.Column().Bytes(), f.firstPicture);
    QCOMPARE(f.panel->DBImage->Picture(), f.PanelPictureOf(ReadWholeFile(f.Temp())));
    QVERIFY(f.shell.log.isEmpty());
    // Closing the zoom window removes the file that was left.
    f.OpenZoom();
    QVERIFY(!QFile::exists(f.Temp()));
    QVERIFY(f.shell.log.isEmpty());
    QCOMPARE(f.CommittedPicture(1), f.firstPicture);
    // Moving on shows the records' own pictures again.
    f.Access()->Next();
    QVERIFY(f.panel->DBImage->Picture().isNull());
    f.Access()->Prior();
    QCOMPARE(f.panel->DBImage->Picture(), f.PanelPictureOf(f.firstPicture));
}

void TestWindows::ImportFailuresKeepThePicture_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("error");
    QTest::newRow("damaged bitmap") << QByteArray("BM\x10\x00\x00\x00garbage", 13) << 3 << "kann nicht als Bild gelesen werden";
    QTest::newRow("a bitmap picked as JPEG") << QByteArray() << 1 << QStringLiteral("JPEG error #%1.").arg(int(JERR_NO_SOI));
    QTest::newRow("truncated JPEG") << EncodeJpeg(Pattern(64, 64), 70).left(200) << 2
                                    << QStringLiteral("JPEG error #%1.").arg(int(JWRN_JPEG_EOF));
    QTest::newRow("60000 x 60000") << WithSize(EncodeJpeg(Pattern(64, 64), 70), 60000, 60000) << 1
                                   << "60000 × 60000 Bildpunkten zu groß";
    QTest::newRow("bitmap header of 12000 x 9000") << QByteArray("huge") << 3 << "12000 × 9000 Bildpunkten zu groß";
}

void TestWindows::ImportFailuresKeepThePicture() {
    QFETCH(QByteArray, content);
    QFETCH(int, type);
    QFETCH(QString, error);
    ShotsFixture f;
    QString path;
    if (content.isEmpty()) {
        path = f.BitmapFile(QStringLiteral("echt.bmp"), 40, 30);
    } else if (content == "huge") {
        // A real bitmap whose header claims 12000 x 9000 (width and height at 18 and 22).
        QByteArray bmp = ReadWholeFile(f.BitmapFile(QStringLiteral("klein.bmp"), 40, 30));
        const qint32 width = 12000, height = 9000;
        std::memcpy(bmp.data() + 18, &width, 4);
        std::memcpy(bmp.data() + 22, &height, 4);
        path = f.JpegFile(QStringLiteral("riesig.bmp"), bmp);
    } else {
        path = f.JpegFile(QStringLiteral("kaputt.bin"), content);
    }
    f.Access()->Edit();
    f.AnswerFile(path, type);
    f.panel->BtnImport->trigger();
    QCOMPARE(f.Errors().size(), 1);
    QVERIFY2(f.Errors().first().contains(error), qPrintable(f.Errors().first()));
    QCOMPARE(f.dialogs.Messages().first().Caption, QStringLiteral("Tresoro"));
    QCOMPARE(f.Column().Bytes(), f.firstPicture);
    QVERIFY(!f.Access()->Modified());
    QCOMPARE(f.panel->DBImage->Picture(), f.PanelPictureOf(f.firstPicture));
    QVERIFY(!QFile::exists(f.Temp()));
}

void TestWindows::ImportCancelledOrButtonLocked() {
    ShotsFixture f;
    QVERIFY(!f.panel->BtnImport->isEnabled());
    QVERIFY(f.panel->BtnExport->isEnabled());
    f.Access()->Append();
    QVERIFY(f.panel->BtnImport->isEnabled());
    f.CancelFile();
    f.panel->BtnImport->trigger();
    QVERIFY(f.Column().Bytes().isEmpty());
    QVERIFY(f.dialogs.Messages().isEmpty());
    f.Access()->Cancel();
    QVERIFY(!f.panel->BtnImport->isEnabled());
    QCOMPARE(f.dialogs.Unexpected, 0);
}

void TestWindows::Export_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("fromZoom");
    QTest::newRow("bild gives bild.jpg") << "bild" << "bild.jpg" << false;
    QTest::newRow("bild.png keeps its name") << "bild.png" << "bild.png" << false;
    QTest::newRow("from the zoom window") << "z" << "z.jpg" << true;
}

void TestWindows::Export() {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(bool, fromZoom);
    ShotsFixture f;
    if (fromZoom) {
        f.OpenZoom([&](TfrmZoom &z) {
            f.AnswerFile(f.folder.File(chosen));
            z.BtnExport->trigger();
        });
    } else {
        f.AnswerFile(f.folder.File(chosen));
        f.panel->BtnExport->trigger();
    }
    QFile out(f.folder.File(written));
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), f.firstPicture);
    QVERIFY(f.dialogs.Messages().isEmpty());
    QCOMPARE(f.dialogs.Unexpected, 0);
    // Cancelled: nothing written, nothing asked.
    f.CancelFile();
    f.panel->BtnExport->trigger();
    QVERIFY(f.dialogs.Messages().isEmpty());
    // The dialog starts with an empty name every time.
    bool emptyName = false;
    f.dialogs.AnswerModal([&emptyName](QDialog *d) {
        emptyName = ShotsFixture::NameBox(static_cast<QFileDialog *>(d))->text().isEmpty();
        d->reject();
    });
    f.panel->BtnExport->trigger();
    QVERIFY(emptyName);
    QCOMPARE(f.dialogs.Unexpected, 0);
}

void TestWindows::ExportWhileEditingWritesTheNewPicture() {
    ShotsFixture f;
    const QString bmp = f.BitmapFile(QStringLiteral("neu.bmp"), 120, 90);
    f.Access()->Edit();
    f.AnswerFile(bmp, 3);
    f.panel->BtnImport->trigger();
    const QByteArray fresh = f.Column().Bytes();
    QVERIFY(fresh != f.firstPicture);
    f.AnswerFile(f.folder.File(QStringLiteral("export")));
    f.panel->BtnExport->trigger();
    QCOMPARE(ReadWholeFile(f.folder.File(QStringLiteral("export.jpg"))), fresh);
    QCOMPARE(f.CommittedPicture(1), f.firstPicture);  // not saved yet
    // An empty column gives an empty file.
    f.Access()->Cancel();
    f.Access()->Next();
    f.AnswerFile(f.folder.File(QStringLiteral("leer.jpg")));
    f.panel->BtnExport->trigger();
    QCOMPARE(ReadWholeFile(f.folder.File(QStringLiteral("leer.jpg"))), QByteArray());
}

void TestWindows::QualityHint() {
    ShotsFixture f;
    QSlider *q = f.panel->VrTrackBarQualityJPG;
    QCOMPARE(q->parentWidget(), f.toolBar);
    QCOMPARE(q->toolTip(), QStringLiteral("JPG-Qualität: 70%"));
    QCOMPARE(q->value(), 70);
    const struct {
        int set, lands;
    } moves[] = {{10, 10}, {43, 40}, {45, 50}, {90, 90}, {5, 10}, {99, 90}};
    for (const auto &m : moves) {
        q->setValue(m.set);
        QCOMPARE(q->value(), m.lands);
        QCOMPARE(q->toolTip(), QStringLiteral("JPG-Qualität: %1%").arg(m.lands));
    }
    q->setValue(10);
    QTest::keyClick(q, Qt::Key_Right);
    QCOMPARE(q->toolTip(), QStringLiteral("JPG-Qualität: 20%"));
    QCOMPARE(f.panel->BtnImport->toolTip(), QStringLiteral("Import eines Bildes (JPG, BMP)"));
    QCOMPARE(f.panel->BtnExport->toolTip(), QStringLiteral("Export eines Bildes (*.jpg)"));
    QCOMPARE(f.panel->DBImage->toolTip(), QStringLiteral("Geben Sie bei Bedarf ein Bild zu dem Zugang ein"));
}

void TestWindows::PanelFollowsRecords() {
    ShotsFixture f;
    const QByteArray damaged = f.firstPicture.left(f.firstPicture.size() / 3);
    f.Exec(QStringLiteral("insert into TBLZUGANGSDATEN (ID, USERID, PROJEKTID, SCREENSHOT) values (3, 'dritter', 1, ?)"),
           {damaged});
    f.Access()->Close();
    f.Access()->Open();
    QCOMPARE(f.panel->DBImage->Picture(), f.PanelPictureOf(f.firstPicture));
    QVERIFY(f.panel->PictureError().isEmpty());
    f.Access()->Next();
    QVERIFY(f.panel->DBImage->Picture().isNull());
    QVERIFY(f.panel->PictureError().isEmpty());
    f.Access()->Next();
    QVERIFY(f.panel->DBImage->Picture().isNull());  // never the last record's picture
    QCOMPARE(f.panel->PictureError(), QStringLiteral("JPEG error #%1").arg(int(JWRN_JPEG_EOF)));
    f.Access()->First();
    QCOMPARE(f.panel->DBImage->Picture(), f.PanelPictureOf(f.firstPicture));
    QVERIFY(f.dialogs.Messages().isEmpty());  // moving through records asks nothing
}

void TestWindows::PictureScaledToFitAndCentred_data() {
    QTest::addColumn<QSize>("picture");
    QTest::newRow("wide") << QSize(800, 100);
    QTest::newRow("tall") << QSize(100, 900);
    QTest::newRow("small") << QSize(40, 30);
}

void TestWindows::PictureScaledToFitAndCentred() {
    QFETCH(QSize, picture);
    TDBImage image;
    image.resize(285, 228);
    image.SetPicture(ToImage(Pattern(picture.width(), picture.height())));
    const QRect area = image.contentsRect();
    const QRect r = image.PictureRect();
    QVERIFY(r.width() == area.width() || r.height() == area.height());  // fills one direction
    QVERIFY(area.contains(r));
    // Proportions kept, up to the rounding of the shorter side.
    QVERIFY(qAbs(qint64(r.width()) * picture.height() - qint64(r.height()) * picture.width()) <=
            std::max(picture.width(), picture.height()));
    QVERIFY(qAbs(r.center().x() - area.center().x()) <= 1);
    QVERIFY(qAbs(r.center().y() - area.center().y()) <= 1);
}

void TestWindows::ZoomSlider() {
    ShotsFixture f;
    const struct {
        int position;
        double factor;
    } steps[] = {{100, 10.0}, {0, 0.001}, {1, 0.1}, {47, 4.7}};
    f.OpenZoom([&](TfrmZoom &z) {
        QCOMPARE(z.windowTitle(), QStringLiteral("Zoom"));
        QCOMPARE(z.ZoomFactor(), 1.5);
        QCOMPARE(z.GaugeBarZoom->value(), 15);
        QCOMPARE(z.ImageView32->Scale(), 1.5);
        QVERIFY(!z.ImageView32->Picture().isNull());
        for (const auto &s : steps) {
            z.GaugeBarZoom->setValue(s.position);
            QCOMPARE(z.ZoomFactor(), s.factor);
            QCOMPARE(z.ImageView32->Scale(), s.factor);
        }
        // The picture shrinks to a dot, never to nothing.
        z.GaugeBarZoom->setValue(0);
        QCOMPARE(z.ImageView32->ScaledSize(), QSize(1, 1));
        z.GaugeBarZoom->setValue(70);
        QCOMPARE(z.ImageView32->ScaledSize(), QSize(320 * 7, 200 * 7));
        QCOMPARE(z.BtnCancelZoom->toolTip(), QStringLiteral("Bild komplett anzeigen"));
        z.BtnCancelZoom->trigger();
        QCOMPARE(z.ZoomFactor(), 1.5);
        QCOMPARE(z.GaugeBarZoom->value(), 15);
        QCOMPARE(z.ImageView32->Scale(), 1.5);
        QCOMPARE(z.GaugeBarZoom->toolTip(), QStringLiteral("Zoomfaktor einstellen"));
        QCOMPARE(z.BtnExport->toolTip(), QStringLiteral("Export eines Bildes (*.jpg)"));
    });
    QVERIFY(f.dialogs.Messages().isEmpty());
    QCOMPARE(f.dialogs.Unexpected, 0);
}

void TestWindows::ZoomKeptForNextOpeningWithNewPicture() {
    ShotsFixture f;
    const QByteArray second = EncodeJpeg(Pattern(90, 60, TPixels::Layout::Bgrx, 11), 80);
    f.Exec(QStringLiteral("update TBLZUGANGSDATEN set SCREENSHOT = ? where ID = 2"), {second});
    f.Access()->Close();
    f.Access()->Open();
    f.OpenZoom([](TfrmZoom &z) { z.GaugeBarZoom->setValue(30); });
    f.Access()->Next();
    bool opened = false;
    // Enter on the picture opens it as a double click does.
    f.OpenZoom([&](TfrmZoom &z) {
        opened = true;
        QCOMPARE(z.ZoomFactor(), 3.0);
        QCOMPARE(z.GaugeBarZoom->value(), 30);
        QCOMPARE(z.ImageView32->Picture(), ToImage(DecodeJpeg(second)));
    }, true);
    QVERIFY(opened);
    QVERIFY(f.dialogs.Messages().isEmpty());
}

void TestWindows::ZoomOfUnreadableColumn_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("JPEG error #%1.").arg(int(JERR_INPUT_EMPTY));
    QTest::newRow("not a JPEG") << QByteArray("Bild") << QStringLiteral("JPEG error #%1.").arg(int(JERR_NO_SOI));
    QTest::newRow("60000 x 60000")
        << WithSize(EncodeJpeg(Pattern(64, 64), 70), 60000, 60000) << PictureTooLargeText(60000, 60000) + QLatin1Char('.');
}

void TestWindows::ZoomOfUnreadableColumn() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    ShotsFixture f;
    f.Exec(QStringLiteral("update TBLZUGANGSDATEN set SCREENSHOT = ? where ID = 2"),
           {content.isEmpty() ? QVariant() : QVariant(content)});
    f.Access()->Close();
    f.Access()->Open();
    f.OpenZoom();  // the first record's picture is shown there first
    f.Access()->Next();
    f.OpenZoom([](TfrmZoom &z) { QVERIFY(z.ImageView32->Picture().isNull()); });
    QCOMPARE(f.Errors(), QStringList{message});
    const TDialogCall box = f.dialogs.Messages().first();
    QCOMPARE(box.Caption, QStringLiteral("Tresoro"));
    QCOMPARE(box.Buttons, int(mbOK));
    QVERIFY(!QApplication::overrideCursor());
}

void TestWindows::ZoomPaintsOnlyWhatIsInSight() {
    TfrmZoom z;
    z.show();
    QVERIFY(QTest::qWaitForWindowExposed(&z));
    z.ImageView32->SetPicture(ToImage(Pattern(4000, 3000)));
    z.GaugeBarZoom->setValue(100);
    const QSize view = z.ImageView32->viewport()->size();
    QCOMPARE(z.ImageView32->horizontalScrollBar()->maximum(), 40000 - view.width());
    z.ImageView32->horizontalScrollBar()->setValue(20000);
    z.ImageView32->verticalScrollBar()->setValue(15000);
    QImage canvas(view, QImage::Format_RGB32);
    QPainter p(&canvas);
    z.ImageView32->PaintVisible(p, QRect(QPoint(0, 0), view));
    p.end();
    const QRect source = z.ImageView32->LastSourceRect();
    QVERIFY(source.width() <= view.width() / 10 + 2);
    QVERIFY(source.height() <= view.height() / 10 + 2);
    QVERIFY(source.contains(2000 + view.width() / 20, 1500 + view.height() / 20));
    // Nearest neighbour: each picture pixel is a 10 x 10 block of one colour.
    const QImage &picture = z.ImageView32->Picture();
    const int offsetX = 20000 % 10, offsetY = 15000 % 10;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            QCOMPARE(canvas.pixel(x, y), picture.pixel((20000 + x) / 10, (15000 + y) / 10));
    Q_UNUSED(offsetX);
    Q_UNUSED(offsetY);
}

void TestWindows::Paste() {
    ShotsFixture f;
    const QImage clip = ToImage(Pattern(160, 120, TPixels::Layout::Bgrx, 13)).copy();
    QApplication::clipboard()->setImage(clip);
    f.panel->VrTrackBarQualityJPG->setValue(30);
    // Browsing: nothing happens.
    QTest::keyClick(f.panel->DBImage, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Column().Bytes(), f.firstPicture);
    QVERIFY(!f.panel->BildEinfuegen->isEnabled());
    for (const bool fromMenu : {false, true}) {
        f.Access()->Edit();
        f.shell.save = false;
        QVERIFY(f.panel->BildEinfuegen->isEnabled());
        QCOMPARE(f.panel->BildEinfuegen->text(), QStringLiteral("Bild einfügen"));
        if (fromMenu) f.panel->BildEinfuegen->trigger();
        else QTest::keyClick(f.panel->DBImage, Qt::Key_V, Qt::ControlModifier);
        const QByteArray jpeg = f.Column().Bytes();
        QCOMPARE(jpeg, EncodeJpeg(FromImage(clip), 30));
        QVERIFY(f.shell.save);
        QCOMPARE(f.panel->DBImage->Picture(), f.PanelPictureOf(jpeg));
        f.Save();
        QCOMPARE(f.CommittedPicture(1), jpeg);
    }
    // No picture on the clipboard: a hint, nothing stored.
    QApplication::clipboard()->setText(QStringLiteral("kein Bild"));
    f.Access()->Edit();
    const QByteArray before = f.Column().Bytes();
    f.panel->PastePicture();
    QCOMPARE(f.Column().Bytes(), before);
    QCOMPARE(f.shell.status, QStringLiteral("Die Zwischenablage enthält kein Bild"));
    QVERIFY(f.dialogs.Messages().isEmpty());
}

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
