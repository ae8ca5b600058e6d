// tresoro-cli run as a user runs it: the built executable in a fresh
// program folder, lines on standard input, exit status and output checked,
// stored values read back through a connection of the test's own.

#include <QProcess>
#include <QtEndian>
#include <QtTest>

#include "platform/core/SingleInstance.h"
#include "screenshots/core/JpegCodec.h"
#include "store/core/SqlStatement.h"
#include "support/Committed.h"
#include "support/ProgramFolder.h"

namespace {
struct TRun {
    int Code = -1;
    QString Out, Err;
};

struct Cli {
    Cli() {
        QFile::copy(QStringLiteral(TRESORO_CLI), folder.File(QStringLiteral("tresoro-cli")));
        QFile::setPermissions(folder.File(QStringLiteral("tresoro-cli")), QFileDevice::ExeOwner | QFileDevice::ReadOwner);
    }
    TRun operator()(const QStringList &args, const QString &input = QString()) const {
        QProcess p;
        p.setWorkingDirectory(folder.Path());
        p.start(folder.File(QStringLiteral("tresoro-cli")), args);
        p.write(input.toUtf8());
        p.closeWriteChannel();
        p.waitForFinished(60000);
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
    QVariant Committed(const QString &sql) const { return CommittedValue(folder.File(QStringLiteral("tresoro.gdb")), sql); }
    void Exec(const QString &sql) const {
        TIBDatabase db;
        db.DatabaseName = folder.File(QStringLiteral("tresoro.gdb"));
        db.Password = QStringLiteral("masterkey");
        TIBTransaction tr(db);
        db.Open();
        {
            TSqlStatement st(tr, sql);
            st.Execute();
        }
        tr.Commit();
        db.Close();
    }
    // A master password and the project "Bank" (#1).
    void Seed() const {
        QCOMPARE((*this)({QStringLiteral("set-master")}, QStringLiteral("Erstes-1\nErstes-1\nHinweis\n")).Code, 0);
        QCOMPARE((*this)({QStringLiteral("add-project"), QStringLiteral("Bank")}).Code, 0);
    }
    TestProgramFolder folder;
};
}  // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void anAddedPasswordRevealsToWhatWasTyped_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("umlauts and spaces") << QStringLiteral(" Kontö mit ß ");
        QTest::newRow("40 characters") << QString(40, QLatin1Char('x'));
        QTest::newRow("none") << QString();
    }
    void anAddedPasswordRevealsToWhatWasTyped() {
        QFETCH(QString, password);
        Cli cli;
        cli.Seed();
        const TRun add = cli({QStringLiteral("add-access"), QStringLiteral("Bank"), QStringLiteral("kunde"), QStringLiteral("--remark"),
                              QStringLiteral("erste Zeile")},
                             QStringLiteral("Erstes-1\n") + password + QLatin1Char('\n'));
        QCOMPARE(add.Code, 0);
        const TRun reveal = cli({QStringLiteral("reveal"), QStringLiteral("#1"), QStringLiteral("kunde")}, QStringLiteral("Erstes-1\n"));
        if (password.isEmpty()) {
            QCOMPARE(reveal.Code, 1);
            QCOMPARE(reveal.Err, QStringLiteral("Für diesen Eintrag ist noch kein Kennwort gespeichert.\n"));
        } else {
            QCOMPARE(reveal.Code, 0);
            QCOMPARE(reveal.Out, password + QLatin1Char('\n'));
        }
        // Only a stored form reached the database, and the log holds no clear password.
        const QString stored = cli.Committed(QStringLiteral("select KENNWORT from TBLZUGANGSDATEN")).toString();
        QVERIFY(password.isEmpty() ? stored.isEmpty() : !stored.contains(password.trimmed()));
        QFile log(cli.folder.File(QStringLiteral("tresoro-cli.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QVERIFY(text.contains("Zugangsdaten") || text.contains("connected to"));
        if (!password.isEmpty()) QVERIFY(!text.contains(password.trimmed().toLatin1()));
    }

    void aChangedMasterPasswordRevealsWithTheNewOneOnly() {
        Cli cli;
        cli.Seed();
        QCOMPARE(cli({QStringLiteral("add-access"), QStringLiteral("Bank"), QStringLiteral("kunde")}, QStringLiteral("Erstes-1\ngeheim\n")).Code, 0);
        const TRun change = cli({QStringLiteral("set-master")}, QStringLiteral("Erstes-1\nZweites-2\nZweites-2\n\n"));
        QCOMPARE(change.Code, 0);
        QCOMPARE(cli({QStringLiteral("reveal"), QStringLiteral("Bank"), QStringLiteral("kunde")}, QStringLiteral("Zweites-2\n")).Out,
                 QStringLiteral("geheim\n"));
        const TRun old = cli({QStringLiteral("reveal"), QStringLiteral("Bank"), QStringLiteral("kunde")}, QStringLiteral("Erstes-1\n"));
        QCOMPARE(old.Code, 1);
        QCOMPARE(old.Err, QStringLiteral("falsches Masterkennwort!\n"));
        QCOMPARE(old.Out, QString());
    }

    void aFailedChangeRollsBack() {
        Cli cli;
        cli.Seed();
        QCOMPARE(cli({QStringLiteral("add-access"), QStringLiteral("Bank"), QStringLiteral("kunde")}, QStringLiteral("Erstes-1\ngeheim\n")).Code, 0);
        cli.Exec(QStringLiteral("insert into TBLZUGANGSDATEN (ID, USERID, KENNWORT, PROJEKTID) values (99, 'kaputt', 'klar text!', 1)"));
        const QString digest = cli.Committed(QStringLiteral("select MASTERKENNWORT from TBLALLGEMEIN")).toString();
        const TRun change = cli({QStringLiteral("set-master")}, QStringLiteral("Erstes-1\nZweites-2\nZweites-2\n\n"));
        QCOMPARE(change.Code, 1);
        QVERIFY2(change.Err.contains(QStringLiteral("konnten nur teilweise geändert werden")), qPrintable(change.Err));
        QCOMPARE(cli.Committed(QStringLiteral("select MASTERKENNWORT from TBLALLGEMEIN")).toString(), digest);
        QCOMPARE(cli({QStringLiteral("reveal"), QStringLiteral("Bank"), QStringLiteral("kunde")}, QStringLiteral("Erstes-1\n")).Out,
                 QStringLiteral("geheim\n"));
    }

    void aScreenshotGoesInAndComesBackByteForByte() {
        Cli cli;
        cli.Seed();
        QCOMPARE(cli({QStringLiteral("add-access"), QStringLiteral("Bank"), QStringLiteral("kunde")}, QStringLiteral("Erstes-1\n\n")).Code, 0);
        TPixels pixels = TPixels::Make(64, 48, TPixels::Layout::Bgrx);
        pixels.Data.fill('\x40');
        const QByteArray jpeg = EncodeJpeg(pixels, 80);
        QFile in(cli.folder.File(QStringLiteral("in.jpg")));
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write(jpeg);
        in.close();
        QCOMPARE(cli({QStringLiteral("screenshot"), QStringLiteral("set"), QStringLiteral("Bank"), QStringLiteral("kunde"), in.fileName()}).Code, 0);
        const QString out = cli.folder.File(QStringLiteral("out.jpg"));
        QCOMPARE(cli({QStringLiteral("screenshot"), QStringLiteral("get"), QStringLiteral("Bank"), QStringLiteral("kunde"), out}).Code, 0);
        QFile back(out);
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), jpeg);
        // Something that is no JPEG is refused, the picture stays.
        QCOMPARE(cli({QStringLiteral("screenshot"), QStringLiteral("set"), QStringLiteral("Bank"), QStringLiteral("kunde"),
                      cli.folder.File(QStringLiteral("tresoro-cli.log"))}).Code, 1);
        QCOMPARE(cli.Committed(QStringLiteral("select count(*) from TBLZUGANGSDATEN where SCREENSHOT is not null")).toInt(), 1);
    }

    void aBitmapIsStoredAsJpegAtTheQuality() {
        Cli cli;
        cli.Seed();
        QCOMPARE(cli({QStringLiteral("add-access"), QStringLiteral("Bank"), QStringLiteral("kunde")}, QStringLiteral("Erstes-1\n\n")).Code, 0);
        // A 24-bit bitmap, bottom-up, with a pattern that compresses differently by quality.
        const int w = 120, h = 80, stride = (w * 3 + 3) & ~3;
        QByteArray bmp(54 + stride * h, '\0');
        auto put32 = [&bmp](int at, quint32 v) { qToLittleEndian(v, bmp.data() + at); };
        bmp[0] = 'B';
        bmp[1] = 'M';
        put32(2, quint32(bmp.size()));
        put32(10, 54);
        put32(14, 40);
        put32(18, w);
        put32(22, h);
        qToLittleEndian<quint16>(1, bmp.data() + 26);
        qToLittleEndian<quint16>(24, bmp.data() + 28);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) bmp[54 + y * stride + x * 3 + c] = char((x * 7 + y * 13 + c * 50) ^ (x * y));
        QFile file(cli.folder.File(QStringLiteral("seite.bmp")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bmp);
        file.close();
        qint64 sizes[2] = {0, 0};
        const char *qualities[2] = {"10", "90"};
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(cli({QStringLiteral("screenshot"), QStringLiteral("set"), QStringLiteral("Bank"), QStringLiteral("kunde"),
                          file.fileName(), QStringLiteral("--quality"), QString::fromLatin1(qualities[i])}).Code, 0);
            const QByteArray stored = cli.Committed(QStringLiteral("select SCREENSHOT from TBLZUGANGSDATEN")).toByteArray();
            QVERIFY(stored.startsWith("\xFF\xD8"));
            const TPixels back = DecodeJpeg(stored);
            QCOMPARE(back.Width, w);
            QCOMPARE(back.Height, h);
            sizes[i] = stored.size();
        }
        QVERIFY2(sizes[1] > sizes[0] * 2, qPrintable(QStringLiteral("%1 %2").arg(sizes[0]).arg(sizes[1])));
        QVERIFY(!QFile::exists(cli.folder.File(QStringLiteral("temp.jpg"))));
        QFile log(cli.folder.File(QStringLiteral("tresoro-cli.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("wurde gel\xF6scht"));
        QCOMPARE(cli({QStringLiteral("screenshot"), QStringLiteral("set"), QStringLiteral("Bank"), QStringLiteral("kunde"),
                      file.fileName(), QStringLiteral("--quality"), QStringLiteral("95")}).Code, 2);
    }

    void toDosAndAppointmentsAreStoredAsTheTabsStoreThem() {
        Cli cli;
        cli.Seed();
        QCOMPARE(cli({QStringLiteral("add-todo"), QStringLiteral("Bank"), QStringLiteral("Rechnung prüfen"), QStringLiteral("--due"),
                      QStringLiteral("15.12.26"), QStringLiteral("--progress"), QStringLiteral("100")}).Code, 0);
        QCOMPARE(cli({QStringLiteral("add-appointment"), QStringLiteral("Bank"), QStringLiteral("3.1.2027"), QStringLiteral("Termin Ü")}).Code, 0);
        QCOMPARE(cli.Committed(QStringLiteral("select BESCHREIBUNG || '|' || FORTSCHRITT || '|' || ERLEDIGT || '|' || BISTERMIN || '|' || PROJEKTID from TBLTODO")).toString(),
                 QStringLiteral("Rechnung prüfen|100|1|2026-12-15|1"));
        QCOMPARE(cli.Committed(QStringLiteral("select TERMINDATUM from TBLTERMINE")).toDate(), QDate(2027, 1, 3));
        const TRun shown = cli({QStringLiteral("show"), QStringLiteral("Bank")});
        QVERIFY2(shown.Out.contains(QStringLiteral("Rechnung prüfen\tFortschritt: 100 %\terledigt: ja\tfällig: 15.12.2026")), qPrintable(shown.Out));
        QVERIFY2(shown.Out.contains(QStringLiteral("03.01.2027\tTermin Ü")), qPrintable(shown.Out));
        // What is no date or no stop is refused; nothing is stored.
        QCOMPARE(cli({QStringLiteral("add-todo"), QStringLiteral("Bank"), QStringLiteral("x"), QStringLiteral("--due"), QStringLiteral("32.1.2027")}).Code, 1);
        QCOMPARE(cli({QStringLiteral("add-todo"), QStringLiteral("Bank"), QStringLiteral("x"), QStringLiteral("--progress"), QStringLiteral("30")}).Code, 2);
        QCOMPARE(cli({QStringLiteral("add-appointment"), QStringLiteral("Bank"), QStringLiteral("morgen"), QStringLiteral("x")}).Code, 1);
        QCOMPARE(cli.Committed(QStringLiteral("select count(*) from TBLTODO")).toInt() + cli.Committed(QStringLiteral("select count(*) from TBLTERMINE")).toInt(), 2);
        QFile log(cli.folder.File(QStringLiteral("tresoro-cli.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QVERIFY(text.contains("ToDodaten zu Projekt BANK wurden gesichert"));
        QVERIFY(text.contains("Termindaten zu Projekt BANK wurden gesichert"));
    }

    void aBackupThenARestoreBringsADeletedProjectBack() {
        Cli cli;
        cli.Seed();
        const TRun backup = cli({QStringLiteral("backup")});
        QVERIFY2(backup.Code == 0, qPrintable(backup.Err));
        QVERIFY(QFile::exists(cli.folder.File(QStringLiteral("tresorobackup.gbk"))));
        cli.Exec(QStringLiteral("delete from TBLPROJEKT"));
        const TRun restore = cli({QStringLiteral("restore")});
        QVERIFY2(restore.Code == 0, qPrintable(restore.Err));
        QCOMPARE(cli({QStringLiteral("projects")}).Out, QStringLiteral("1\tBank\n"));
        // A damaged backup file is refused and the database stays as it was.
        QFile bad(cli.folder.File(QStringLiteral("kaputt.gbk")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(5000, 'x'));
        bad.close();
        const TRun refused = cli({QStringLiteral("restore"), bad.fileName()});
        QCOMPARE(refused.Code, 1);
        QVERIFY(!refused.Err.isEmpty());
        QCOMPARE(cli({QStringLiteral("projects")}).Out, QStringLiteral("1\tBank\n"));
        QVERIFY(!QFile::exists(cli.folder.File(QStringLiteral("tresoro.gdb.neu"))));
    }

    void theCsvExportParsesBackToTheFields() {
        Cli cli;
        cli.Seed();
        QCOMPARE(cli({QStringLiteral("add-access"), QStringLiteral("Bank"), QStringLiteral("ku\"nde"), QStringLiteral("--remark"),
                      QStringLiteral("a, b")},
                     QStringLiteral("Erstes-1\nge\"heim,ö\n")).Code, 0);
        const QString file = cli.folder.File(QStringLiteral("export.csv"));
        QCOMPARE(cli({QStringLiteral("export"), QStringLiteral("--all"), QStringLiteral("--format"), QStringLiteral("csv"),
                      QStringLiteral("--output"), file},
                     QStringLiteral("Erstes-1\n")).Code, 0);
        QCOMPARE(QFileInfo(file).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QCOMPARE(text, QStringLiteral("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\r\n"
                                      "\"Bank\",\"ku\"\"nde\",\"ku\"\"nde\",\"ge\"\"heim,ö\",\"\",\"a, b\"\r\n"));
    }

    void keepassxcImportsTheXmlExport() {
        const QString keepass = QStandardPaths::findExecutable(QStringLiteral("keepassxc-cli"));
        if (keepass.isEmpty()) QSKIP("keepassxc-cli is not installed");
        Cli cli;
        cli.Seed();
        QCOMPARE(cli({QStringLiteral("add-access"), QStringLiteral("Bank"), QStringLiteral("kunde"), QStringLiteral("--remark"),
                      QStringLiteral("<Notiz> & mehr")},
                     QStringLiteral("Erstes-1\nKontö <1> & \"2\"\n")).Code, 0);
        const QString xml = cli.folder.File(QStringLiteral("export.xml"));
        const QString kdbx = cli.folder.File(QStringLiteral("export.kdbx"));
        QCOMPARE(cli({QStringLiteral("export"), QStringLiteral("Bank"), QStringLiteral("--format"), QStringLiteral("keepass-xml"),
                      QStringLiteral("--output"), xml},
                     QStringLiteral("Erstes-1\n")).Code, 0);
        auto keepassxc = [&](const QStringList &args, const QByteArray &input) {
            QProcess p;
            p.start(keepass, args);
            p.write(input);
            p.closeWriteChannel();
            p.waitForFinished(60000);
            return QString::fromUtf8(p.readAllStandardOutput());
        };
        keepassxc({QStringLiteral("import"), QStringLiteral("-p"), QStringLiteral("-t"), QStringLiteral("100"), xml, kdbx}, "Prüf-1234\nPrüf-1234\n");
        QVERIFY(QFile::exists(kdbx));
        const QString shown = keepassxc({QStringLiteral("show"), QStringLiteral("-s"), kdbx, QStringLiteral("Bank/kunde")}, "Prüf-1234\n");
        QVERIFY2(shown.contains(QStringLiteral("Password: Kontö <1> & \"2\"")), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("Notes: <Notiz> & mehr")), qPrintable(shown));
    }

    void theWindowsLockKeepsItOut() {
        Cli cli;
        TSingleInstance window(QStringLiteral("Tresoro"));
        QVERIFY(window.TryAcquire());
        const TRun run = cli({QStringLiteral("projects")});
        QCOMPARE(run.Code, 2);
        QVERIFY(run.Err.contains(QStringLiteral("Tresoro läuft bereits")));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("nothing") << QStringList{} << 2;
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0;
        QTest::newRow("unknown command") << QStringList{QStringLiteral("zaubern")} << 2;
        QTest::newRow("missing argument") << QStringList{QStringLiteral("show")} << 2;
        QTest::newRow("missing database") << QStringList{QStringLiteral("--database"), QStringLiteral("/nirgends.gdb"), QStringLiteral("projects")} << 2;
        QTest::newRow("no such project") << QStringList{QStringLiteral("show"), QStringLiteral("Keins")} << 1;
        QTest::newRow("no master password yet") << QStringList{QStringLiteral("add-project"), QStringLiteral("X")} << 1;
        QTest::newRow("a character outside the code page") << QStringList{QStringLiteral("show"), QStringLiteral("\u03A9")} << 1;
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        Cli cli;
        const TRun run = cli(args);
        QCOMPARE(run.Code, code);
        if (code != 0) QVERIFY(!run.Err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
