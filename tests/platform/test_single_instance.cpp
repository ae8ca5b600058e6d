#include <QtTest>

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include "platform/core/SingleInstance.h"
#include "platform/window/WindowFront.h"

// The test binary doubles as the "other copy": started again with
// kHelperMode set, it plays a second start or a copy that holds the lock.
namespace {

constexpr char kHelperMode[] = "TRESORO_TEST_INSTANCE_HELPER";
constexpr char kHelperFolder[] = "TRESORO_TEST_INSTANCE_FOLDER";
const QString kName = QStringLiteral("Tresoro");

enum HelperExit { kNotified = 0, kGotLock = 10, kNotNotified = 11, kNoLock = 12 };

int RunHelper(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    app.setApplicationName(kName);  // as the program names itself, unlike its file
    TSingleInstance copy(kName, qEnvironmentVariable(kHelperFolder));
    const QByteArray mode = qgetenv(kHelperMode);
    if (mode == "second") {
        if (copy.TryAcquire()) return kGotLock;
        return copy.NotifyRunningCopy(10000) ? kNotified : kNotNotified;
    }
    // "hold": keep the lock until killed.
    if (!copy.TryAcquire()) return kNoLock;
    QFile out;
    out.open(stdout, QIODevice::WriteOnly);
    out.write("held\n");
    out.flush();
    return app.exec();
}

}  // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    static void StartHelper(QProcess &process, const QString &folder, const char *mode) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kHelperMode), QString::fromLatin1(mode));
        env.insert(QString::fromLatin1(kHelperFolder), folder);
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY2(process.waitForStarted(10000), qPrintable(process.errorString()));
    }

    // A second start while the lock is held: it must be refused and its
    // request must reach `holder`.
    static void ExpectHandOver(TSingleInstance &holder, const QString &folder) {
        QSignalSpy activations(&holder, &TSingleInstance::ActivationRequested);
        QProcess second;
        StartHelper(second, folder, "second");
        QVERIFY(activations.wait(15000));
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), int(kNotified));
        QCOMPARE(activations.count(), 1);
    }

private slots:
    void oneHolderPerName() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TSingleInstance first(kName, dir.path());
        TSingleInstance second(kName, dir.path());
        TSingleInstance other(QStringLiteral("Anderes"), dir.path());

        QVERIFY(first.TryAcquire());
        QVERIFY(first.TryAcquire());  // still ours
        QVERIFY(!second.TryAcquire());
        QVERIFY(!second.IsHeld());
        QVERIFY(!second.ErrorText().isEmpty());
        QVERIFY(other.TryAcquire());  // another name is another lock

        first.Release();
        QVERIFY(!QFile::exists(first.LockFilePath()));
        QVERIFY(second.TryAcquire());
    }

    void defaultFolderHoldsTheLock() {
        // The folder the program really uses; a name of our own keeps a
        // running copy of the program out of it.
        const QString name = QStringLiteral("TresoroTest%1").arg(QCoreApplication::applicationPid());
        TSingleInstance first(name);
        TSingleInstance second(name);
        QVERIFY2(first.TryAcquire(), qPrintable(first.ErrorText()));
        QVERIFY(QFile::exists(first.LockFilePath()));
        QVERIFY(QFile::exists(first.ServerName()));
        QVERIFY(!second.TryAcquire());
        first.Release();
        QVERIFY(!QFile::exists(first.ServerName()));
    }

    void lockThatCannotBeCreatedRefuses() {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("datei")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TSingleInstance copy(kName, dir.filePath(QStringLiteral("datei/ordner")));
        QVERIFY(!copy.TryAcquire());
        QVERIFY(!copy.ErrorText().isEmpty());
    }

    void notifyWithoutHolderFails() {
        QTemporaryDir dir;
        TSingleInstance copy(kName, dir.path());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!copy.NotifyRunningCopy(300));
        QVERIFY(clock.elapsed() < 5000);
    }

    void secondProcessIsRefusedAndHandsOver() {
        QTemporaryDir dir;
        TSingleInstance first(kName, dir.path());
        QVERIFY(first.TryAcquire());
        ExpectHandOver(first, dir.path());
        if (QTest::currentTestFailed()) return;
        ExpectHandOver(first, dir.path());  // and again: the server stays up
    }

    void lockOfAKilledCopyDoesNotBlock() {
        QTemporaryDir dir;
        QProcess holder;
        StartHelper(holder, dir.path(), "hold");
        QVERIFY(holder.waitForReadyRead(15000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

        TSingleInstance next(kName, dir.path());
        QVERIFY(!next.TryAcquire());  // a live holder in another process

        holder.kill();  // SIGKILL: no clean-up in the helper
        QVERIFY(holder.waitForFinished(15000));
        QCOMPARE(holder.exitStatus(), QProcess::CrashExit);
        QVERIFY(QFile::exists(next.LockFilePath()));
        QVERIFY(QFile::exists(next.ServerName()));

        QVERIFY2(next.TryAcquire(), qPrintable(next.ErrorText()));
        ExpectHandOver(next, dir.path());  // the dead copy's socket was replaced
    }

    void bringToFrontRestoresAndKeepsMaximised_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("minimised") << int(Qt::WindowMinimized) << int(Qt::WindowNoState);
        QTest::newRow("minimised from maximised") << int(Qt::WindowMinimized | Qt::WindowMaximized)
                                                  << int(Qt::WindowMaximized);
        QTest::newRow("hidden") << int(Qt::WindowNoState) << int(Qt::WindowNoState);
    }
    void bringToFrontRestoresAndKeepsMaximised() {
        QFETCH(int, before);
        QFETCH(int, after);
        QWidget window;
        window.setWindowState(Qt::WindowStates(before));
        BringToFront(&window);
        QVERIFY(window.isVisible());
        QCOMPARE(int(window.windowState() & ~Qt::WindowActive), after);
    }
};

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsSet(kHelperMode)) return RunHelper(argc, argv);
    QApplication app(argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_single_instance.moc"
