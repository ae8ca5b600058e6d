#pragma once
// The master password window: creates the master password the first time,
// changes it later (the old one verified first), and saves the new digest
// together with every access password re-enciphered under it.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <memory>

#include "vault/core/LbSHA1.h"
#include "vault/core/MasterPassword.h"
#include "vault/core/VaultState.h"

class TDataModule1;
class THotLog;
class TShell;

namespace vaultui {
class TPanelStatusBar;
}

class TfrmMasterKW : public QDialog {
    Q_OBJECT
public:
    // New: no master password; Locked: one exists, not verified; Changing:
    // the old one was verified.
    enum class TWindowState { New, Locked, Changing };

    TfrmMasterKW(QWidget *parent, TDataModule1 &dm, TShell &shell, TVaultState &state, THotLog *log);
    ~TfrmMasterKW() override;

    void FormShow();
    void BtnKWAendernClick();
    void EditKennwort1KeyPress();
    void BtnSaveMasterKWClick();
    bool FormCloseQuery();
    void DataSourceAllgemeinStateChange();

    TWindowState WindowState() const { return windowState_; }
    TMasterPassword &Rules() { return *rules_; }

    // Runs the database backup (without its own question; this window stays open).
    std::function<void()> StartBackup;
    // Limits the detail tabs to the current project again.
    std::function<void()> FilterDetailsByProjekt;

    // --- controls, named as the program names them ---
    QToolBar *ToolBar1;
    QToolButton *BtnSaveMasterKW;
    QPushButton *BtnKWAendern;
    QLabel *Label1, *LabelKWAendern, *Label2, *Label16;
    QLineEdit *EditKennwort1, *EditKennwort2;
    QPlainTextEdit *DBMemoPassphrase;
    vaultui::TPanelStatusBar *StatusBarMasterKW;
    TLbSHA1 LbSHA11;

public slots:
    void reject() override;  // Escape: closes like the close box

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetWindowState(TWindowState s);
    void AskForBackupThenChange();
    void ClearPasswordEdits();
    // Both failure paths of a save: the change is rolled back and the
    // program ends.
    void AbandonChange(const QString &error, const QString &message);

    TDataModule1 &dm_;
    TShell &shell_;
    TVaultState &state_;
    THotLog *log_;
    std::unique_ptr<TMasterPassword> rules_;
    TWindowState windowState_ = TWindowState::New;
    bool closeWithoutQuestion_ = false;
    int shownSerial_ = 0;
};
