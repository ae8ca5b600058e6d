#include <QtTest>

#include <QTemporaryDir>

#include "platform/core/VersionMark.h"
#include "services/core/update/ControlFile.h"
#include "services/core/update/UpdateRules.h"

using namespace update;

namespace {
QByteArray LocalBytes() { return QByteArray("\x01\x02\x03\x7F" "TRESORO-FILEVERSION:1.2.3.4") + QByteArray(1, '\0'); }
}  // namespace

class TestUpdateRules : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString local_;

private slots:
    void initTestCase() {
        local_ = dir_.filePath(QStringLiteral("local.bin"));
        QFile f(local_);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(LocalBytes());
        QVERIFY(f.flush());
        QVERIFY(f.setFileTime(QDateTime(QDate(2024, 5, 10), QTime(12, 0)), QFileDevice::FileModificationTime));
        f.close();
    }

    void readsSectionsAndKeys() {
        const TControlFile c = TControlFile::Parse("; comment\r\n[Update]\r\nDate = 10/05/2024\r\ndate=later\r\n"
                                                   "junk line\r\n[files]\ncount=2\n[empty]\n=x\n");
        QCOMPARE(c.Value(QStringLiteral("update"), QStringLiteral("DATE")), QStringLiteral("10/05/2024"));
        QCOMPARE(c.Integer(QStringLiteral("files"), QStringLiteral("count"), 0), 2);
        QCOMPARE(c.Integer(QStringLiteral("files"), QStringLiteral("missing"), -1), -1);
        QVERIFY(c.HasSection(QStringLiteral("empty")));
        QVERIFY(!c.Has(QStringLiteral("empty"), QString()));
    }

    void decides_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("unconditional");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QString>("version");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("checksum");
        QTest::addColumn<int>("rule");
        QTest::addColumn<bool>("due");
        const int D = int(TRule::Date), C = int(TRule::Checksum), S = int(TRule::Size), V = int(TRule::Version);
        const qint64 sum = qint64(Checksum(LocalBytes()));
        QTest::newRow("date newer") << "10/05/2024" << "12:01" << false << false << "" << 0ll << -1ll << D << true;
        QTest::newRow("date equal") << "10/05/2024" << "12:00" << false << false << "" << 0ll << -1ll << D << false;
        QTest::newRow("date older") << "09/05/2024" << "23:59" << false << false << "" << 0ll << -1ll << D << false;
        QTest::newRow("date unreadable") << "2024-05-11" << "" << false << false << "" << 0ll << -1ll << D << false;
        QTest::newRow("date, file missing") << "02/01/1980" << "" << false << true << "" << 0ll << -1ll << D << true;
        QTest::newRow("unconditional") << "09/05/2024" << "" << true << false << "" << 0ll << -1ll
                                       << int(TRule::Unconditional) << true;
        QTest::newRow("checksum equal") << "" << "" << false << false << "" << 32ll << sum << C << false;
        QTest::newRow("checksum differs") << "" << "" << false << false << "" << 0ll << sum + 1 << C << true;
        QTest::newRow("size equal") << "" << "" << false << false << "" << 32ll << -1ll << S << false;
        QTest::newRow("size differs") << "" << "" << false << false << "1.2.3.4" << 33ll << -1ll << S << true;
        QTest::newRow("size, file missing") << "" << "" << false << true << "" << 33ll << -1ll << S << false;
        QTest::newRow("version higher") << "" << "" << false << false << "1.2.4.0" << 0ll << -1ll << V << true;
        QTest::newRow("version equal") << "" << "" << false << false << "1.2.3.4" << 0ll << -1ll << V << false;
        QTest::newRow("version lower") << "" << "" << false << false << "1.2.3.3" << 0ll << -1ll << V << false;
        QTest::newRow("version 16-bit parts") << "" << "" << false << false << "1.2.3.65535" << 0ll << -1ll << V << true;
        QTest::newRow("version, file missing") << "" << "" << false << true << "9.0.0.0" << 0ll << -1ll << V << false;
        QTest::newRow("nothing to compare") << "" << "" << false << false << "" << 0ll << -1ll << int(TRule::None) << false;
    }
    void decides() {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(bool, unconditional);
        QFETCH(bool, missing);
        QFETCH(QString, version);
        QFETCH(qint64, size);
        QFETCH(qint64, checksum);
        QFETCH(int, rule);
        QFETCH(bool, due);
        TRuleValues v;
        v.Date = date;
        v.Time = time;
        v.Unconditional = unconditional;
        v.LocalFile = missing ? dir_.filePath(QStringLiteral("absent")) : local_;
        v.NewVersion = version;
        v.NewSize = size;
        v.NewChecksum = checksum;
        const TRuleOutcome o = Evaluate(v);
        QCOMPARE(int(o.Rule), rule);
        QCOMPARE(o.Due, due);
    }

    void readsTheVersionMark() {
        QCOMPARE(ReadFileVersion(local_)->Text(), QStringLiteral("1.2.3.4"));
        QVERIFY(!ReadFileVersion(dir_.filePath(QStringLiteral("absent"))));
        QFile plain(dir_.filePath(QStringLiteral("plain.txt")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("\x7FTRESORO-FILEVERSION:1.2");  // cut short
        plain.close();
        QCOMPARE(ReadFileVersion(plain.fileName()), std::nullopt);
    }

    void expandsFolders_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("error");
        QTest::newRow("app") << "{APP}sub\\x.txt" << "/prog/sub/x.txt" << "";
        QTest::newRow("lower case tmp") << "{tmp}x" << "/tmp/t/x" << "";
        QTest::newRow("relative") << "x.txt" << "/prog/x.txt" << "";
        QTest::newRow("other name stays") << "{FOO}/x" << "/prog/{FOO}/x" << "";
        QTest::newRow("windows folder") << "{WIN}x" << "" << "folder {WIN} has no meaning on this system";
        QTest::newRow("programs folder") << "{pf}x" << "" << "folder {pf} has no meaning on this system";
    }
    void expandsFolders() {
        QFETCH(QString, text);
        QFETCH(QString, path);
        QFETCH(QString, error);
        const TExpanded e = ExpandFolders(text, QStringLiteral("/prog/"), QStringLiteral("/tmp/t/"));
        QCOMPARE(e.Error, error);
        if (error.isEmpty()) QCOMPARE(e.Path, path);
    }

    void keepsTargetsInsideTheFolder() {
        QDir d(dir_.path());
        QVERIFY(d.mkpath(QStringLiteral("prog/sub")));
        const QString prog = dir_.filePath(QStringLiteral("prog"));
        QVERIFY(QFile::link(dir_.path(), prog + QStringLiteral("/out")));
        QVERIFY(LiesInside(prog + QStringLiteral("/sub/new/x"), prog));
        QVERIFY(!LiesInside(prog + QStringLiteral("/out/x"), prog));
        QVERIFY(!LiesInside(dir_.filePath(QStringLiteral("x")), prog));
        QVERIFY(!LiesInside(QStringLiteral("/etc/passwd"), prog));
        QVERIFY(!LiesInside(prog, prog));
    }
};

QTEST_GUILESS_MAIN(TestUpdateRules)
#include "test_update_rules.moc"
