#include "screenshots/window/ScreenshotPanel.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QShortcut>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/window/icons/ImageListMain.h"
#include "platform/core/Dialogs.h"
#include "platform/window/KeyHints.h"
#include "screenshots/window/PictureDialogs.h"
#include "screenshots/window/ZoomWindow.h"
#include "store/core/DataSet.h"
#include "store/core/Shell.h"
#include "store/window/Looks.h"

// --- the picture control ----------------------------------------------------------

TDBImage::TDBImage(QWidget *parent) : QFrame(parent) {
    setObjectName(QStringLiteral("DBImage"));
    setToolTip(QStringLiteral("Geben Sie bei Bedarf ein Bild zu dem Zugang ein"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Cl3DLight());
    setPalette(pal);
    setMinimumSize(16, 16);
}

void TDBImage::SetPicture(const QImage &picture) {
    picture_ = picture;
    update();
}

QRect TDBImage::PictureRect() const {
    if (picture_.isNull()) return {};
    const QRect area = contentsRect();
    const QSize fitted = picture_.size().scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.topLeft() + QPoint((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2),
                 fitted);
}

void TDBImage::paintEvent(QPaintEvent *event) {
    QFrame::paintEvent(event);
    if (picture_.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(PictureRect(), picture_);
}

void TDBImage::mouseDoubleClickEvent(QMouseEvent *event) {
    QFrame::mouseDoubleClickEvent(event);
    emit DoubleClicked();
}

void TDBImage::keyPressEvent(QKeyEvent *event) {
    if (event->matches(QKeySequence::Paste)) {
        emit PasteRequested();
        return;
    }
    // Enter opens the picture as a double click does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        emit DoubleClicked();
        return;
    }
    QFrame::keyPressEvent(event);
}

// --- the panel ------------------------------------------------------------------------

TScreenshotPanel::TScreenshotPanel(const TScreenshotHost &host, QWidget *parent) : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("ScreenshotPanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    DBImage = new TDBImage(this);
    layout->addWidget(DBImage);

    BtnImport = new QAction(ImageListMain::Icon(ImageListMain::ImportPicture), QStringLiteral("Import eines Bildes (JPG, BMP)"), this);
    BtnImport->setObjectName(QStringLiteral("BtnImport"));
    BtnExport = new QAction(ImageListMain::Icon(ImageListMain::ExportPicture), QStringLiteral("Export eines Bildes (*.jpg)"), this);
    BtnExport->setObjectName(QStringLiteral("BtnExport"));
    for (QAction *a : {BtnImport, BtnExport}) {
        a->setToolTip(a->text());
        a->setStatusTip(a->text());
    }
    VrTrackBarQualityJPG = new QSlider(Qt::Horizontal, this);
    VrTrackBarQualityJPG->setObjectName(QStringLiteral("VrTrackBarQualityJPG"));
    VrTrackBarQualityJPG->setFixedWidth(175);
    VrTrackBarQualityJPG->setRange(10, 90);
    VrTrackBarQualityJPG->setSingleStep(10);
    VrTrackBarQualityJPG->setPageStep(10);
    VrTrackBarQualityJPG->setTickInterval(10);
    VrTrackBarQualityJPG->setTickPosition(QSlider::TicksBelow);
    VrTrackBarQualityJPG->setValue(70);
    VrTrackBarQualityJPG->hide();  // until a tool bar takes it

    PopupMenuImage = new QMenu(this);
    PopupMenuImage->setObjectName(QStringLiteral("PopupMenuImage"));
    BildEinfuegen = PopupMenuImage->addAction(QStringLiteral("Bild einfügen"));
    BildEinfuegen->setObjectName(QStringLiteral("BildEinfuegen"));
    DBImage->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBImage, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenuImage->popup(DBImage->mapToGlobal(at)); });

    OpenPictureDialogBild = screenshots::MakeOpenPictureDialog(this);

    connect(BtnImport, &QAction::triggered, this, &TScreenshotPanel::BtnImportClick);
    connect(BtnExport, &QAction::triggered, this, &TScreenshotPanel::BtnExportClick);
    connect(BildEinfuegen, &QAction::triggered, this, &TScreenshotPanel::PastePicture);
    connect(DBImage, &TDBImage::PasteRequested, this, &TScreenshotPanel::PastePicture);
    connect(DBImage, &TDBImage::DoubleClicked, this, &TScreenshotPanel::DBImageDblClick);
    connect(VrTrackBarQualityJPG, &QSlider::valueChanged, this, [this](int value) {
        // Every position lands on the nearest multiple of ten.
        const int stop = qBound(10, (value + 5) / 10 * 10, 90);
        if (stop != value) {
            VrTrackBarQualityJPG->setValue(stop);
            return;
        }
        VrTrackBarQualityJPGChange();
    });
    VrTrackBarQualityJPGChange();

    if (host_.Source) {
        connect(host_.Source, &TDataSource::DataChange, this, [this](int field) {
            TIBDataSet *ds = host_.Source->DataSet();
            if (field < 0) Reload(true);
            else if (ds && field == ds->FieldIndex(host_.Field)) Reload(false);
        });
        connect(host_.Source, &TDataSource::StateChange, this, [this] {
            ImportStateChanged();
            Reload(false);
        });
    }
    ImportStateChanged();
    Reload(true);
}

void TScreenshotPanel::AddToToolBar(QToolBar *toolBar) {
    toolBar->addAction(BtnImport);
    toolBar->widgetForAction(BtnImport)->setObjectName(QStringLiteral("BtnImportButton"));
    toolBar->addAction(BtnExport);
    toolBar->widgetForAction(BtnExport)->setObjectName(QStringLiteral("BtnExportButton"));
    toolBar->addWidget(VrTrackBarQualityJPG)->setVisible(true);
    // The tab holding the tool bar gets the picture keys.
    QWidget *tab = toolBar->parentWidget() ? toolBar->parentWidget() : toolBar;
    const std::pair<QAction *, QKeySequence> keys[] = {{BtnImport, QKeySequence(Qt::CTRL | Qt::Key_I)},
                                                       {BtnExport, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)}};
    for (const auto &[action, key] : keys) {
        auto *shortcut = new QShortcut(key, tab);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, action, [action = action] {
            if (action->isEnabled()) action->trigger();
        });
        keyhints::NameKeys(action, keyhints::KeyText(key));
    }
}

TScreenshotColumn TScreenshotPanel::Column() const {
    return TScreenshotColumn(host_.Source ? host_.Source->DataSet() : nullptr, host_.Field);
}

void TScreenshotPanel::VrTrackBarQualityJPGChange() {
    const QString hint = QStringLiteral("JPG-Qualität: ") + QString::number(VrTrackBarQualityJPG->value()) +
                         QStringLiteral("%");
    VrTrackBarQualityJPG->setToolTip(hint);
    VrTrackBarQualityJPG->setStatusTip(hint);
}

void TScreenshotPanel::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    VrTrackBarQualityJPGChange();
}

void TScreenshotPanel::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    VrTrackBarQualityJPGChange();
    // A picture decoded small for a smaller panel is decoded again larger.
    const QImage &shown = DBImage->Picture();
    if (!shown.isNull() && scaledDown_ &&
        (DBImage->width() > decodedFor_.width() || DBImage->height() > decodedFor_.height()))
        Decode(shownBytes_);
}

void TScreenshotPanel::ImportStateChanged() {
    const bool editing = Column().Editing();
    BtnImport->setEnabled(editing);
    BildEinfuegen->setEnabled(editing);
}

void TScreenshotPanel::Log(const QString &message) {
    if (host_.LogLine) host_.LogLine(message);
    else if (host_.Shell) host_.Shell->LogLine(message);
}

void TScreenshotPanel::Report(const std::exception &e) {
    if (host_.Shell) host_.Shell->ShowError(e);
    else TDialogs::Current().ShowError(e);
}

screenshots::TPictureSink TScreenshotPanel::Sink() {
    screenshots::TPictureSink sink;
    sink.Show = [this](const TPixels &picture, const QByteArray &jpeg) { Show(picture, jpeg); };
    sink.LogLine = [this](const QString &message) { Log(message); };
    decodedFor_ = DBImage->size().expandedTo(QSize(1, 1));
    sink.Display.FitWidth = decodedFor_.width();
    sink.Display.FitHeight = decodedFor_.height();
    return sink;
}

void TScreenshotPanel::Show(const TPixels &picture, const QByteArray &jpeg) {
    shownBytes_ = jpeg;
    scaledDown_ = picture.ScaleDenominator > 1;
    error_.clear();
    DBImage->SetPicture(screenshots::ToImage(picture));
}

void TScreenshotPanel::Decode(const QByteArray &bytes) {
    shownBytes_ = bytes;
    error_.clear();
    scaledDown_ = false;
    DBImage->SetPicture(QImage());  // never the picture of another record
    if (bytes.isEmpty()) return;
    try {
        const screenshots::TPictureSink sink = Sink();
        Show(DecodeJpeg(bytes, sink.Display), bytes);
    } catch (const std::exception &e) {
        // No box while the user moves through records: the panel stays empty
        // and the zoom window reports the error when opened.
        error_ = QString::fromStdString(e.what());
    }
}

void TScreenshotPanel::Reload(bool recordChanged) {
    const QByteArray bytes = Column().Bytes();
    if (!recordChanged && bytes == columnBytes_) return;
    columnBytes_ = bytes;
    if (bytes == shownBytes_ && (bytes.isEmpty() || !DBImage->Picture().isNull() || !error_.isEmpty())) return;
    Decode(bytes);
}

void TScreenshotPanel::BtnImportClick() {
    const std::optional<screenshots::TChosenFile> chosen = screenshots::RunFileDialog(OpenPictureDialogBild);
    if (!chosen) return;
    TScreenshotColumn column = Column();
    try {
        if (chosen->Type == 3) {
            const QString folder = host_.ProgramFolder ? host_.ProgramFolder() : QString();
            if (folder.isEmpty()) throw std::runtime_error("Der Programmordner ist noch nicht bekannt");
            TPixels bitmap;
            {
                TWaitCursor busy;
                bitmap = screenshots::LoadBitmapFile(chosen->Path);
            }
            screenshots::StoreBitmapAsJpeg(bitmap, Quality(), folder, column, Sink());
        } else if (chosen->Type == 1 || chosen->Type == 2) {
            if (screenshots::ImportJpegFile(chosen->Path, column, Sink()) && host_.Shell) host_.Shell->SetSaveEnabled(true);
        }
    } catch (const std::exception &e) {
        Report(e);
        Reload(true);  // the panel shows what the column holds, as before
    }
}

void TScreenshotPanel::BtnExportClick() {
    if (host_.Zoom) {
        host_.Zoom->BtnExportClick();
        return;
    }
    if (!saveDialog_) saveDialog_ = screenshots::MakeSavePictureDialog(this);
    screenshots::ExportScreenshot(saveDialog_, Column(), host_.Shell);
}

void TScreenshotPanel::DBImageDblClick() {
    if (host_.Zoom) TDialogs::Current().ShowModal(host_.Zoom);
}

void TScreenshotPanel::PastePicture() {
    TScreenshotColumn column = Column();
    if (!column.Editing()) return;
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull()) {
        if (host_.Shell) host_.Shell->StatusMessage(QStringLiteral("Die Zwischenablage enthält kein Bild"));
        return;
    }
    try {
        if (qint64(image.width()) * image.height() > kMaxPicturePixels)
            throw EPictureRefused(PictureTooLargeText(image.width(), image.height()).toStdString());
        TWaitCursor busy;
        const QByteArray jpeg = EncodeJpeg(screenshots::FromImage(image), Quality());
        const screenshots::TPictureSink sink = Sink();
        Show(DecodeJpeg(jpeg, sink.Display), jpeg);
        column.Store(jpeg);
        if (host_.Shell) host_.Shell->SetSaveEnabled(true);
    } catch (const std::exception &e) {
        Report(e);
        Reload(true);
    }
}
