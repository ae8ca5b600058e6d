#include <QtTest>

#include <QGuiApplication>

#include "platform/window/CapsLock.h"

namespace {
constexpr char kHelperMode[] = "TRESORO_TEST_CAPSLOCK_HELPER";
}

class TestCapsLock : public QObject {
    Q_OBJECT
private slots:
    void offUnderOffscreen() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        for (int i = 0; i < 3; ++i) QVERIFY(!CapsLockOn());
    }
    void offWithoutGuiApplication() {
        // A copy of this test that has only a core application.
        QProcess helper;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kHelperMode), QStringLiteral("1"));
        helper.setProcessEnvironment(env);
        helper.setProcessChannelMode(QProcess::ForwardedChannels);
        helper.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(helper.waitForFinished(30000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), 0);
    }
};

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsSet(kHelperMode)) {
        if (CapsLockOn()) return 1;  // before any application object
        QCoreApplication app(argc, argv);
        return CapsLockOn() ? 2 : 0;
    }
    QGuiApplication app(argc, argv);
    TestCapsLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_caps_lock.moc"
