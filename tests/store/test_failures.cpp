// What the store does when the database refuses: the database's own text
// reaches the caller, nothing is half-written, and the connection goes on.

#include <QProcess>
#include <QtTest>
#include <csignal>
#include <unistd.h>

#include "StoreFixture.h"

namespace {

QString ErrorOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const EDatabaseError &e) {
        return e.Message();
    }
    return QString();
}

// The test binary doubles as the helper process of the multi-process tests.
constexpr const char *kChildFolder = "TRESORO_TEST_CHILD_FOLDER";
constexpr const char *kChildMode = "TRESORO_TEST_CHILD_MODE";

int RunChild() {
    const QString folder = qEnvironmentVariable(kChildFolder);
    const QString mode = qEnvironmentVariable(kChildMode);
    TDataModule1 dm(folder + QStringLiteral("tresoro"));
    dm.OpenDatabase();
    if (mode == QLatin1String("save")) {
        // Saved the way the program saves: post, then commit retaining.
        dm.IBDataSetEmail->Insert();
        dm.IBDataSetEmail->FieldByName(QStringLiteral("EMAILADRESSE")).SetValue(QStringLiteral("überlebt@x"));
        dm.IBDataSetEmail->Post();
        dm.IBTransaction.CommitRetaining();
    }
    fputs("ready\n", stdout);
    fflush(stdout);
    for (;;) pause();  // killed by the test
}

struct Child {
    QProcess process;
    Child(const TestProgramFolder &folder, const char *mode) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(kChildFolder), folder.Path());
        env.insert(QLatin1String(kChildMode), QLatin1String(mode));
        process.setProcessEnvironment(env);
        process.start(QCoreApplication::applicationFilePath(), {});
        if (!process.waitForReadyRead(20000) || !process.readAll().contains("ready"))
            qFatal("helper process did not get ready: %s", process.readAllStandardError().constData());
    }
    void Kill() {
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished(10000);
    }
    ~Child() {
        if (process.state() != QProcess::NotRunning) Kill();
    }
};

}  // namespace

class TestFailures : public QObject {
    Q_OBJECT
private slots:
    void aTooLongTextIsRefusedAndTheRecordStaysForCorrection() {
        StoreFixture f;
        f.dm->OpenDatabase();
        TIBDataSet *mails = f.dm->IBDataSetEmail;
        int afterPost = 0;
        mails->AfterPost = [&] { ++afterPost; };
        mails->Insert();
        mails->FieldByName(QStringLiteral("EMAILADRESSE")).SetValue(QString(41, QLatin1Char('x')));
        const QString error = ErrorOf([&] { mails->Post(); });
        QVERIFY2(error.contains(QStringLiteral("string right truncation")), qPrintable(error));
        QCOMPARE(mails->State(), TDataSetState::dsInsert);
        QCOMPARE(mails->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QString(41, QLatin1Char('x')));
        QCOMPARE(afterPost, 0);
        QCOMPARE(f.Seen(QStringLiteral("select count(*) from TBLEMAIL")).toInt(), 0);
        // Corrected, the same record saves.
        mails->FieldByName(QStringLiteral("EMAILADRESSE")).SetValue(QString(40, QLatin1Char('x')));
        mails->Post();
        QCOMPARE(afterPost, 1);
        QCOMPARE(f.Seen(QStringLiteral("select count(*) from TBLEMAIL")).toInt(), 1);
    }

    void missingTablesAndColumnsGiveTheDatabasesText() {
        StoreFixture f;
        f.dm->OpenDatabase();
        TIBDataSet *mails = f.dm->IBDataSetEmail;
        mails->Close();
        mails->SelectSQL = {QStringLiteral("select * from TBLGIBTESNICHT")};
        QString error = ErrorOf([&] { mails->Open(); });
        QVERIFY2(error.contains(QStringLiteral("Table unknown")) && error.contains(QStringLiteral("TBLGIBTESNICHT")),
                 qPrintable(error));
        QCOMPARE(mails->State(), TDataSetState::dsInactive);

        TIBDataSet *phones = f.dm->IBDataSetTelefon;
        phones->InsertSQL = {QStringLiteral("insert into TBLTELEFON (ID, FAXNUMMER) values (:ID, :NAME)")};
        phones->Insert();
        error = ErrorOf([&] { phones->Post(); });
        QVERIFY2(error.contains(QStringLiteral("Column unknown")) && error.contains(QStringLiteral("FAXNUMMER")),
                 qPrintable(error));
        QCOMPARE(phones->State(), TDataSetState::dsInsert);
        // The connection is still good for everything else.
        f.dm->IBDataSetProjekt->Insert();
        f.dm->IBDataSetProjekt->Post();
        f.dm->IBTransaction.CommitRetaining();
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLPROJEKT")).toInt(), 1);
    }

    void aWriteThatChangesNoRowIsAFailure() {
        StoreFixture f;
        f.Exec(QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'A')"));
        f.Exec(QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (2, 'B')"));
        f.dm->OpenDatabase();
        TIBDataSet *projects = f.dm->IBDataSetProjekt;
        int afterPost = 0;
        projects->AfterPost = [&] { ++afterPost; };
        projects->Edit();
        projects->FieldByName(QStringLiteral("PROJEKTNAME")).SetValue(QStringLiteral("A2"));
        f.Exec(QStringLiteral("delete from TBLPROJEKT where ID = 1"));  // gone behind the dataset's back
        QString error = ErrorOf([&] { projects->Post(); });
        QVERIFY2(error.contains(QStringLiteral("keine Zeile geändert")), qPrintable(error));
        QCOMPARE(projects->State(), TDataSetState::dsEdit);
        QCOMPARE(projects->FieldByName(QStringLiteral("PROJEKTNAME")).AsString(), QStringLiteral("A2"));
        QCOMPARE(afterPost, 0);
        projects->Cancel();
        error = ErrorOf([&] { projects->Delete(); });
        QVERIFY2(error.contains(QStringLiteral("keine Zeile geändert")), qPrintable(error));
        QCOMPARE(projects->RecordCount(), 2);
    }

    void unusableDatabaseFilesAreReported_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");  // part of the database's text
        QTest::newRow("missing") << "missing" << "tresoro.gdb";
        QTest::newRow("not a database") << "garbage" << "not a valid database";
        QTest::newRow("empty file") << "empty" << "tresoro.gdb";
        QTest::newRow("no client library") << "nolib" << "libfbclient-fehlt.so";
    }

    void unusableDatabaseFilesAreReported() {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        TestProgramFolder folder(kind == QLatin1String("nolib") ? TestProgramFolder::Database::Copy
                                                                : TestProgramFolder::Database::None);
        QFile file(folder.File(QStringLiteral("tresoro.gdb")));
        if (kind == QLatin1String("garbage")) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(64 * 1024, 'x'));
            file.close();
        } else if (kind == QLatin1String("empty")) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
        }
        TDataModule1 dm(folder.ProgramFile());
        if (kind == QLatin1String("nolib")) dm.IBDatabase.ClientLibrary = QStringLiteral("libfbclient-fehlt.so");
        QString error;
        try {
            dm.OpenDatabase();
        } catch (const EConnectError &e) {
            error = e.Message();
        }
        QVERIFY2(error.contains(expected, Qt::CaseInsensitive), qPrintable(error));
        QVERIFY(!dm.IBDatabase.Connected());
        for (TIBDataSet *ds : dm.DataSets()) QCOMPARE(ds->State(), TDataSetState::dsInactive);
    }

    void aReadOnlyDatabaseRefusesWritesAndKeepsTheRecord() {
        StoreFixture f;
        const QString gdb = f.folder.File(QStringLiteral("tresoro.gdb"));
        QProcess gfix;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        gfix.setProcessEnvironment(env);
        gfix.start(QStringLiteral("gfix"), {QStringLiteral("-mode"), QStringLiteral("read_only"), QStringLiteral("-user"),
                                           QStringLiteral("sysdba"), gdb});
        QVERIFY(gfix.waitForFinished(30000));
        QCOMPARE(gfix.exitCode(), 0);
        f.dm->OpenDatabase();
        TIBDataSet *mails = f.dm->IBDataSetEmail;
        mails->Insert();
        mails->FieldByName(QStringLiteral("EMAILADRESSE")).SetValue(QStringLiteral("a@x"));
        const QString error = ErrorOf([&] { mails->Post(); });
        QVERIFY2(error.contains(QStringLiteral("read-only")), qPrintable(error));
        QCOMPARE(mails->State(), TDataSetState::dsInsert);
        QCOMPARE(mails->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QStringLiteral("a@x"));
    }

    void aFileWithoutWriteAccessIsReported() {
        if (geteuid() == 0) QSKIP("file permissions do not bind the superuser");
        TestProgramFolder folder;
        QFile::setPermissions(folder.File(QStringLiteral("tresoro.gdb")), QFile::ReadOwner);
        TDataModule1 dm(folder.ProgramFile());
        QString error;
        try {
            dm.OpenDatabase();
            dm.IBDataSetProjekt->Insert();
            dm.IBDataSetProjekt->Post();
        } catch (const EDatabaseError &e) {
            error = e.Message();
        }
        QVERIFY(!error.isEmpty());
    }

    void aDatabaseHeldByAnotherProcessIsReported() {
        TestProgramFolder folder;
        Child other(folder, "hold");
        TDataModule1 dm(folder.ProgramFile());
        QString error;
        try {
            dm.Connect();
        } catch (const EConnectError &e) {
            error = e.Message();
        }
        QVERIFY2(error.contains(QStringLiteral("already opened")), qPrintable(error));
        QVERIFY(!dm.IBDatabase.Connected());
        other.Kill();
        // Once the other process is gone, the file opens again.
        dm.Connect();
        QVERIFY(dm.IBDatabase.Connected());
    }

    void aSaveSurvivesTheProcessBeingKilled() {
        TestProgramFolder folder;
        {
            Child saver(folder, "save");
            saver.Kill();
        }
        TDataModule1 dm(folder.ProgramFile());
        dm.OpenDatabase();
        QCOMPARE(dm.IBDataSetEmail->RecordCount(), 1);
        QCOMPARE(dm.IBDataSetEmail->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QStringLiteral("überlebt@x"));
    }
};

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildFolder)) return RunChild();
    TestFailures tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "test_failures.moc"
