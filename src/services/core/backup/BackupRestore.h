#pragma once
// The backup and restore commands: question, closing the connection, the
// service run with its output in the log, the replacement of the files and
// the reload. A run never puts the database or the last good backup at
// risk: the service writes a new file, which replaces the old one by rename
// only after the service ended without error (and, for a restore, after the
// new database attaches online and holds the program's tables). A failed
// run says so in the log, the status message and the general error box.

#include <QString>
#include <functional>
#include <memory>

#include "services/core/backup/FbService.h"

class TDataModule1;
class TShell;

enum class TServiceAction { Backup, Restore };

class TBackupRestore {
public:
    TBackupRestore(TDataModule1 &dm, TShell &shell);
    ~TBackupRestore();
    TBackupRestore(const TBackupRestore &) = delete;
    TBackupRestore &operator=(const TBackupRestore &) = delete;

    // --- what the front end provides ---
    // Lets the window repaint and handle events while the service works.
    std::function<void()> ProcessEvents;
    // Image of the connection panel (13 while the run is under way, 0 after).
    std::function<void(int)> SetConnectionImage;
    // Closes the master password window if it is open.
    std::function<void()> CloseMasterWindow;
    // Reconnects and reloads the main window (its show handler).
    std::function<void()> Reload;
    // Called with true when a run starts and false when it has ended, so the
    // front end can hold back every other command meanwhile.
    std::function<void(bool)> RunningChanged;

    // The menu commands. Both ask first; a second command while one runs is
    // refused. They return true when a run ended successfully.
    bool Backuperzeugen1Click();
    bool RestoredesBackups1Click();
    // The backup the master password window asks for: no question of its
    // own, and that window stays open.
    bool BackupFromMasterWindow();

    // Another backup file than the program folder's (the terminal program's).
    QString BackupFileName;

    bool Running() const { return running_; }
    QString DatabaseFile() const;
    QString BackupFile() const;
    // Where the service writes before the rename.
    QString NewBackupFile() const;
    QString NewDatabaseFile() const;

    static constexpr int kRestorePageSize = 4096;
    // The program's tables that a restored database must hold.
    static const QStringList &Tables();

    // Throws EDatabaseError unless the file begins like a backup of the
    // database services (the engine is not robust against arbitrary input).
    static void CheckBackupFile(const QString &file);
    // Throws EDatabaseError unless the file attaches, is online and holds
    // the program's tables.
    void CheckRestoredDatabase(const QString &file);

private:
    bool Run(TServiceAction action, bool ask, bool closeMasterWindow);
    void Service(TServiceAction action);
    void ReadOutput(TFbServiceManager &service);
    TFbServiceManager &Manager(std::unique_ptr<TFbServiceManager> &slot);
    void ProcessPending() const;
    void Image(int image) const;

    TDataModule1 &dm_;
    TShell &shell_;
    std::unique_ptr<TFbServiceManager> backupService_, restoreService_;
    bool running_ = false;
};
