#include <QtTest>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "LoopbackServer.h"
#include "services/core/update/UpdateRules.h"
#include "services/core/update/WebUpdate.h"
#include "support/ScriptedDialogs.h"

namespace {
struct TEvent {
    int Number, Error, Status;
    QString Text;
};

QByteArray ReadAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestWebUpdate : public QObject {
    Q_OBJECT
    std::unique_ptr<TLoopbackServer> server_;
    std::unique_ptr<QTemporaryDir> prog_, tmp_;
    std::unique_ptr<TWebUpdate> engine_;
    TScriptedDialogs *dialogs_ = nullptr;
    QList<TEvent> events_;
    QList<qint64> progress_;

    QString Prog(const QString &name = QString()) const { return prog_->path() + QLatin1Char('/') + name; }
    QList<int> Numbers() const {
        QList<int> n;
        for (const TEvent &e : events_) n << e.Number;
        return n;
    }
    TWebUpdate::TResult Run(const QByteArray &control) {
        server_->Serve(QStringLiteral("/update/tresoro.inf"), control);
        return engine_->DoUpdate();
    }
    QStringList LogLines() const {
        return QString::fromLatin1(ReadAll(Prog(QStringLiteral("WUPDATE.LOG")))).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

private slots:
    void init() {
        server_ = std::make_unique<TLoopbackServer>();
        prog_ = std::make_unique<QTemporaryDir>();
        tmp_ = std::make_unique<QTemporaryDir>();
        dialogs_ = &TScriptedDialogs::Install();
        engine_ = std::make_unique<TWebUpdate>();
        engine_->URL = server_->Url(QStringLiteral("/update/tresoro.inf"));
        engine_->ProgramFolder = Prog();
        engine_->TempFolder = tmp_->path() + QLatin1Char('/');
        engine_->Limits.AnswerTimeoutMs = 800;
        events_.clear();
        progress_.clear();
        connect(engine_.get(), &TWebUpdate::OnStatus, this,
                [this](int n, const QString &t, int e, int s) { events_ << TEvent{n, e, s, t}; });
        connect(engine_.get(), &TWebUpdate::OnFileProgress, this, [this](qint64, qint64 r) { progress_ << r; });
    }
    void cleanup() { engine_.reset(); }

    void noNewVersionIsLoggedByteForByte() {
        QFile local(Prog(QStringLiteral("tresoro")));
        QVERIFY(local.open(QIODevice::WriteOnly));
        local.close();
        QCOMPARE(Run("[update]\r\ndate=01/01/2000\r\nlocalversion={APP}tresoro\r\n"), TWebUpdate::TResult::NoUpdate);
        QCOMPARE(Numbers(), (QList<int>{963, 918, 921, 915, 926, 928, 930, 949}));
        QCOMPARE(events_[6].Status, 4);
        const QStringList lines = LogLines();
        QCOMPARE(lines.size(), 8);
        const QRegularExpression stamp(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d : "));
        QVERIFY(stamp.match(lines[3]).hasMatch());
        QCOMPARE(lines[0].mid(19), QStringLiteral(" : [963]  (Status:0) (Error:0)"));
        QCOMPARE(lines[3].mid(19), QStringLiteral(" : [915] Download : ") + engine_->URL + QStringLiteral(" (Status:3) (Error:0)"));
        QCOMPARE(lines[6].mid(19), QStringLiteral(" : [930] No new version found (Status:4) (Error:0)"));
        QVERIFY(server_->Requests[0].contains("User-Agent: TWebUpdate"));
    }

    void controlFileFailures_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<int>("error");
        QTest::newRow("404") << 0 << QList<int>{963, 918, 921, 915, 916, 925, 949} << 404;
        QTest::newRow("500") << 1 << QList<int>{963, 918, 921, 915, 916, 925, 949} << 500;
        QTest::newRow("no answer") << 2 << QList<int>{963, 918, 921, 915, 917, 925, 949} << 0;
        QTest::newRow("redirect loop") << 3 << QList<int>{963, 918, 921, 915, 916, 925, 949} << 302;
        QTest::newRow("beyond 64 KiB") << 4 << QList<int>{963, 918, 921, 915, 925, 949} << 0;
    }
    void controlFileFailures() {
        QFETCH(int, kind);
        QFETCH(QList<int>, numbers);
        QFETCH(int, error);
        const QString path = QStringLiteral("/update/tresoro.inf");
        TRoute r;
        if (kind == 0) r.Status = 404;
        if (kind == 1) r.Status = 500;
        if (kind == 2) r.What = TRoute::Kind::NoAnswer;
        if (kind == 3) {
            r.What = TRoute::Kind::Redirect;
            r.Location = path.toLatin1();
        }
        if (kind == 4) r.Body = QByteArray(64 * 1024 + 1, ';');
        server_->Route(path, r);
        QCOMPARE(engine_->DoUpdate(), TWebUpdate::TResult::NoControlFile);
        QCOMPARE(Numbers(), numbers);
        if (error) {
            QCOMPARE(events_[4].Error, error);
            QCOMPARE(events_[4].Status, 6);
            QCOMPARE(events_[4].Text, QStringLiteral("Http status : %1").arg(error));
        }
    }

    void offlineEndsAfterTheCheck() {
        engine_->URL = QStringLiteral("http://localhost:1/update/tresoro.inf");
        engine_->IsOnline = [] { return false; };
        QCOMPARE(engine_->DoUpdate(), TWebUpdate::TResult::NoConnection);
        QCOMPARE(Numbers(), (QList<int>{963, 918}));
    }

    void downloadsADueFileWithProgress() {
        const QByteArray body(10000, 'z');
        server_->Serve(QStringLiteral("/f/data.bin"), body);
        dialogs_->AnswerMessage(mbYes);
        const QByteArray control = "[update]\nunconditional=1\n[files]\ncount=1\n[file1]\nurl=/f/data.bin\ntargetdir={APP}sub\n"
                                   "newsize=10000\nnewchecksum=" + QByteArray::number(update::Checksum(body)) + "\n";
        QCOMPARE(Run(control), TWebUpdate::TResult::Downloaded);
        QCOMPARE(ReadAll(Prog(QStringLiteral("sub/data.bin"))), body);
        // The control file came first, in one block.
        QCOMPARE(progress_.mid(1), (QList<qint64>{4096, 8192, 10000}));
        QCOMPARE(dialogs_->Messages().size(), 1);
        QCOMPARE(dialogs_->Messages()[0].Text, QStringLiteral("Download update files ?"));
        QCOMPARE(dialogs_->Messages()[0].Buttons, mbYes | mbNo);
        QCOMPARE(Numbers(), (QList<int>{963, 918, 921, 915, 926, 943, 915, 948, 949}));
        QCOMPARE(QDir(Prog()).entryList({QStringLiteral("WUPD*")}, QDir::Files), QStringList{QStringLiteral("WUPDATE.LOG")});
    }

    void declinesStopTheUpdate_data() {
        QTest::addColumn<QByteArray>("control");
        QTest::addColumn<int>("last");
        QTest::newRow("question No") << QByteArray("[update]\nunconditional=1\n[files]\ncount=1\n[file1]\nurl=/f/a\n") << 948;
        QTest::newRow("query No") << QByteArray("[update]\nunconditional=1\n[action]\nquery=Weiter?\n") << 936;
        QTest::newRow("whatsnew Cancel") << QByteArray("[update]\nunconditional=1\n[whatsnew]\nfile=/f/news\n") << 938;
        QTest::newRow("licence declined") << QByteArray("[update]\nunconditional=1\n[eula]\nfile=/f/news\n") << 940;
    }
    void declinesStopTheUpdate() {
        QFETCH(QByteArray, control);
        QFETCH(int, last);
        server_->Serve(QStringLiteral("/f/a"), "new");
        server_->Serve(QStringLiteral("/f/news"), "Neu: alles");
        dialogs_->AnswerMessage(mbNo);
        dialogs_->AnswerMessage(mbCancel);
        const TWebUpdate::TResult r = Run(control);
        QCOMPARE(r, TWebUpdate::TResult::Cancelled);
        QVERIFY(!QFile::exists(Prog(QStringLiteral("a"))));
        QVERIFY(Numbers().contains(last));
        QCOMPARE(Numbers().back(), 949);
    }

    void refusals_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QString>("reason");
        QTest::newRow("outside by ..") << QByteArray("url=/f/a\ntargetdir={APP}..\n") << "lies outside the program folder";
        QTest::newRow("absolute") << QByteArray("url=/f/a\ntargetdir=/etc\n") << "lies outside the program folder";
        QTest::newRow("windows folder") << QByteArray("url=/f/a\ntargetdir={WIN}\n") << "has no meaning";
        QTest::newRow("size mismatch") << QByteArray("url=/f/a\nnewsize=4\n") << "3 bytes received, 4 expected";
        QTest::newRow("checksum mismatch") << QByteArray("url=/f/a\nnewchecksum=5\n") << "checksum";
        QTest::newRow("404") << QByteArray("url=/f/none\n") << "HTTP status 404";
        QTest::newRow("short body") << QByteArray("url=/f/short\n") << "";
        QTest::newRow("huge length") << QByteArray("url=/f/huge\n") << "exceeds the limit";
        QTest::newRow("runafter outside") << QByteArray("url=/f/a\n[action]\nrunafter=/bin/sh -c true\n") << "runafter refused";
    }
    void refusals() {
        QFETCH(QByteArray, entry);
        QFETCH(QString, reason);
        server_->Serve(QStringLiteral("/f/a"), "new");
        TRoute shortBody;
        shortBody.What = TRoute::Kind::ShortBody;
        shortBody.Body = "12345";
        shortBody.Announce = 1000;
        server_->Route(QStringLiteral("/f/short"), shortBody);
        TRoute huge;
        huge.What = TRoute::Kind::HugeLength;
        huge.Announce = qint64(1) << 40;
        server_->Route(QStringLiteral("/f/huge"), huge);
        dialogs_->AnswerMessage(mbYes);
        QCOMPARE(Run("[update]\nunconditional=1\n[files]\ncount=1\n[file1]\n" + entry), TWebUpdate::TResult::DownloadFailed);
        QVERIFY(Numbers().contains(946));
        const QString log = LogLines().join(QLatin1Char('\n'));
        QVERIFY2(log.contains(reason), qPrintable(log));
        // A file downloaded whole is kept even when the program after it is refused.
        for (const QString &f : QDir(Prog()).entryList(QDir::Files))
            QVERIFY2(f == QLatin1String("WUPDATE.LOG") || (f == QLatin1String("a") && reason.startsWith(QLatin1String("runafter"))),
                     qPrintable(f));
        QVERIFY(!QFile::exists(prog_->path() + QStringLiteral("/../a")));
    }

    void unreplaceableFileIsLogged() {
        server_->Serve(QStringLiteral("/f/a"), "new");
        QVERIFY(QDir(Prog()).mkpath(QStringLiteral("a/inside")));
        dialogs_->AnswerMessage(mbYes);
        QCOMPARE(Run("[update]\nunconditional=1\n[files]\ncount=1\n[file1]\nurl=/f/a\n"), TWebUpdate::TResult::DownloadFailed);
        const QStringList lines = LogLines();
        QVERIFY(lines.contains(QStringLiteral("Unable to delete file ") + Prog(QStringLiteral("a"))));
        QVERIFY(std::any_of(lines.begin(), lines.end(), [&](const QString &l) {
            return l.startsWith(QStringLiteral("Unable to rename file ") + Prog(QStringLiteral("WUPD"))) &&
                   l.endsWith(QStringLiteral(" to ") + Prog(QStringLiteral("a")));
        }));
    }

    // The whole way: a newer stand-in program is downloaded, the real
    // updater waits for the "program" to end, puts it in place and starts it.
    void updatesAndRestartsThroughTheUpdater_data() {
        QTest::addColumn<bool>("broken");
        QTest::newRow("new program starts") << false;
        QTest::newRow("new program does not start: old one back") << true;
    }
    void updatesAndRestartsThroughTheUpdater() {
        QFETCH(bool, broken);
        const QString standin = Prog(QStringLiteral("standin"));
        QVERIFY(QFile::copy(QStringLiteral(STANDIN_V1), standin));
        const QByteArray v1 = ReadAll(standin);
        const QByteArray v2 = broken ? QByteArray("not a program\n") : ReadAll(QStringLiteral(STANDIN_V2));
        server_->Serve(QStringLiteral("/f/standin"), v2);
        QProcess program;  // stands for this program's process
        program.start(QStringLiteral("sleep"), {QStringLiteral("0.5")});
        QVERIFY(program.waitForStarted());
        engine_->ProcessId = program.processId();
        const QByteArray control = "[update]\nlocalversion={APP}standin\nnewversion=2.0.0.0\n"
                                   "[application]\nappupdate=1\nappname=standin\nappparam=-p eins\nappcomps=standin\nsilentrestart=1\n"
                                   "[files]\ncount=1\n[file1]\nurl=/f/standin\nlocalversion=standin\nnewversion=2.0.0.0\n";
        dialogs_->AnswerMessage(mbYes);
        QCOMPARE(Run(control), TWebUpdate::TResult::Terminate);
        QCOMPARE(Numbers().mid(Numbers().size() - 5), (QList<int>{962, 948, 949, 959, 958}));
        QCOMPARE(events_.back().Text, QStringLiteral("Spawn ") + engine_->TempFolder + QStringLiteral("upd.exe ") + QString::number(program.processId()) +
                                          QStringLiteral(" L \"") + standin + QStringLiteral(" -p eins\" standin"));
        QCOMPARE(ReadAll(standin), v1);  // untouched until the program has ended
        program.waitForFinished();
        const QString started = Prog(QStringLiteral("started.txt"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(started), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(standin + QStringLiteral(".old")), 5000);
        QCOMPARE(ReadAll(started), broken ? QByteArray("1.0.0.0 -p eins\n") : QByteArray("2.0.0.0 -p eins\n"));
        QCOMPARE(ReadAll(standin), broken ? v1 : v2);
        const QString log = LogLines().join(QLatin1Char('\n'));
        QVERIFY(log.contains(QStringLiteral("[updater] Replaced ") + standin));
        if (broken) QVERIFY(log.contains(QStringLiteral("[updater] Put back ") + standin));
    }
};

QTEST_GUILESS_MAIN(TestWebUpdate)
#include "test_webupdate.moc"
