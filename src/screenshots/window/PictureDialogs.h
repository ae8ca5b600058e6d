#pragma once
// What the screenshot windows share: pictures between the codec's pixel
// buffers and Qt images, bitmaps read with Qt's image reader, the open and
// save dialogs (run through TDialogs, so tests answer them) and the export.

#include <QFileDialog>
#include <QImage>
#include <optional>

#include "screenshots/core/Screenshots.h"

class TShell;

namespace screenshots {

// A 32-bit image sharing the buffer's bytes (no copy).
QImage ToImage(const TPixels &pixels);
// The image's pixels as a buffer the encoder takes.
TPixels FromImage(const QImage &image);
// A bitmap file through Qt's image reader; the size is checked before any
// pixel is read. EPictureFileError or EPictureRefused on failure.
TPixels LoadBitmapFile(const QString &path);

// OpenPictureDialogBild's filter, as the dialog lists its three types.
QStringList OpenPictureFilters();  // "JPEG Image File (*.jpg)", "JPEG Image File (*.jpeg)", "Bitmaps (*.bmp)"
QStringList SavePictureFilters();  // "JPEG Image File (*.jpg)"

struct TChosenFile {
    QString Path;
    int Type = 0;  // the chosen entry of the type list, 1-based
};

// The file-open dialog with a picture preview.
QFileDialog *MakeOpenPictureDialog(QWidget *parent);
// The export's file-save dialog.
QFileDialog *MakeSavePictureDialog(QWidget *parent);
// Runs a file dialog modally through TDialogs; nothing when cancelled.
std::optional<TChosenFile> RunFileDialog(QFileDialog *dialog);

// The export command: the save dialog with an empty name, then the column's
// bytes unchanged into the chosen file. Failures go to the error box.
void ExportScreenshot(QFileDialog *saveDialog, const TScreenshotColumn &column, TShell *shell);

}  // namespace screenshots
