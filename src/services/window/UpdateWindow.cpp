#include "services/window/UpdateWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QScreen>

#include "app/window/icons/ImageListMain.h"
#include "platform/core/Dialogs.h"
#include "platform/core/GermanFormat.h"
#include "services/core/update/WebUpdate.h"
#include "services/core/updatecheck/UpdateCheck.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"
#include "store/window/DataLinks.h"

TfrmUpdate::TfrmUpdate(QWidget *parent, TDataModule1 &dm, TShell &shell)
    : QDialog(parent), dm_(dm), shell_(shell), engine_(std::make_unique<TWebUpdate>()) {
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(QStringLiteral("WebUpdate"));
    setModal(true);
    resize(507, 140);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 0);
    BitBtnWebUpdate = new QPushButton(ImageListMain::Icon(ImageListMain::UpdateCheck), QStringLiteral("auf Update prüfen"), this);
    BitBtnWebUpdate->setObjectName(QStringLiteral("BitBtnWebUpdate"));
    LabelUpdateVersuch = new QLabel(this);
    LabelUpdateVersuch->setObjectName(QStringLiteral("LabelUpdateVersuch"));
    LabelUpdateVersuch->setTextFormat(Qt::PlainText);
    CBAutomaticUpdateEnabled = new QCheckBox(QStringLiteral("automatisch nach Updates suchen"), this);
    CBAutomaticUpdateEnabled->setObjectName(QStringLiteral("CBAutomaticUpdateEnabled"));
    CBAutomaticUpdateEnabled->setChecked(true);
    ProgressBarWebUpdate = new QProgressBar(this);
    ProgressBarWebUpdate->setObjectName(QStringLiteral("ProgressBarWebUpdate"));
    ProgressBarWebUpdate->setValue(0);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    grid->addWidget(BitBtnWebUpdate, 0, 0);
    grid->addWidget(LabelUpdateVersuch, 0, 1);
    grid->addWidget(CBAutomaticUpdateEnabled, 1, 0, 1, 2);
    grid->addWidget(ProgressBarWebUpdate, 2, 0, 1, 2);
    grid->addWidget(StatusBar1, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    connect(BitBtnWebUpdate, &QPushButton::clicked, this, &TfrmUpdate::BitBtnWebUpdateClick);
    connect(CBAutomaticUpdateEnabled, &QCheckBox::stateChanged, this, &TfrmUpdate::CBAutomaticUpdateEnabledClick);
    connect(engine_.get(), &TWebUpdate::OnStatus, this, &TfrmUpdate::WebUpdateStatus);
    connect(engine_.get(), &TWebUpdate::OnFileProgress, this, &TfrmUpdate::WebUpdateFileProgress);
    connect(engine_.get(), &TWebUpdate::OnBeforeFileDownload, this, &TfrmUpdate::WebUpdateBeforeFileDownload);
    connect(engine_.get(), &TWebUpdate::OnFileDownloaded, this, &TfrmUpdate::WebUpdateFileDownloaded);
}

TfrmUpdate::~TfrmUpdate() { RestoreScreenCursor(); }

void TfrmUpdate::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (QScreen *screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
    closed_ = false;
    FormShow();
}

void TfrmUpdate::FormShow() {
    ReadyButton();
    ProgressBarWebUpdate->setValue(0);
    const QDate last = updatecheck::LastCheck(dm_);
    LabelUpdateVersuch->setText(QStringLiteral("Letzter Updateversuch:  ") + de::DateText(last));
    const QString automatic = updatecheck::AutomaticText(dm_);
    if (automatic == QLatin1String("1") || automatic.isEmpty()) CBAutomaticUpdateEnabled->setChecked(true);
    else if (automatic == QLatin1String("0")) CBAutomaticUpdateEnabled->setChecked(false);
    unsetCursor();
}

void TfrmUpdate::ReadyButton() {
    BitBtnWebUpdate->setText(QStringLiteral("auf Update prüfen"));
    BitBtnWebUpdate->setEnabled(true);
}

void TfrmUpdate::CBAutomaticUpdateEnabledClick() { UpdateSettingChanged = true; }

void TfrmUpdate::done(int result) {
    // Closing while the engine runs waits for it: its events still arrive here.
    if (running_) return;
    FormClose();
    QDialog::done(result);
}

void TfrmUpdate::closeEvent(QCloseEvent *event) {
    if (running_) {
        event->ignore();
        return;
    }
    FormClose();
    QDialog::closeEvent(event);
}

void TfrmUpdate::FormClose() {
    if (closed_) return;
    closed_ = true;
    if (!UpdateSettingChanged) return;
    links::Guard([this] {
        TWaitCursor wait;
        if (CBAutomaticUpdateEnabled->isChecked())
            updatecheck::SetAutomaticOn(dm_);
        else
            updatecheck::SetAutomaticOff(dm_);
    });
}

void TfrmUpdate::BitBtnWebUpdateClick() {
    BitBtnWebUpdate->setText(QStringLiteral("Updateprüfung gestartet..."));
    BitBtnWebUpdate->setEnabled(false);
    TWebUpdate &engine = *engine_;
    if (engine.URL.isEmpty()) engine.URL = updatecheck::UpdateUrl(dm_.ProgramFolder);
    engine.ProgramFolder = dm_.ProgramFolder;
    if (engine.TempFolder.isEmpty()) engine.TempFolder = QDir::tempPath() + QLatin1Char('/');
    engine.ProcessId = QCoreApplication::applicationPid();
    running_ = true;
    closeAfterRun_ = false;
    TWebUpdate::TResult result = TWebUpdate::TResult::NoConnection;
    try {
        result = engine.DoUpdate();
    } catch (const std::exception &e) {
        running_ = false;
        RestoreScreenCursor();
        shell_.ShowError(e);
        return;
    }
    running_ = false;
    RestoreScreenCursor();
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        close();
    }
    if (result == TWebUpdate::TResult::Terminate && OnTerminate) OnTerminate();
}

void TfrmUpdate::WebUpdateStatus(int number, const QString &text, int errorCode, int statusCode) {
    Q_UNUSED(number);
    StatusBar1->showMessage(text + QStringLiteral(", Status: ") + QString::number(statusCode) + QStringLiteral(" Error: ") +
                            QString::number(errorCode));
    if (statusCode == 6) {
        TDialogs::Current().MessageBox(
            QStringLiteral("Datei TRESORO.INF auf Updateserver nicht gefunden -> WUPDATE.LOG\r\nInternetzugang freigeschaltet?"),
            QStringLiteral("Fehler"), TMsgIcon::None, mbOK);
        ReadyButton();
    } else if (statusCode == 4) {
        TDialogs::Current().MessageBox(QStringLiteral("Keine neue Version von Tresoro verfügbar\r\nDies ist die aktuelle Version."),
                                       QStringLiteral("Information"), TMsgIcon::None, mbOK);
        ReadyButton();
        // The engine is still running its check: the window closes once it returns.
        closeAfterRun_ = true;
        links::Guard([this] { updatecheck::WriteLastUpdateCheck(dm_); });
    }
}

void TfrmUpdate::WebUpdateFileProgress(qint64 fileSize, qint64 received) {
    ProgressBarWebUpdate->setMaximum(int(qBound(qint64(0), fileSize, qint64(INT_MAX))));
    ProgressBarWebUpdate->setValue(int(qBound(qint64(0), received, qint64(INT_MAX))));
}

void TfrmUpdate::WebUpdateBeforeFileDownload() {
    // The desktop's busy cursor, for the whole screen and this window.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ++screenCursors_;
    setCursor(Qt::BusyCursor);
}

void TfrmUpdate::WebUpdateFileDownloaded() {
    links::Guard([this] { updatecheck::WriteLastUpdateCheck(dm_); });
    RestoreScreenCursor();  // the window keeps its own
}

void TfrmUpdate::RestoreScreenCursor() {
    for (; screenCursors_ > 0; --screenCursors_) QApplication::restoreOverrideCursor();
}
