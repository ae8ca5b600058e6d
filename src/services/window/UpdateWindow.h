#pragma once
// The update window "WebUpdate": starts a check with the update engine,
// shows its progress and status, and keeps the automatic setting.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <functional>
#include <memory>

class TDataModule1;
class TShell;
class TWebUpdate;

class TfrmUpdate : public QDialog {
    Q_OBJECT
public:
    TfrmUpdate(QWidget *parent, TDataModule1 &dm, TShell &shell);
    ~TfrmUpdate() override;

    void FormShow();
    void FormClose();
    void BitBtnWebUpdateClick();
    void CBAutomaticUpdateEnabledClick();
    void WebUpdateStatus(int number, const QString &text, int errorCode, int statusCode);
    void WebUpdateFileProgress(qint64 fileSize, qint64 received);
    void WebUpdateBeforeFileDownload();
    void WebUpdateFileDownloaded();

    // Set true whenever the check box changes state; never reset.
    bool UpdateSettingChanged = false;
    // The engine's address, program folder and process are set from here
    // before each check (tests point it at their own server).
    TWebUpdate &WebUpdate() { return *engine_; }
    // Run when the engine hands over to the updater: the program ends.
    std::function<void()> OnTerminate;

    QPushButton *BitBtnWebUpdate;
    QLabel *LabelUpdateVersuch;
    QCheckBox *CBAutomaticUpdateEnabled;
    QProgressBar *ProgressBarWebUpdate;
    QStatusBar *StatusBar1;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void done(int result) override;

private:
    void ReadyButton();
    void RestoreScreenCursor();
    TDataModule1 &dm_;
    TShell &shell_;
    std::unique_ptr<TWebUpdate> engine_;
    bool running_ = false;
    bool closeAfterRun_ = false;
    int screenCursors_ = 0;
    bool closed_ = false;
};
