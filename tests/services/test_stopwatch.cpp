#include <QtTest>

#include "platform/core/Cp1252.h"
#include "services/core/Stopwatch.h"

class TestStopwatch : public QObject {
    Q_OBJECT
private slots:
    void formatsWithTheFittingUnit_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<bool>("autoUnit");
        QTest::addColumn<QString>("text");
        QTest::newRow("milliseconds") << 45.1e-3 << true << QStringLiteral("45,100000000 ms");
        QTest::newRow("seconds") << 1.5 << true << QStringLiteral("1,500000000 s.");
        QTest::newRow("over 100 seconds") << 1234.5 << true << QStringLiteral("1.234,500000000 s.");
        QTest::newRow("microseconds") << 2e-6 << true << QStringLiteral("2,000000000 \u00B5s");
        QTest::newRow("nanoseconds") << 50e-9 << true << QStringLiteral("50,000000000 ns");
        QTest::newRow("between 99.9 and 100 goes down a unit") << 99.95e-3 << true
                                                               << QStringLiteral("99.950,000000000 \u00B5s");
        QTest::newRow("exactly 0.1 s") << 0.1 << true << QStringLiteral("100.000,000000000 \u00B5s");
        QTest::newRow("nothing fits") << 0.0 << true << QStringLiteral("0,000000000 ns");
        QTest::newRow("fixed seconds") << 45.1e-3 << false << QStringLiteral("0,045100000 s.");
    }
    void formatsWithTheFittingUnit() {
        QFETCH(double, seconds);
        QFETCH(bool, autoUnit);
        QFETCH(QString, text);
        QCOMPARE(TQTimer::FormatSeconds(seconds, autoUnit), text);
    }

    void measuresIntervals() {
        qint64 ticks = 1000;
        TQTimer timer([&ticks] { return ticks; }, 1'000'000'000);
        timer.StartMark();
        ticks += 45'100'000;
        timer.StopMark();
        QCOMPARE(timer.ElapsedText(0), QStringLiteral("45,100000000 ms"));
        QCOMPARE(cp1252::Encode(TQTimer::FormatSeconds(3e-6, true)), QByteArray("3,000000000 \xB5s"));

        // StopMark ends the latest open interval; an open one runs until now.
        timer.ClearMarks();
        QCOMPARE(timer.Count(), 0);
        QCOMPARE(timer.ElapsedText(0), QString());
        ticks = 0;
        timer.StartMark();
        ticks = 10;
        timer.StartMark();
        ticks = 20;
        timer.StopMark();
        ticks = 30;
        timer.StartMark();
        ticks = 40;
        timer.StopMark();
        timer.StopMark();
        ticks = 100;
        timer.StartMark();
        ticks = 150;
        QCOMPARE(timer.Elapsed(0), 40e-9);
        QCOMPARE(timer.Elapsed(1), 10e-9);
        QCOMPARE(timer.Elapsed(2), 10e-9);
        QCOMPARE(timer.Elapsed(3), 50e-9);
        QVERIFY(!timer.Elapsed(4));
    }

    void runsOnThePerformanceCounter() {
        TQTimer timer;
        timer.StartMark();
        QTest::qSleep(20);
        timer.StopMark();
        QVERIFY(*timer.Elapsed(0) >= 0.019);
        QVERIFY(timer.ElapsedText(0).endsWith(QStringLiteral(" ms")));
    }
};

QTEST_GUILESS_MAIN(TestStopwatch)
#include "test_stopwatch.moc"
