#pragma once
// The window side of backup and restore: the menu items, the reload through
// the main window's show handler, the master password window's backup, and
// holding back every other command while a run is under way (the Log tab
// stays usable and fills as the lines arrive).

#include <QObject>
#include <QPointer>
#include <functional>

#include "services/core/backup/BackupRestore.h"

class QAction;
class QDialog;
class QTimer;
class QWidget;

struct TBackupWindowParts {
    QWidget *MainWindow = nullptr;
    QAction *TBItemBackup = nullptr;
    QAction *TBItemRestore = nullptr;
    // Widgets that keep taking input during a run (the tab bar, the Log tab).
    QList<QWidget *> StayUsable;
    QDialog *MasterWindow = nullptr;
    QTimer *UpdateTimer = nullptr;
    std::function<void(int)> SetConnectionImage;
    std::function<void()> FormShow;
};

class TBackupCommands : public QObject {
    Q_OBJECT
public:
    TBackupCommands(TDataModule1 &dm, TShell &shell, TBackupWindowParts parts, QObject *parent = nullptr);

    void Backuperzeugen1Click();
    void RestoredesBackups1Click();
    // The master password window's backup: no second question, window stays open.
    void StartBackupFromMasterWindow();

    TBackupRestore Runner;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Usable(QObject *watched) const;
    TBackupWindowParts parts_;
    bool closeWanted_ = false;
};
