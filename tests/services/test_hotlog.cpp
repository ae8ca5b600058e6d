#include <QtTest>

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <memory>
#include <stdexcept>
#include <unistd.h>

#include "platform/core/Cp1252.h"
#include "services/core/HotLog.h"
#include "services/core/HotLogWriter.h"
#include "services/core/Stopwatch.h"
#include "services/window/HotLogMemo.h"
#include "support/ProgramFolder.h"

namespace {

QByteArray ReadFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray Line(const QByteArray &text) { return text + "\r\n"; }
QByteArray Repeat(char c, int n) { return QByteArray(n, c); }

// The date-time stamps of header and footer, checked to lie within the run.
QList<QByteArray> Stamps(const QByteArray &file, const QDateTime &from, const QDateTime &to) {
    static const QRegularExpression stamp(QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"));
    QList<QByteArray> found;
    for (const auto &m : stamp.globalMatch(QString::fromLatin1(file))) {
        const QDateTime at = QDateTime::fromString(m.captured(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (at < from || at > to) qWarning() << "stamp outside the run:" << m.captured();
        found << m.captured().toLatin1();
    }
    return found;
}

QStringList FileLines(const QString &path) {
    QStringList lines = cp1252::Decode(ReadFile(path)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// Permission checks apply while it lives, even when the tests run as root.
class Unprivileged {
public:
    Unprivileged() : active_(geteuid() == 0 && seteuid(65534) == 0) {}
    ~Unprivileged() {
        if (active_ && seteuid(0) != 0) qFatal("cannot return to the original user");
    }

private:
    bool active_;
};

void StartLikeTheProgram(THotLog &log) {
    log.FileDef().SetAppendMode(true);
    log.FileDef().SizeLimitOn = true;
    log.FileDef().MaxSize = 1'048'576;
    log.StartWriters();
}

}  // namespace

class TestHotLog : public QObject {
    Q_OBJECT
private slots:
    void writesHeaderAndFooter_data() {
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<bool>("versionData");
        QTest::addColumn<QByteArray>("paramsText");
        QTest::addColumn<QByteArray>("versionText");
        QTest::newRow("release, no parameters") << QStringList{} << true << QByteArray("(No params)")
                                               << QByteArray("1.1.1.5");
        QTest::newRow("parameters a and b") << QStringList{"a", "b"} << true << QByteArray("a, b")
                                           << QByteArray("1.1.1.5");
        QTest::newRow("no version data") << QStringList{} << false << QByteArray("(No params)")
                                        << QByteArray("0.0.0.0");
    }
    void writesHeaderAndFooter() {
        QFETCH(QStringList, params);
        QFETCH(bool, versionData);
        QFETCH(QByteArray, paramsText);
        QFETCH(QByteArray, versionText);
        TestProgramFolder folder(TestProgramFolder::Database::None);
        const QDateTime from = QDateTime::currentDateTime().addSecs(-1);
        {
            THotLog log(folder.ProgramFile(), params, versionData ? VersionInfo::Program() : VersionInfo::None());
            StartLikeTheProgram(log);
            log.WriteTemplate(log.HeaderTemplate);
            log.WriteTemplate(log.FooterTemplate);
        }
        const QByteArray file = ReadFile(folder.File(QStringLiteral("tresoro.log")));
        const auto stamps = Stamps(file, from, QDateTime::currentDateTime().addSecs(1));
        QCOMPARE(stamps.size(), 2);

        const QByteArray start = ">>>> Start tresoro  v " + versionText;
        const QByteArray stop = "<<<< Stop  tresoro";
        const QByteArray expected =
            Line("") + Line(Repeat('*', 80)) + Line(start + Repeat(' ', 80 - start.size() - 19) + stamps[0]) +
            Line(Repeat(' ', 11) + "From : " + folder.Path().toUtf8()) + Line(Repeat(' ', 11) + "Prms : " + paramsText) +
            Line("") +  // header ends
            Line("") + Line(stop + Repeat(' ', 80 - stop.size() - 19) + stamps[1]) + Line(Repeat('*', 80)) + Line("");
        QCOMPARE(file, expected);
    }

    void alignsLongProgramNames_data() {
        QTest::addColumn<int>("nameLength");
        QTest::addColumn<int>("spaces");
        // ">>>> Start " + name + "  v 1.1.1.5" is 22 characters plus the name.
        QTest::newRow("ends in column 80") << 37 << 2;
        QTest::newRow("one space left") << 38 << 1;
        QTest::newRow("61 characters before the stamp") << 39 << 1;
        QTest::newRow("far too long") << 60 << 1;
    }
    void alignsLongProgramNames() {
        QFETCH(int, nameLength);
        QFETCH(int, spaces);
        TestProgramFolder folder(TestProgramFolder::Database::None);
        const QString name = QString(nameLength - 4, QLatin1Char('t')) + QStringLiteral(".exe");
        {
            THotLog log(folder.File(name), {});
            log.StartWriters();
            log.WriteTemplate(log.HeaderTemplate);
        }
        const QStringList lines = FileLines(folder.File(QString(nameLength - 4, QLatin1Char('t')) + ".log"));
        QCOMPARE(lines.size(), 6);
        const QString startLine = lines[2];
        QCOMPARE(startLine.size(), 22 + nameLength + spaces + 19);
        QCOMPARE(startLine.mid(22 + nameLength, spaces), QString(spaces, QLatin1Char(' ')));
        QVERIFY(startLine.at(22 + nameLength + spaces).isDigit());
        QCOMPARE(lines[3], QString(11, QLatin1Char(' ')) + QStringLiteral("From : ") + folder.Path());
    }

    void writesErrorBlocks_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("asException");
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("message, code 0") << QStringLiteral("Datei fehlt") << 0 << true << QByteArray("\"Datei fehlt\" ");
        QTest::newRow("message and code") << QStringLiteral("lock conflict") << 335544345 << false
                                         << QByteArray("(335544345) \"lock conflict\" ");
        QTest::newRow("code only") << QString() << -104 << false << QByteArray("(-104) ");
        QTest::newRow("neither") << QString() << 0 << false << QByteArray();
        QTest::newRow("braces are not tags") << QStringLiteral("Übertrag {x} {dte}") << 0 << true
                                            << QByteArray("\"\xDC" "bertrag {x} {dte}\" ");
    }
    void writesErrorBlocks() {
        QFETCH(QString, message);
        QFETCH(int, code);
        QFETCH(bool, asException);
        QFETCH(QByteArray, tail);
        TestProgramFolder folder(TestProgramFolder::Database::None);
        {
            THotLog log(folder.ProgramFile(), {});
            log.StartWriters();
            if (asException)
                log.WriteError(std::runtime_error(message.toStdString()), code);
            else
                log.WriteError(message, code);
        }
        const QByteArray bullets = Repeat('\x95', 23);
        QCOMPARE(ReadFile(folder.File(QStringLiteral("tresoro.log"))),
                 Line("") + Line(bullets) + Line("\x95\x95\x95    E R R O R    \x95\x95\x95 " + tail) + Line(bullets) +
                     Line(""));
    }

    void writesLinesAsHandedIn() {
        TestProgramFolder folder(TestProgramFolder::Database::None);
        const QString file = folder.File(QStringLiteral("tresoro.log"));
        WriteFile(file, "letzter Lauf\r\n");
        {
            THotLog log(folder.ProgramFile(), {});
            log.WriteLine(QStringLiteral("vor dem Start"));  // the log does not run yet
            log.StartWriters();
            log.StartWriters();
            log.WriteLine(QStringLiteral("Wert {x} gesetzt"));
            log.WriteLine(QStringLiteral("Projekt {Alpha}"));
            log.WriteLine(QStringLiteral("Stand {dte}"));
            log.WriteLine(QStringLiteral("Größe 5 € – ok"));
            log.WriteLine(QStringLiteral("time to connect : ") + TQTimer::FormatSeconds(45.1e-6, true));
            log.WriteLine(QStringLiteral("erste\nzweite\rdritte"));
            log.WriteLine(QStringLiteral("Rubel \u20BD"));
            log.WriteLine(QString());
            LogLine(log, QStringLiteral("Backup beendet"));
        }
        const QByteArray bytes = ReadFile(file);
        const QByteArray today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
        const QByteArray expected = Line("letzter Lauf") + Line("Wert x gesetzt") + Line("Projekt #HLTag(Alpha)") +
                                    Line("Stand " + today) + Line("Gr\xF6\xDF" "e 5 \x80 \x96 ok") +
                                    Line("time to connect : 45,100000000 \xB5s") + Line("erste\r\nzweite\r\ndritte") +
                                    Line("Rubel ?") + Line("");
        QVERIFY2(bytes.startsWith(expected), bytes.constData());
        const QByteArray last = bytes.mid(expected.size());
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d: Backup beendet\r\n$"))
                     .match(QString::fromLatin1(last))
                     .hasMatch(),
                 last.constData());
    }

    void runsOnWithoutLogFile_data() {
        QTest::addColumn<QString>("why");
        QTest::newRow("read-only file") << QStringLiteral("read-only");
        QTest::newRow("missing folder") << QStringLiteral("missing");
        QTest::newRow("a folder in the way") << QStringLiteral("folder");
    }
    void runsOnWithoutLogFile() {
        QFETCH(QString, why);
        TestProgramFolder folder(TestProgramFolder::Database::None);
        QString program = folder.ProgramFile();
        const QString file = folder.File(QStringLiteral("tresoro.log"));
        if (why == u"read-only") {
            WriteFile(file, "alt\r\n");
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            // reachable for the unprivileged user that root becomes for the start
            QVERIFY(QFile::setPermissions(folder.Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                             QFile::ReadOther | QFile::ExeOther));
        } else if (why == u"missing") {
            program = folder.File(QStringLiteral("fehlt/tresoro"));
        } else {
            QVERIFY(QDir(folder.Path()).mkdir(QStringLiteral("tresoro.log")));
        }

        QPlainTextEdit memo;
        {
            THotLog log(program, {});
            if (why == u"read-only") {
                Unprivileged asUser;
                StartLikeTheProgram(log);
            } else {
                StartLikeTheProgram(log);
            }
            QVERIFY(!log.WriterRunning());
            log.WriteTemplate(log.HeaderTemplate);
            AttachLogMemo(log, &memo);
            log.WriteLine(QStringLiteral("Zeile"));
            log.WriteError(QStringLiteral("Fehler"), 1);
            log.SizeCheckTimerTimer();
            QTest::qWait(100);
            log.WriteTemplate(log.FooterTemplate);
        }
        QTest::qWait(50);
        QCOMPARE(memo.toPlainText(), QString());
        if (why == u"read-only") QCOMPARE(ReadFile(file), QByteArray("alt\r\n"));
    }

    void writeErrorEndsTheWriter() {
        if (!QFileInfo::exists(QStringLiteral("/dev/full"))) QSKIP("no /dev/full on this system");
        TestProgramFolder folder(TestProgramFolder::Database::None);
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), folder.File(QStringLiteral("tresoro.log"))));
        THotLog log(folder.ProgramFile(), {});
        StartLikeTheProgram(log);
        QVERIFY(log.WriterRunning());
        log.WriteTemplate(log.HeaderTemplate);
        QTRY_VERIFY(!log.WriterRunning());
        for (int i = 0; i < 100; ++i) log.WriteLine(QStringLiteral("verloren"));
        log.WriteTemplate(log.FooterTemplate);
    }

    void keepsTheOrderInFileAndLogTab() {
        TestProgramFolder folder(TestProgramFolder::Database::None);
        const QString file = folder.File(QStringLiteral("tresoro.log"));
        QPlainTextEdit memo;
        qsizetype splitBatches = 0;
        // At every change of the text area a template batch is there whole or not at all.
        connect(memo.document(), &QTextDocument::contentsChanged, this, [&] {
            const QString text = memo.toPlainText();
            if (text.count(QStringLiteral("Vorlage 1")) != text.count(QStringLiteral("Vorlage 3"))) ++splitBatches;
        });
        THotLog log(folder.ProgramFile(), {});
        StartLikeTheProgram(log);
        log.WriteTemplate(log.HeaderTemplate);
        // The header is in the file before the tab is attached, and still shown.
        QTRY_COMPARE(FileLines(file).size(), 6);
        AttachLogMemo(log, &memo);

        const QStringList batch{QStringLiteral("Vorlage 1"), QStringLiteral("Vorlage 2 {/}"), QStringLiteral("Vorlage 3")};
        for (int i = 0; i < 3000; ++i) {
            log.WriteLine(QStringLiteral("Zeile %1").arg(i));
            if (i % 100 == 50) log.WriteTemplate(batch);
            if (i % 1000 == 999) QCoreApplication::processEvents();
        }
        const int total = 6 + 3000 + 30 * 4;
        QTRY_COMPARE(memo.document()->blockCount(), total);
        const QStringList lines = FileLines(file);
        QCOMPARE(lines.size(), total);
        QCOMPARE(memo.toPlainText().split(QLatin1Char('\n')), lines);
        QCOMPARE(lines[6], QStringLiteral("Zeile 0"));
        QCOMPARE(lines[6 + 51], QStringLiteral("Vorlage 1"));
        QCOMPARE(lines.last(), QStringLiteral("Zeile 2999"));
        QCOMPARE(splitBatches, 0);
    }

    void scrollsOnlyOnceAsked() {
        TestProgramFolder folder(TestProgramFolder::Database::None);
        QPlainTextEdit memo;
        memo.resize(300, 120);
        THotLog log(folder.ProgramFile(), {});
        log.StartWriters();
        AttachLogMemo(log, &memo);
        for (int i = 0; i < 200; ++i) log.WriteLine(QStringLiteral("vorher %1").arg(i));
        QTRY_COMPARE(memo.document()->blockCount(), 200);
        QScrollBar *bar = memo.verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), 0);

        memo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        bar->setValue(0);
        log.SetAutoScroll(true);
        log.WriteLine(QStringLiteral("nachher"));
        QTRY_COMPARE(memo.document()->blockCount(), 201);
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        // Scrolled up by the user, the view stays where it is; at the end it follows again.
        bar->setValue(10);
        log.WriteLine(QStringLiteral("noch eine"));
        QTRY_COMPARE(memo.document()->blockCount(), 202);
        QCOMPARE(bar->value(), 10);
        bar->setValue(bar->maximum());
        log.WriteLine(QStringLiteral("und noch eine"));
        QTRY_COMPARE(memo.document()->blockCount(), 203);
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(memo.horizontalScrollBar()->value(), 0);
    }

    void destructionWritesEverythingQueued() {
        TestProgramFolder folder(TestProgramFolder::Database::None);
        auto window = std::make_unique<QPlainTextEdit>();
        const int count = 20000;
        {
            THotLog log(folder.ProgramFile(), {});
            StartLikeTheProgram(log);
            log.WriteTemplate(log.HeaderTemplate);
            AttachLogMemo(log, window.get());
            for (int i = 0; i < count; ++i) log.WriteLine(QStringLiteral("Zeile %1").arg(i));
            QCoreApplication::processEvents();
            window.reset();  // the main window goes first, its updates still on the way
            log.WriteTemplate(log.FooterTemplate);
        }  // no events are processed while the log ends
        const QStringList lines = FileLines(folder.File(QStringLiteral("tresoro.log")));
        QCOMPARE(lines.size(), 6 + count + 4);
        QCOMPARE(lines[6 + count - 1], QStringLiteral("Zeile %1").arg(count - 1));
        QVERIFY(lines[6 + count + 1].startsWith(QStringLiteral("<<<< Stop  tresoro ")));
        QCOMPARE(lines[6 + count + 2], QString(80, QLatin1Char('*')));
        QCOMPARE(lines.last(), QString());
    }

    void destructionDoesNotWaitForTheLogTab() {
        TestProgramFolder folder(TestProgramFolder::Database::None);
        QPlainTextEdit memo;
        {
            THotLog log(folder.ProgramFile(), {});
            log.StartWriters();
            AttachLogMemo(log, &memo);
            for (int i = 0; i < 1000; ++i) log.WriteLine(QStringLiteral("Zeile %1").arg(i));
            QTest::qSleep(50);  // an update now waits for the user-interface thread
        }
        QCoreApplication::processEvents();
        QCOMPARE(FileLines(folder.File(QStringLiteral("tresoro.log"))).size(), 1000);
        QVERIFY(memo.document()->blockCount() < 1000);
        const int shown = memo.document()->blockCount();
        QTest::qWait(50);
        QCOMPARE(memo.document()->blockCount(), shown);
    }

    void rollsOverAtTheSizeLimit_data() {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("rolls");
        QTest::newRow("1,048,576 bytes") << qint64(1'048'576) << true;
        QTest::newRow("1,048,575 bytes") << qint64(1'048'575) << false;
    }
    void rollsOverAtTheSizeLimit() {
        QFETCH(qint64, size);
        QFETCH(bool, rolls);
        TestProgramFolder folder(TestProgramFolder::Database::None);
        const QString file = folder.File(QStringLiteral("tresoro.log"));
        const QString next = folder.File(QStringLiteral("tresoro.001"));
        WriteFile(file, QByteArray(size - 2, 'x') + "\r\n");
        THotLog log(folder.ProgramFile(), {});
        StartLikeTheProgram(log);
        if (rolls) {
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(next), 3000);  // the one-second check
        } else {
            QTest::qWait(1300);
            QVERIFY(!QFileInfo::exists(next));
        }
        log.WriteLine(QStringLiteral("danach"));
        QTRY_VERIFY(FileLines(rolls ? next : file).contains(QStringLiteral("danach")));
        QCOMPARE(QFileInfo(file).size(), rolls ? size : size + 8);
        QCOMPARE(log.FileName(), rolls ? next : file);

        if (rolls) {  // the generation name holds for the rest of the run
            WriteFile(next, QByteArray(size, 'y'));
            log.SizeCheckTimerTimer();
            log.WriteLine(QStringLiteral("weiter"));
            QTRY_VERIFY(FileLines(folder.File(QStringLiteral("tresoro.002"))).contains(QStringLiteral("weiter")));
        }
    }

    void choosesTheNextGeneration_data() {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<int>("keep");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("first") << QStringList{"tresoro.log", "tresoro.01", "andere.005", "tresoro.abc"} << 0
                               << ".001" << QStringList{"andere.005", "tresoro.01", "tresoro.abc", "tresoro.log"};
        QTest::newRow("after the highest") << QStringList{"tresoro.001", "tresoro.003"} << 0 << ".004"
                                           << QStringList{"tresoro.001", "tresoro.003"};
        QTest::newRow("numbers used up") << QStringList{"tresoro.002", "tresoro.999"} << 0 << ".001"
                                         << QStringList{"tresoro.002", "tresoro.999"};
        QTest::newRow("keeping two") << QStringList{"tresoro.002", "tresoro.005", "tresoro.007"} << 2 << ".002"
                                     << QStringList{"tresoro.001"};
    }
    void choosesTheNextGeneration() {
        QFETCH(QStringList, present);
        QFETCH(int, keep);
        QFETCH(QString, next);
        QFETCH(QStringList, after);
        TestProgramFolder folder(TestProgramFolder::Database::None);
        for (const QString &name : present) WriteFile(folder.File(name), name.toLatin1());
        THLFileDef def;
        def.Folder = folder.Path();
        def.BaseName = QStringLiteral("tresoro");
        def.Extension = QStringLiteral(".log");
        def.SetMaxGenerations(unsigned(keep));
        QCOMPARE(THotLogWriter::NextGeneration(def), next);
        QCOMPARE(QDir(folder.Path()).entryList(QDir::Files, QDir::Name), after);
        if (keep == 2) QCOMPARE(ReadFile(folder.File("tresoro.001")), QByteArray("tresoro.007"));
    }

    void fileRulesHangTogether() {
        THLFileDef def;
        def.SetMaxGenerations(5000);
        QCOMPARE(def.MaxGenerations(), quint16(999));
        QVERIFY(!def.AppendMode());
        def.SetAppendMode(true);
        QCOMPARE(def.MaxGenerations(), quint16(0));
        def.SetMaxGenerations(0);
        QVERIFY(def.AppendMode());
    }

    void startsAFreshFileWithoutAppendMode() {
        TestProgramFolder folder(TestProgramFolder::Database::None);
        const QString file = folder.File(QStringLiteral("tresoro.log"));
        WriteFile(file, "letzter Lauf\r\n");
        {
            THotLog log(folder.ProgramFile(), {});
            log.FileDef().SetMaxGenerations(3);
            log.StartWriters();
            log.WriteLine(QStringLiteral("neu"));
        }
        QCOMPARE(ReadFile(file), QByteArray("neu\r\n"));
        QCOMPARE(ReadFile(folder.File(QStringLiteral("tresoro.001"))), QByteArray("letzter Lauf\r\n"));
    }
};

QTEST_MAIN(TestHotLog)
#include "test_hotlog.moc"
