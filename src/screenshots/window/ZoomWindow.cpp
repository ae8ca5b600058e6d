#include "screenshots/window/ZoomWindow.h"

#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/window/icons/ImageListMain.h"
#include "platform/core/Dialogs.h"
#include "screenshots/window/PictureDialogs.h"
#include "store/core/Shell.h"

TfrmZoom::TfrmZoom(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmZoom"));
    setWindowTitle(QStringLiteral("Zoom"));
    setProperty("HelpContext", 1000);
    setFixedSize(862, 613);
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);

    ToolBarZoom = new QToolBar(this);
    ToolBarZoom->setObjectName(QStringLiteral("ToolBarZoom"));
    ToolBarZoom->setIconSize(QSize(16, 16));
    auto hinted = [](QAction *a, const char *name, const QString &hint) {
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(hint);
        a->setStatusTip(hint);
    };
    BtnExport = ToolBarZoom->addAction(ImageListMain::Icon(ImageListMain::ExportPicture), QStringLiteral("Export eines Bildes (*.jpg)"));
    hinted(BtnExport, "BtnExport", QStringLiteral("Export eines Bildes (*.jpg)"));
    ToolBarZoom->addSeparator();
    GaugeBarZoom = new QSlider(Qt::Horizontal, ToolBarZoom);
    GaugeBarZoom->setObjectName(QStringLiteral("GaugeBarZoom"));
    GaugeBarZoom->setFixedWidth(178);
    GaugeBarZoom->setRange(0, 100);
    GaugeBarZoom->setSingleStep(1);
    GaugeBarZoom->setPageStep(1);
    GaugeBarZoom->setValue(15);
    GaugeBarZoom->setToolTip(QStringLiteral("Zoomfaktor einstellen"));
    ToolBarZoom->addWidget(GaugeBarZoom);
    BtnCancelZoom = ToolBarZoom->addAction(ImageListMain::Icon(ImageListMain::ZoomWholePicture), QStringLiteral("Bild komplett anzeigen"));
    hinted(BtnCancelZoom, "BtnCancelZoom", QStringLiteral("Bild komplett anzeigen"));

    ImageView32 = new TImageView32(this);
    ImageView32->SetScale(zoom_);
    // Screen readers: the slider by its hint, the picture as what it is.
    GaugeBarZoom->setAccessibleName(GaugeBarZoom->toolTip());
    ImageView32->setAccessibleName(QStringLiteral("Bild"));

    StatusBarZoom = new QStatusBar(this);
    StatusBarZoom->setObjectName(QStringLiteral("StatusBarZoom"));
    StatusBarZoom->setSizeGripEnabled(false);
    auto *panel = new QLabel(StatusBarZoom);
    panel->setFixedWidth(20);
    StatusBarZoom->addWidget(panel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBarZoom);
    layout->addWidget(ImageView32, 1);
    layout->addWidget(StatusBarZoom);

    SaveDialogBild = screenshots::MakeSavePictureDialog(this);

    // Program changes of the position go through a signal blocker, so this
    // runs for the user's own changes only.
    connect(GaugeBarZoom, &QSlider::valueChanged, this, &TfrmZoom::GaugeBarZoomUserChange);
    connect(BtnCancelZoom, &QAction::triggered, this, &TfrmZoom::BtnCancelZoomClick);
    connect(BtnExport, &QAction::triggered, this, &TfrmZoom::BtnExportClick);
}

double TfrmZoom::FactorOf(int position) { return std::max(position / 10.0, 0.001); }

void TfrmZoom::GaugeBarZoomUserChange() {
    zoom_ = FactorOf(GaugeBarZoom->value());
    ImageView32->SetScale(zoom_);
}

void TfrmZoom::BtnCancelZoomClick() {
    zoom_ = 1.5;
    const QSignalBlocker quiet(GaugeBarZoom);
    GaugeBarZoom->setValue(15);
    ImageView32->SetScale(zoom_);
}

void TfrmZoom::BtnExportClick() { screenshots::ExportScreenshot(SaveDialogBild, source_.Column, source_.Shell); }

void TfrmZoom::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    if (QScreen *s = screen()) move(s->availableGeometry().center() - rect().center());
    FormShow();
}

void TfrmZoom::FormShow() {
    TWaitCursor busy;
    const QByteArray bytes = source_.Column.Bytes();
    // The same bytes as last time: the decoded picture is still right.
    if (!ImageView32->Picture().isNull() && bytes == shownBytes_ && !bytes.isEmpty()) return;
    shownBytes_.clear();
    ImageView32->SetPicture(QImage());  // never the picture of another record
    try {
        ImageView32->SetPicture(screenshots::ToImage(DecodeJpeg(bytes)));
        shownBytes_ = bytes;
    } catch (const std::exception &e) {
        TDialogs::Current().ShowError(e);
    }
}

void TfrmZoom::FormClose() {
    // Before the first connect there is no program folder, and the working
    // folder is not ours to clean.
    const QString folder = source_.ProgramFolder ? source_.ProgramFolder() : QString();
    if (!folder.isEmpty()) screenshots::DeleteFilesByMask(folder, screenshots::TempJpegName());
}

void TfrmZoom::done(int result) {
    FormClose();
    QDialog::done(result);
}
