// The bitmap and JPEG paths into the picture column, the temporary file and
// its clean-up, and the export rules, on a real database.
#include <QDir>
#include <QtTest>

#include "ColumnFixture.h"
#include "Pictures.h"
#include "screenshots/core/Screenshots.h"
#include "support/ScriptedDialogs.h"

using namespace screenshots;

namespace {
void Write(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QByteArray Read(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Records what a sink is told.
struct Recorder {
    QStringList log;
    QList<QByteArray> shown;
    TPictureSink Sink() {
        TPictureSink s;
        s.Show = [this](const TPixels &p, const QByteArray &jpeg) {
            QVERIFY(!p.IsEmpty());
            shown << jpeg;
        };
        s.LogLine = [this](const QString &m) { log << m; };
        return s;
    }
};
}  // namespace

class TestFiles : public QObject {
    Q_OBJECT
private slots:
    void ColumnFollowsTheRecord();
    void BitmapWhileEditingIsStoredAndCleanedUp_data();
    void BitmapWhileEditingIsStoredAndCleanedUp();
    void BitmapOutsideEditingLeavesColumnAndTempFile();
    void TempFileGoneBeforeStoringIsReported();
    void TempFileThatCannotBeWritten();
    void JpegFileStoredByteForByte();
    void UndecodableJpegFileStoresNothing_data();
    void UndecodableJpegFileStoresNothing();
    void DeleteFilesByMaskMatches_data();
    void DeleteFilesByMaskMatches();
    void ExportNames_data();
    void ExportNames();
    void ExportWritesBytesAndAsksBeforeReplacing_data();
    void ExportWritesBytesAndAsksBeforeReplacing();
    void ExportTargetThatCannotBeWritten();
};

void TestFiles::ColumnFollowsTheRecord() {
    ColumnFixture f;
    TScreenshotColumn c = f.Column();
    QCOMPARE(c.Bytes(), f.firstPicture);
    QVERIFY(!c.Editing());
    QVERIFY_THROWS_EXCEPTION(std::logic_error, c.Store("x"));
    f.Access()->Next();
    QVERIFY(c.Bytes().isEmpty());
    f.Access()->Edit();
    QVERIFY(c.Editing());
    c.Store("neu");
    QCOMPARE(c.Bytes(), QByteArray("neu"));  // the edit buffer, before saving
    f.Access()->Cancel();
    QVERIFY(c.Bytes().isEmpty());
    f.Access()->Close();
    QVERIFY(c.Bytes().isEmpty());
    QVERIFY(TScreenshotColumn().Bytes().isEmpty());
}

void TestFiles::BitmapWhileEditingIsStoredAndCleanedUp_data() {
    QTest::addColumn<bool>("insert");
    QTest::newRow("edit") << false;
    QTest::newRow("insert") << true;
}

void TestFiles::BitmapWhileEditingIsStoredAndCleanedUp() {
    QFETCH(bool, insert);
    ColumnFixture f;
    const TPixels bitmap = Pattern(400, 300, TPixels::Layout::Bgrx, 3);
    QList<QByteArray> stored;
    for (const int quality : {10, 90}) {
        if (insert) f.Access()->Append();
        else f.Access()->Edit();
        TScreenshotColumn c = f.Column();
        Recorder r;
        StoreBitmapAsJpeg(bitmap, quality, f.Folder(), c, r.Sink());
        f.Save();
        const int id = f.Access()->FieldByName(QStringLiteral("ID")).AsInteger();
        const QByteArray saved = f.CommittedPicture(id);
        QCOMPARE(saved, EncodeJpeg(bitmap, quality));
        QCOMPARE(r.shown, QList<QByteArray>{saved});  // the compressed picture, shown once
        QCOMPARE(r.log, QStringList{TempDeletedLine(f.Folder())});
        QVERIFY(!QFile::exists(f.Temp()));
        stored << saved;
    }
    QVERIFY(stored[1].size() > 3 * stored[0].size());
    QCOMPARE(TempDeletedLine(QStringLiteral("/p/")), QStringLiteral("temporäre JPG-Datei in /p/ wurde gelöscht"));
}

void TestFiles::BitmapOutsideEditingLeavesColumnAndTempFile() {
    ColumnFixture f;
    TScreenshotColumn c = f.Column();
    Recorder r;
    const TPixels bitmap = Pattern(100, 80);
    StoreBitmapAsJpeg(bitmap, 50, f.Folder(), c, r.Sink());
    QCOMPARE(c.Bytes(), f.firstPicture);
    QCOMPARE(f.CommittedPicture(1), f.firstPicture);
    QCOMPARE(Read(f.Temp()), EncodeJpeg(bitmap, 50));  // stays for the zoom window's close
    QCOMPARE(r.shown.size(), 1);
    QVERIFY(r.log.isEmpty());
    QVERIFY(!f.Access()->Modified());
}

void TestFiles::TempFileGoneBeforeStoringIsReported() {
    ColumnFixture f;
    f.Access()->Edit();
    TScreenshotColumn c = f.Column();
    Recorder r;
    TPictureSink sink = r.Sink();
    // Something removes the file between showing and storing it.
    sink.Show = [&f](const TPixels &, const QByteArray &) { QFile::remove(f.Temp()); };
    QVERIFY_THROWS_EXCEPTION(EPictureFileError, StoreBitmapAsJpeg(Pattern(50, 40), 70, f.Folder(), c, sink));
    QCOMPARE(r.log, QStringList{TempNotDeletedLine()});
    QCOMPARE(TempNotDeletedLine(), QStringLiteral("temporäre JPG-Datei wurde nicht gelöscht"));
    QCOMPARE(c.Bytes(), f.firstPicture);
}

void TestFiles::TempFileThatCannotBeWritten() {
    ColumnFixture f;
    f.Access()->Edit();
    // A folder where the file should go.
    QVERIFY(QDir(f.Folder()).mkdir(TempJpegName()));
    TScreenshotColumn c = f.Column();
    Recorder r;
    try {
        StoreBitmapAsJpeg(Pattern(50, 40), 70, f.Folder(), c, r.Sink());
        QFAIL("stored");
    } catch (const EPictureFileError &e) {
        QVERIFY(QString::fromStdString(e.what()).startsWith(QStringLiteral("Die Datei ") + f.Temp()));
    }
    QCOMPARE(c.Bytes(), f.firstPicture);
    QVERIFY(r.shown.isEmpty());
    QVERIFY(r.log.isEmpty());  // it failed before the state test
    QVERIFY(QFileInfo(f.Temp()).isDir());
}

void TestFiles::JpegFileStoredByteForByte() {
    ColumnFixture f;
    // Trailing bytes after the end marker stay: nothing is re-encoded.
    const QByteArray file = EncodeJpeg(Pattern(200, 100, TPixels::Layout::Rgb, 9), 95) + "Anhang";
    const QString path = f.folder.File(QStringLiteral("bild.bmp"));  // the name does not decide
    Write(path, file);
    TScreenshotColumn c = f.Column();
    Recorder r;
    QVERIFY(!ImportJpegFile(path, c, r.Sink()));  // browsing: shown, not stored
    QCOMPARE(r.shown, QList<QByteArray>{file});
    QCOMPARE(c.Bytes(), f.firstPicture);
    f.Access()->Next();
    f.Access()->Edit();
    QVERIFY(ImportJpegFile(path, c, r.Sink()));
    f.Save();
    QCOMPARE(f.CommittedPicture(2), file);
    QVERIFY(r.log.isEmpty());
    QVERIFY(!QFile::exists(f.Temp()));
}

void TestFiles::UndecodableJpegFileStoresNothing_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("a bitmap") << QByteArray("BM\x36\x00\x00\x00", 6) << true;
    QTest::newRow("truncated JPEG") << EncodeJpeg(Pattern(64, 64), 70).left(300) << true;
    QTest::newRow("60000 x 60000") << WithSize(EncodeJpeg(Pattern(64, 64), 70), 60000, 60000) << true;
}

void TestFiles::UndecodableJpegFileStoresNothing() {
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    ColumnFixture f;
    const QString path = f.folder.File(QStringLiteral("kaputt.jpg"));
    if (exists) Write(path, content);
    f.Access()->Edit();
    TScreenshotColumn c = f.Column();
    Recorder r;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, ImportJpegFile(path, c, r.Sink()));
    QCOMPARE(c.Bytes(), f.firstPicture);
    QVERIFY(!f.Access()->Modified());
    QVERIFY(r.shown.isEmpty());
}

void TestFiles::DeleteFilesByMaskMatches_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("matched");
    QTest::addColumn<QStringList>("left");
    const QStringList some{QStringLiteral("temp.jpg"), QStringLiteral("temp.jpgx"), QStringLiteral("a.jpg"),
                           QStringLiteral(".versteckt.jpg"), QStringLiteral("tresoro.gdb")};
    QTest::newRow("the temporary file") << some << QStringList{} << QStringLiteral("temp.jpg") << true
                                        << QStringList{".versteckt.jpg", "a.jpg", "temp.jpgx", "tresoro.gdb"};
    QTest::newRow("wildcard, hidden ones too") << some << QStringList{"ordner.jpg"} << QStringLiteral("*.jpg") << true
                                               << QStringList{"ordner.jpg", "temp.jpgx", "tresoro.gdb"};
    QTest::newRow("question mark") << some << QStringList{} << QStringLiteral("?.jpg") << true
                                   << QStringList{".versteckt.jpg", "temp.jpg", "temp.jpgx", "tresoro.gdb"};
    QTest::newRow("nothing matches") << some << QStringList{} << QStringLiteral("none.jpg") << false
                                     << QStringList{".versteckt.jpg", "a.jpg", "temp.jpg", "temp.jpgx", "tresoro.gdb"};
    QTest::newRow("only a folder of that name") << QStringList{} << QStringList{"temp.jpg"} << QStringLiteral("temp.jpg")
                                                << false << QStringList{"temp.jpg"};
}

void TestFiles::DeleteFilesByMaskMatches() {
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QString, mask);
    QFETCH(bool, matched);
    QFETCH(QStringList, left);
    TestProgramFolder folder(TestProgramFolder::Database::None);
    for (const QString &n : files) Write(folder.File(n), "x");
    for (const QString &n : folders) QVERIFY(QDir(folder.Path()).mkdir(n));
    QCOMPARE(DeleteFilesByMask(folder.Path(), mask), matched);
    QCOMPARE(QDir(folder.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), left);
}

void TestFiles::ExportNames_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "/x/bild" << "/x/bild.jpg";
    QTest::newRow("another extension") << "/x/bild.png" << "/x/bild.png";
    QTest::newRow("jpg") << "/x/bild.jpg" << "/x/bild.jpg";
    QTest::newRow("trailing dot") << "/x/bild." << "/x/bild.jpg";
    QTest::newRow("dot in the folder only") << "/x.y/bild" << "/x.y/bild.jpg";
}

void TestFiles::ExportNames() {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QCOMPARE(ExportFileName(chosen), written);
}

void TestFiles::ExportWritesBytesAndAsksBeforeReplacing_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("written");
    QTest::newRow("new file") << false << 0 << true;
    QTest::newRow("replace: yes") << true << int(mbYes) << true;
    QTest::newRow("replace: no") << true << int(mbNo) << false;
}

void TestFiles::ExportWritesBytesAndAsksBeforeReplacing() {
    QFETCH(bool, exists);
    QFETCH(int, answer);
    QFETCH(bool, written);
    TestProgramFolder folder(TestProgramFolder::Database::None);
    TScriptedDialogs dialogs;
    if (answer) dialogs.AnswerMessage(answer);
    const QString target = folder.File(QStringLiteral("bild.jpg"));
    if (exists) Write(target, "alt");
    const QByteArray picture = EncodeJpeg(Pattern(30, 20), 70);
    const QString result = ExportBytes(folder.File(QStringLiteral("bild")), picture, dialogs);
    QCOMPARE(result, written ? target : QString());
    QCOMPARE(Read(target), written ? picture : QByteArray("alt"));
    QCOMPARE(dialogs.Calls.size(), exists ? 1 : 0);
    if (exists) {
        const TDialogCall &q = dialogs.Calls.first();
        QCOMPARE(q.Text, target + QStringLiteral(" ist bereits vorhanden.\r\nMöchten Sie sie ersetzen?"));
        QCOMPARE(q.Caption, QStringLiteral("Speichern unter bestätigen"));
        QCOMPARE(q.Icon, TMsgIcon::Warning);
        QCOMPARE(q.Buttons, mbYes | mbNo);
    }
    QCOMPARE(dialogs.Unexpected, 0);
    // An empty column gives an empty file.
    dialogs.AnswerMessage(mbYes);
    ExportBytes(target, QByteArray(), dialogs);
    QCOMPARE(Read(target), QByteArray());
}

void TestFiles::ExportTargetThatCannotBeWritten() {
    TestProgramFolder folder(TestProgramFolder::Database::None);
    TScriptedDialogs dialogs;
    QVERIFY(QDir(folder.Path()).mkdir(QStringLiteral("ordner.jpg")));
    QVERIFY_THROWS_EXCEPTION(EPictureFileError, ExportBytes(folder.File(QStringLiteral("ordner.jpg")), "x", dialogs));
    QVERIFY_THROWS_EXCEPTION(EPictureFileError,
                             ExportBytes(folder.File(QStringLiteral("fehlt/bild.jpg")), "x", dialogs));
    QVERIFY(!QFile::exists(folder.File(QStringLiteral("fehlt"))));
    QVERIFY(dialogs.Calls.isEmpty());
}

QTEST_GUILESS_MAIN(TestFiles)
#include "test_files.moc"
