// Backup and restore against real files in a fresh program folder, with the
// engine's own gbak as peer.

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include "platform/core/Dialogs.h"
#include "services/core/backup/BackupRestore.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"
#include "support/Committed.h"
#include "support/ProgramFolder.h"
#include "support/ScriptedDialogs.h"

namespace {

struct TRecordingShell : TShell {
    QStringList Status, Lines;
    void StatusMessage(const QString &text) override { Status << text; }
    QString CurrentStatusMessage() const override { return Status.isEmpty() ? QString() : Status.last(); }
    void LogLine(const QString &message) override { Lines << message; }
    void SetSaveEnabled(bool) override {}
    bool SaveEnabled() const override { return false; }
    void ShowError(const std::exception &e) override { TDialogs::Current().ShowError(e); }
    void EndProgram() override {}
};

struct Fixture {
    Fixture() : dialogs(TScriptedDialogs::Install()), dm(folder.ProgramFile()), run(dm, shell) {
        run.SetConnectionImage = [this](int i) {
            Images << i;
            // The file as the run's own close left it, before the service ran.
            if (i == 13) AtClose = Read(Db());
        };
        run.Reload = [this] {
            ++Reloads;
            // What the run left, before reconnecting writes to the file again.
            AtReload = Read(Db());
            dm.OpenDatabase();
        };
        dm.OpenDatabase();
    }
    QString Db() const { return folder.File(QStringLiteral("tresoro.gdb")); }
    QString Gbk() const { return folder.File(QStringLiteral("tresorobackup.gbk")); }
    void AddProject(const QString &name) {
        TSqlStatement st(dm.IBTransaction, QStringLiteral("INSERT INTO TBLPROJEKT (ID, PROJEKTNAME) VALUES "
                                                          "(GEN_ID(GEN_TBLPROJEKT_ID, 1), :N)"));
        st.Execute({name});
        dm.IBTransaction.CommitRetaining();
    }
    QStringList Projects() {
        if (dm.IBDatabase.Connected()) dm.CloseDatabase();
        QStringList names;
        TIBDatabase db;
        db.DatabaseName = Db();
        db.Password = QStringLiteral("masterkey");
        TIBTransaction tr(db);
        db.Open();
        {
            TSqlStatement st(tr, QStringLiteral("SELECT PROJEKTNAME FROM TBLPROJEKT ORDER BY PROJEKTNAME"));
            for (const auto &row : st.Fetch()) names << row.first().toString();
        }
        db.Close();
        return names;
    }
    static QByteArray Read(const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TestProgramFolder folder;
    TScriptedDialogs &dialogs;
    TDataModule1 dm;
    TRecordingShell shell;
    TBackupRestore run;
    QList<int> Images;
    int Reloads = 0;
    QByteArray AtClose, AtReload;
};

const QString kBackupQuestion = QStringLiteral(
    "Ein evtl. vorhandenes Backup TRESOROBACKUP wird überschrieben.\r\nSoll jetzt ein Backup gezogen werden?");

}  // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void aBackupCreatesTheFileAndASecondReplacesIt() {
        Fixture f;
        f.AddProject(QStringLiteral("Alpha"));
        f.dialogs.AnswerMessage(mbYes);
        f.dialogs.AnswerMessage(mbOK);
        QVERIFY(f.run.Backuperzeugen1Click());
        QVERIFY(QFileInfo(f.Gbk()).size() > 0);
        QVERIFY(!QFileInfo::exists(f.run.NewBackupFile()));
        const auto calls = f.dialogs.Messages();
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[0].Text, kBackupQuestion);
        QCOMPARE(calls[0].Icon, TMsgIcon::Question);
        QCOMPARE(calls[1].Text, QStringLiteral("Datenbankbackup TRESOROBACKUP wurde erzeugt."));
        QCOMPARE(calls[1].Caption, QStringLiteral("Information"));
        QCOMPARE(calls[1].Icon, TMsgIcon::None);
        QCOMPARE(calls[1].Buttons, int(mbOK));
        QCOMPARE(f.shell.Status, (QStringList{QStringLiteral("Datenbankverbindung wird geschlossen. Backup läuft."),
                                              QStringLiteral("Datenbankverbindung wurde wieder geöffnet. Backup beendet.")}));
        QCOMPARE(f.Images, (QList<int>{13, 0}));
        QCOMPARE(f.Reloads, 1);
        QVERIFY(f.dm.IBDatabase.Connected());
        // The log block: first line, the verbose output, one empty line, last line.
        const QStringList &l = f.shell.Lines;
        QVERIFY(l.size() > 10);
        QCOMPARE(l.first(), QStringLiteral("Backup beginnt"));
        QVERIFY(l[1].startsWith(QStringLiteral("gbak:")));
        QCOMPARE(l[l.size() - 2], QString());
        QCOMPARE(l.last(), QStringLiteral("Backup beendet"));
        for (qsizetype i = 1; i < l.size() - 2; ++i) QVERIFY2(!l[i].isEmpty(), qPrintable(QString::number(i)));

        const QByteArray first = Fixture::Read(f.Gbk());
        f.AddProject(QStringLiteral("Beta"));
        f.dialogs.AnswerMessage(mbYes);
        f.dialogs.AnswerMessage(mbOK);
        QVERIFY(f.run.Backuperzeugen1Click());
        QCOMPARE(f.dialogs.Messages()[2].Text, kBackupQuestion);
        QVERIFY(Fixture::Read(f.Gbk()) != first);
        QCOMPARE(f.dialogs.Unexpected, 0);
    }

    void restoreBringsBackTheBackedUpProjects() {
        Fixture f;
        f.AddProject(QStringLiteral("Alpha"));
        f.dialogs.AnswerMessage(mbYes);
        f.dialogs.AnswerMessage(mbOK);
        QVERIFY(f.run.Backuperzeugen1Click());
        f.AddProject(QStringLiteral("Later"));
        f.shell.Lines.clear();
        f.dialogs.AnswerMessage(mbYes);
        f.dialogs.AnswerMessage(mbOK);
        QVERIFY(f.run.RestoredesBackups1Click());
        QCOMPARE(f.dialogs.Messages()[2].Text,
                 QStringLiteral("Das Backup TRESOROBACKUP wird geladen und ersetzt den aktuellen Datenbankinhalt.\r\n"
                                "Soll jetzt die Datenbank wiederhergestellt werden?"));
        QCOMPARE(f.dialogs.Messages()[3].Text, QStringLiteral("Datenbank wurde aus Backup TRESOROBACKUP wieder hergestellt."));
        QCOMPARE(f.shell.Lines.first(), QStringLiteral("Restore beginnt"));
        QCOMPARE(f.shell.Lines.last(), QStringLiteral("Restore beendet"));
        QCOMPARE(f.shell.Status.last(), QStringLiteral("Datenbankverbindung wurde wieder geöffnet. Restore beendet."));
        QVERIFY(!QFileInfo::exists(f.run.NewDatabaseFile()));
        QCOMPARE(f.Projects(), QStringList{QStringLiteral("Alpha")});
        // The restored file has the page size the restore asks for.
        f.dm.OpenDatabase();
        QCOMPARE(TIBDatabaseInfo::Read(f.dm.IBDatabase).PageSize, 4096);
    }

    void noToEitherQuestionChangesNothing_data() {
        QTest::addColumn<bool>("restore");
        QTest::newRow("backup") << false;
        QTest::newRow("restore") << true;
    }
    void noToEitherQuestionChangesNothing() {
        QFETCH(bool, restore);
        Fixture f;
        f.dialogs.AnswerMessage(mbNo);
        QVERIFY(!(restore ? f.run.RestoredesBackups1Click() : f.run.Backuperzeugen1Click()));
        QVERIFY(f.dm.IBDatabase.Connected());
        QVERIFY(f.shell.Lines.isEmpty());
        QVERIFY(f.shell.Status.isEmpty());
        QCOMPARE(f.Reloads, 0);
        QVERIFY(!QFileInfo::exists(f.Gbk()));
        QCOMPARE(f.Reloads, 0);
    }

    void aBadBackupFileLeavesTheDatabaseAsItWas_data() {
        QTest::addColumn<QString>("kind");
        for (const char *k : {"missing", "empty", "truncated", "random", "database"}) QTest::newRow(k) << QString::fromLatin1(k);
    }
    void aBadBackupFileLeavesTheDatabaseAsItWas() {
        QFETCH(QString, kind);
        Fixture f;
        f.AddProject(QStringLiteral("Alpha"));
        if (kind != QLatin1String("missing")) {
            QByteArray bytes;
            if (kind == QLatin1String("truncated")) {
                f.dialogs.AnswerMessage(mbYes);
                f.dialogs.AnswerMessage(mbOK);
                QVERIFY(f.run.Backuperzeugen1Click());
                bytes = Fixture::Read(f.Gbk()).left(2000);
            } else if (kind == QLatin1String("random")) {
                QRandomGenerator gen(13);
                for (int i = 0; i < 5000; ++i) bytes.append(char(gen.bounded(256)));
            } else if (kind == QLatin1String("database")) {
                bytes = Fixture::Read(f.folder.InstalledDatabase());
            }
            QFile out(f.Gbk());
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        }
        f.dialogs.Clear();
        f.shell.Lines.clear();
        f.shell.Status.clear();
        f.dialogs.AnswerMessage(mbYes);
        f.dialogs.AnswerMessage(mbOK);
        QVERIFY(!f.run.RestoredesBackups1Click());
        const auto calls = f.dialogs.Messages();
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[1].Icon, TMsgIcon::Error);
        QCOMPARE(calls[1].Caption, QStringLiteral("Tresoro"));
        QVERIFY(!calls[1].Text.isEmpty());
        QVERIFY(!f.shell.Lines.contains(QStringLiteral("Restore beendet")));
        QVERIFY(f.shell.Lines.contains(calls[1].Text.chopped(calls[1].Text.endsWith(QLatin1Char('.')) ? 1 : 0)) ||
                f.shell.Lines.contains(calls[1].Text));
        QCOMPARE(f.shell.Status.last(), QStringLiteral("Restore fehlgeschlagen. Die Datenbank bleibt unverändert."));
        QVERIFY(f.dm.IBDatabase.Connected());
        QVERIFY(!QFileInfo::exists(f.run.NewDatabaseFile()));
        QVERIFY(!f.AtClose.isEmpty());
        QCOMPARE(f.AtReload, f.AtClose);
        QCOMPARE(f.Projects(), QStringList{QStringLiteral("Alpha")});
    }

    void aFailedBackupLeavesThePreviousBackup() {
        Fixture f;
        f.dialogs.AnswerMessage(mbYes);
        f.dialogs.AnswerMessage(mbOK);
        QVERIFY(f.run.Backuperzeugen1Click());
        const QByteArray good = Fixture::Read(f.Gbk());
        // The service cannot create its new file: a folder stands in the way.
        QVERIFY(QDir().mkpath(f.run.NewBackupFile() + QStringLiteral("/x")));
        f.dialogs.Clear();
        f.shell.Lines.clear();
        f.dialogs.AnswerMessage(mbYes);
        QVERIFY(!f.run.Backuperzeugen1Click());
        const auto calls = f.dialogs.Messages();
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[1].Icon, TMsgIcon::Error);
        QVERIFY(!f.shell.Lines.contains(QStringLiteral("Backup beendet")));
        QCOMPARE(f.shell.Status.last(), QStringLiteral("Backup fehlgeschlagen. Das vorige Backup bleibt erhalten."));
        QCOMPARE(Fixture::Read(f.Gbk()), good);
        QVERIFY(f.dm.IBDatabase.Connected());
    }

    void backupsRestoreWithTheEnginesOwnTool() {
        Fixture f;
        f.AddProject(QStringLiteral("Ours"));
        f.dialogs.AnswerMessage(mbYes);
        f.dialogs.AnswerMessage(mbOK);
        QVERIFY(f.run.Backuperzeugen1Click());
        f.dm.CloseDatabase();
        // Our backup, restored by gbak.
        const QString peerDb = f.folder.File(QStringLiteral("peer.gdb"));
        QProcess gbak;
        gbak.start(QStringLiteral("gbak"), {QStringLiteral("-c"), QStringLiteral("-user"), QStringLiteral("sysdba"),
                                            f.Gbk(), peerDb});
        QVERIFY(gbak.waitForFinished(60000));
        QCOMPARE(gbak.exitCode(), 0);
        QCOMPARE(CommittedValue(peerDb, QStringLiteral("SELECT PROJEKTNAME FROM TBLPROJEKT")).toString(),
                 QStringLiteral("Ours"));

        // A backup made by gbak, restored by the program.
        {
            TIBDatabase db;
            db.DatabaseName = peerDb;
            db.Password = QStringLiteral("masterkey");
            TIBTransaction tr(db);
            db.Open();
            TSqlStatement(tr, QStringLiteral("UPDATE TBLPROJEKT SET PROJEKTNAME = 'Theirs'")).Execute();
            tr.Commit();
            db.Close();
        }
        QVERIFY(QFile::remove(f.Gbk()));
        gbak.start(QStringLiteral("gbak"), {QStringLiteral("-b"), QStringLiteral("-user"), QStringLiteral("sysdba"),
                                            peerDb, f.Gbk()});
        QVERIFY(gbak.waitForFinished(60000));
        QCOMPARE(gbak.exitCode(), 0);
        f.dm.OpenDatabase();
        f.dialogs.AnswerMessage(mbYes);
        f.dialogs.AnswerMessage(mbOK);
        QVERIFY(f.run.RestoredesBackups1Click());
        QCOMPARE(f.Projects(), QStringList{QStringLiteral("Theirs")});
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "test_backup.moc"
