// The update check's rules on a real settings row: the automatic rule with
// its ages and log lines, the three statements, and the server's address.

#include <QtTest>

#include "../store/StoreFixture.h"
#include "services/core/updatecheck/UpdateCheck.h"
#include "store/core/Shell.h"

namespace {
struct TLogShell : TShell {
    void StatusMessage(const QString &) override {}
    QString CurrentStatusMessage() const override { return {}; }
    void LogLine(const QString &m) override { log << m; }
    void SetSaveEnabled(bool) override {}
    bool SaveEnabled() const override { return false; }
    void ShowError(const std::exception &) override {}
    void EndProgram() override {}
    QStringList log;
};
}  // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT
private slots:
    void dayCountsAreWholeAndSymmetric() {
        const QDateTime a(QDate(2026, 1, 1), QTime(12, 0));
        QCOMPARE(updatecheck::DayCount(a, a.addDays(31)), 31);
        QCOMPARE(updatecheck::DayCount(a.addDays(31), a), 31);
        QCOMPARE(updatecheck::DayCount(a, a.addSecs(30 * 86400 + 86399)), 30);
    }

    void theProgramFileDate() {
        StoreFixture f;
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(qAbs(updatecheck::ProgramFileDate(f.folder.File(QStringLiteral("tresoro.gdb"))).secsTo(now)) < 600);
        QVERIFY(qAbs(updatecheck::ProgramFileDate(f.folder.File(QStringLiteral("fehlt"))).secsTo(now)) < 5);
    }

    void theAutomaticRule_data() {
        QTest::addColumn<QString>("automatic");  // "NULL", "0", "1"
        QTest::addColumn<int>("programAge");     // days; -1: no program file
        QTest::addColumn<int>("lastCheckAge");   // days; -1: NULL
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QStringList>("log");
        const QString on = QStringLiteral("AUTOMATICUPDATE war bereits auf 1 gesetzt");
        const QString nil = QStringLiteral("AUTOMATICUPDATE auf 1 gesetzt, da NIL vorgefunden");
        const QString off = QStringLiteral("AUTOMATICUPDATE war bereits auf 0 gesetzt");
        QTest::newRow("31/31") << "1" << 31 << 31 << true << QStringList{on};
        QTest::newRow("30 for the program") << "1" << 30 << 31 << false << QStringList{on};
        QTest::newRow("30 for the check") << "1" << 31 << 30 << false << QStringList{on};
        QTest::newRow("never checked") << "1" << 31 << -1 << true << QStringList{on};
        QTest::newRow("no program file") << "1" << -1 << -1 << false << QStringList{on};
        QTest::newRow("NULL becomes 1") << "NULL" << 31 << 31 << true << QStringList{nil};
        QTest::newRow("NULL, young program") << "NULL" << 3 << 31 << false << QStringList{nil};
        QTest::newRow("off") << "0" << 31 << 31 << false << QStringList{off};
    }
    void theAutomaticRule() {
        QFETCH(QString, automatic);
        QFETCH(int, programAge);
        QFETCH(int, lastCheckAge);
        QFETCH(bool, opens);
        QFETCH(QStringList, log);
        StoreFixture f;
        const QString program = f.folder.File(programAge < 0 ? QStringLiteral("fehlt") : QStringLiteral("tresoro.gdb"));
        // The program file's age is made by moving "now", the last check by its date.
        const QDateTime now = programAge < 0 ? QDateTime::currentDateTime()
                                             : updatecheck::ProgramFileDate(program).addDays(programAge).addSecs(60);
        const QString last = lastCheckAge < 0 ? QStringLiteral("NULL")
                                              : QLatin1Char('\'') + now.date().addDays(-lastCheckAge).toString(Qt::ISODate) + QLatin1Char('\'');
        f.Exec(QStringLiteral("update TBLALLGEMEIN set AUTOMATICUPDATE = %1, LASTUPDATETESTDATUM = %2").arg(automatic, last));
        f.dm->OpenDatabase();
        TLogShell shell;
        int opened = 0;
        updatecheck::CheckUpdateDue(*f.dm, shell, program, [&] { ++opened; }, now);
        QCOMPARE(opened, opens ? 1 : 0);
        QCOMPARE(shell.log, log);
        QCOMPARE(f.Committed(QStringLiteral("select AUTOMATICUPDATE from TBLALLGEMEIN")).toString(),
                 automatic == QLatin1String("0") ? QStringLiteral("0") : QStringLiteral("1"));
    }

    void theStatementsAreCommittedAndTheRowReadAgain() {
        StoreFixture f;
        f.dm->OpenDatabase();
        updatecheck::SetAutomaticOff(*f.dm);
        QCOMPARE(f.Committed(QStringLiteral("select AUTOMATICUPDATE from TBLALLGEMEIN")).toInt(), 0);
        QCOMPARE(updatecheck::AutomaticText(*f.dm), QStringLiteral("0"));
        updatecheck::SetAutomaticOn(*f.dm);
        QCOMPARE(updatecheck::AutomaticText(*f.dm), QStringLiteral("1"));
        updatecheck::WriteLastUpdateCheck(*f.dm, QDate(2026, 11, 30));
        QCOMPARE(f.Committed(QStringLiteral("select LASTUPDATETESTDATUM from TBLALLGEMEIN")).toDate(), QDate(2026, 11, 30));
        QCOMPARE(updatecheck::LastCheck(*f.dm), QDate(2026, 11, 30));
        QCOMPARE(f.dm->IBDataSetAllgemein->State(), TDataSetState::dsBrowse);
        QCOMPARE(f.dm->IBQueryZugangsdaten->SelectText(),
                 QStringLiteral("update tblallgemein \nset tblallgemein.LASTUPDATETESTDATUM = '30.11.2026'\n"));
    }

    void theServerAddress() {
        TestProgramFolder folder(TestProgramFolder::Database::None);
        const QString standard = updatecheck::UpdateUrl(folder.Path());
        QVERIFY(standard.endsWith(QStringLiteral("/update/tresoro.inf")));
        QFile ini(folder.File(QStringLiteral("tresoro.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[update]\nurl=http://127.0.0.1:8123/update/tresoro.inf\n");
        ini.close();
        QCOMPARE(updatecheck::UpdateUrl(folder.Path()), QStringLiteral("http://127.0.0.1:8123/update/tresoro.inf"));
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("\x01\x02 kein ini");
        ini.close();
        QCOMPARE(updatecheck::UpdateUrl(folder.Path()), standard);
    }
};

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "test_update_check.moc"
