#pragma once
// The two small windows of the password reveal: the master password prompt
// with its slide-out hint panel, and the window that shows the password.

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include "vault/core/VaultState.h"

class QVariantAnimation;
class TDataModule1;

namespace vaultui {
class TWrapLabel;
}

class TfrmInputMaster : public QDialog {
    Q_OBJECT
public:
    TfrmInputMaster(QWidget *parent, TDataModule1 &dm, TVaultState &state);

    void FormShow();
    void BitBtnOKClick();
    void BitBtnCancelClick();

    // The hint panel: out shows it over the prompt, in hides it behind the
    // tab strip. Locked, it stays out when the mouse leaves it.
    void SlideHint(bool out, bool animated = true);
    bool HintOut() const { return hintOut_; }
    void SetHintLocked(bool locked);
    bool HintLocked() const { return hintLocked_; }

    QLabel *Label1;
    QLineEdit *EditInputMaster;
    QPushButton *BitBtnOK, *BitBtnCancel;
    QToolButton *AdvToolPanelTabMaster;  // the tab strip at the right edge
    QFrame *AdvToolPanelMasterHint;      // the panel that slides out
    QToolButton *HintLockButton, *HintCloseButton;
    QPlainTextEdit *DBMemoPassphrase;

public slots:
    void reject() override;  // Escape: closes like the close box

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void PlaceHint(int shown);
    TVaultState &state_;
    QVariantAnimation *slide_;
    bool takeEntry_ = false;
    bool hintOut_ = false;
    bool hintLocked_ = false;
};

class TfrmKennwort : public QDialog {
    Q_OBJECT
public:
    TfrmKennwort(QWidget *parent, TVaultState &state);

    void FormShow();
    void BitBtn1Click() { close(); }

    vaultui::TWrapLabel *Label1;
    QPushButton *BitBtn1;

public slots:
    void reject() override { close(); }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TVaultState &state_;
};
