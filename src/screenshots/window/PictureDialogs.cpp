#include "screenshots/window/PictureDialogs.h"

#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>

#include "platform/core/Dialogs.h"
#include "store/core/Shell.h"

namespace screenshots {

QImage ToImage(const TPixels &pixels) {
    if (pixels.IsEmpty()) return {};
    // The image keeps its own reference to the (implicitly shared) bytes,
    // and to what they point into.
    struct Keep {
        QByteArray Data;
        std::shared_ptr<const void> Owner;
    };
    auto *keep = new Keep{pixels.Data, pixels.Owner};
    const QImage::Format format = pixels.Order == TPixels::Layout::Rgb ? QImage::Format_RGB888 : QImage::Format_RGB32;
    return QImage(reinterpret_cast<const uchar *>(keep->Data.constData()), pixels.Width, pixels.Height, pixels.Stride,
                  format, [](void *p) { delete static_cast<Keep *>(p); }, keep);
}

TPixels FromImage(const QImage &image) {
    if (image.isNull()) return {};
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    // No copy of the pixels: the buffer points into the image it keeps.
    auto owner = std::make_shared<const QImage>(rgb);
    TPixels p;
    p.Width = owner->width();
    p.Height = owner->height();
    p.Stride = int(owner->bytesPerLine());
    p.Order = TPixels::Layout::Bgrx;
    p.Data = QByteArray::fromRawData(reinterpret_cast<const char *>(owner->constBits()), owner->sizeInBytes());
    p.Owner = std::move(owner);
    return p;
}

TPixels LoadBitmapFile(const QString &path) {
    QImageReader reader(path);
    reader.setAutoTransform(false);
    // Qt's own limit is lower than ours; the pixel count is checked below.
    QImageReader::setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPicturePixels)
        throw EPictureRefused(PictureTooLargeText(size.width(), size.height()).toStdString());
    QImage image;
    if (!reader.read(&image))
        throw EPictureFileError(QStringLiteral("Die Datei %1 kann nicht als Bild gelesen werden: %2")
                                    .arg(QDir::toNativeSeparators(path), reader.errorString())
                                    .toStdString());
    return FromImage(image);
}

QStringList OpenPictureFilters() {
    return {QStringLiteral("JPEG Image File (*.jpg)"), QStringLiteral("JPEG Image File (*.jpeg)"),
            QStringLiteral("Bitmaps (*.bmp)")};
}

QStringList SavePictureFilters() { return {QStringLiteral("JPEG Image File (*.jpg)")}; }

namespace {
// The preview beside the open dialog's list: the picture under the cursor,
// read at a small size.
void AddPreview(QFileDialog *dialog) {
    auto *grid = qobject_cast<QGridLayout *>(dialog->layout());
    if (!grid) return;
    auto *preview = new QLabel(dialog);
    preview->setObjectName(QStringLiteral("PicturePreview"));
    preview->setFixedSize(180, 180);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    QObject::connect(dialog, &QFileDialog::currentChanged, preview, [preview](const QString &path) {
        QImageReader reader(path);
        const QSize size = reader.size();
        QImage image;
        if (size.isValid() && qint64(size.width()) * size.height() <= kMaxPicturePixels) {
            reader.setScaledSize(size.scaled(preview->size(), Qt::KeepAspectRatio));
            image = reader.read();
        }
        preview->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    });
}
}  // namespace

QFileDialog *MakeOpenPictureDialog(QWidget *parent) {
    auto *d = new QFileDialog(parent);
    d->setObjectName(QStringLiteral("OpenPictureDialogBild"));
    d->setOption(QFileDialog::DontUseNativeDialog);  // the preview needs our own dialog
    d->setAcceptMode(QFileDialog::AcceptOpen);
    d->setFileMode(QFileDialog::ExistingFile);
    d->setNameFilters(OpenPictureFilters());
    AddPreview(d);
    return d;
}

QFileDialog *MakeSavePictureDialog(QWidget *parent) {
    auto *d = new QFileDialog(parent);
    d->setObjectName(QStringLiteral("SaveDialogBild"));
    d->setOption(QFileDialog::DontUseNativeDialog);
    // The question before replacing a file comes after the default extension
    // is added, through TDialogs.
    d->setOption(QFileDialog::DontConfirmOverwrite);
    d->setAcceptMode(QFileDialog::AcceptSave);
    d->setFileMode(QFileDialog::AnyFile);
    d->setNameFilters(SavePictureFilters());
    return d;
}

std::optional<TChosenFile> RunFileDialog(QFileDialog *dialog) {
    if (TDialogs::Current().ShowModal(dialog) != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog->selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    const int type = int(dialog->nameFilters().indexOf(dialog->selectedNameFilter())) + 1;
    return TChosenFile{files.first(), type};
}

void ExportScreenshot(QFileDialog *saveDialog, const TScreenshotColumn &column, TShell *shell) {
    // Each export starts with an empty name, not the one of the last export.
    saveDialog->selectFile(QString());
    for (QLineEdit *name : saveDialog->findChildren<QLineEdit *>(QStringLiteral("fileNameEdit"))) name->clear();
    const std::optional<TChosenFile> chosen = RunFileDialog(saveDialog);
    if (!chosen || chosen->Type != 1) return;
    try {
        ExportBytes(chosen->Path, column.Bytes(), TDialogs::Current());
    } catch (const std::exception &e) {
        if (shell) shell->ShowError(e);
        else TDialogs::Current().ShowError(e);
    }
}

}  // namespace screenshots
