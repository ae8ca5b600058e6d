#include "services/window/BackupCommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QTimer>
#include <QWidget>

TBackupCommands::TBackupCommands(TDataModule1 &dm, TShell &shell, TBackupWindowParts parts, QObject *parent)
    : QObject(parent), Runner(dm, shell), parts_(std::move(parts)) {
    Runner.ProcessEvents = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
    Runner.SetConnectionImage = parts_.SetConnectionImage;
    Runner.Reload = parts_.FormShow;
    Runner.CloseMasterWindow = [this] {
        if (parts_.MasterWindow && parts_.MasterWindow->isVisible()) parts_.MasterWindow->close();
    };
    Runner.RunningChanged = [this](bool running) {
        if (running) {
            // Nothing may reach the closed database meanwhile; the show handler re-arms the timer.
            if (parts_.UpdateTimer) parts_.UpdateTimer->stop();
            qApp->installEventFilter(this);
        } else {
            qApp->removeEventFilter(this);
            if (closeWanted_ && parts_.MainWindow) {
                closeWanted_ = false;
                QMetaObject::invokeMethod(parts_.MainWindow, [w = parts_.MainWindow] { w->close(); },
                                          Qt::QueuedConnection);
            }
        }
    };
    if (parts_.TBItemBackup) connect(parts_.TBItemBackup, &QAction::triggered, this, &TBackupCommands::Backuperzeugen1Click);
    if (parts_.TBItemRestore)
        connect(parts_.TBItemRestore, &QAction::triggered, this, &TBackupCommands::RestoredesBackups1Click);
}

void TBackupCommands::Backuperzeugen1Click() { Runner.Backuperzeugen1Click(); }
void TBackupCommands::RestoredesBackups1Click() { Runner.RestoredesBackups1Click(); }
void TBackupCommands::StartBackupFromMasterWindow() { Runner.BackupFromMasterWindow(); }

bool TBackupCommands::Usable(QObject *watched) const {
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget) return true;
    QWidget *top = widget->window();
    // Boxes of the run itself (the success box) and other windows stay usable.
    if (top != parts_.MainWindow && top != parts_.MasterWindow) return true;
    for (QWidget *w : parts_.StayUsable)
        if (w && (w == widget || w->isAncestorOf(widget))) return true;
    return false;
}

bool TBackupCommands::eventFilter(QObject *watched, QEvent *event) {
    if (!Runner.Running()) return false;
    switch (event->type()) {
    case QEvent::Close:
        if (watched == parts_.MainWindow || watched == parts_.MasterWindow) {
            // Closing waits for the end of the run.
            if (watched == parts_.MainWindow) closeWanted_ = true;
            event->ignore();
            return true;
        }
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::Wheel:
        if (Usable(watched)) return false;
        event->ignore();
        return true;
    default: return false;
    }
}
