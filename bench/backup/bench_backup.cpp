// Backup and restore of the 1,000-project database through the program's
// code path (questions answered, connection closed and reopened, every
// output line logged) next to the same service actions called bare.

#include <QCoreApplication>
#include <QFile>

#include "../common/BenchDatabase.h"
#include "platform/core/Dialogs.h"
#include "services/core/HotLog.h"
#include "services/core/backup/BackupRestore.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"

namespace {

class TYesDialogs : public TDialogs {
public:
    int MessageBox(const QString &, const QString &, TMsgIcon, int buttons) override {
        return (buttons & mbYes) ? mbYes : mbOK;
    }
    bool InputQuery(const QString &, const QString &, QString &, bool, int) override { return false; }
    QString OpenFileName(const QString &, const QString &, const QString &, bool) override { return {}; }
    QString SaveFileName(const QString &, const QString &, const QString &, const QString &) override { return {}; }
    int ShowModal(QDialog *) override { return 0; }
    void Beep() override {}
};

class TLogShell : public TShell {
public:
    explicit TLogShell(THotLog &log) : log_(log) {}
    void StatusMessage(const QString &text) override { status_ = text; }
    QString CurrentStatusMessage() const override { return status_; }
    void LogLine(const QString &message) override { ::LogLine(log_, message); }
    void SetSaveEnabled(bool) override {}
    bool SaveEnabled() const override { return false; }
    void ShowError(const std::exception &e) override { std::fprintf(stderr, "error: %s\n", e.what()); }
    void EndProgram() override {}

private:
    THotLog &log_;
    QString status_;
};

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    TDialogs::Install(std::make_unique<TYesDialogs>());
    BenchFolder folder;
    FillDatabase(folder.Database(), FillPlan{});

    THotLog log(folder.ProgramFile(), {});
    log.StartWriters();
    TLogShell shell(log);
    TDataModule1 dm(folder.ProgramFile());
    TBackupRestore run(dm, shell);
    bool ok = true;
    run.Reload = [&] { dm.OpenDatabase(); };
    dm.OpenDatabase();

    const int runs = 5;
    const double programBackup = MedianMs(runs, [&] { ok = run.Backuperzeugen1Click() && ok; });
    const double programRestore = MedianMs(runs, [&] { ok = run.RestoredesBackups1Click() && ok; });
    dm.CloseDatabase();

    TFbServiceManager bare(FbClient::Instance(), dm.IBDatabase.UserName, dm.IBDatabase.Password);
    const QString bareBackup = folder.Path() + QStringLiteral("bare.gbk");
    const QString bareDb = folder.Path() + QStringLiteral("bare.gdb");
    const double bareBackupMs = MedianMs(runs, [&] {
        QFile::remove(bareBackup);
        bare.StartBackup(folder.Database(), bareBackup, true);
        bare.WaitForEnd();
    });
    const double bareRestoreMs = MedianMs(runs, [&] {
        QFile::remove(bareDb);
        bare.StartRestore(run.BackupFile(), bareDb, TBackupRestore::kRestorePageSize, false, true);
        bare.WaitForEnd();
    });
    if (!ok) {
        std::fprintf(stderr, "a program run failed\n");
        return 1;
    }
    PrintFigure("backup_program_ms", programBackup);
    PrintFigure("backup_bare_ms", bareBackupMs);
    PrintFigure("restore_program_ms", programRestore);
    PrintFigure("restore_bare_ms", bareRestoreMs);
    PrintFigure("backup_ratio", programBackup / bareBackupMs);
    PrintRatio(programRestore / bareRestoreMs);
    return 0;
}
