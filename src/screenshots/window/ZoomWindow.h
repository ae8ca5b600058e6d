#pragma once
// The zoom window: the access record's picture at a chosen scale, and its
// export. Created once; the scale stays from one opening to the next.

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>
#include <functional>

#include "screenshots/core/Screenshots.h"
#include "screenshots/window/ImageView32.h"

class TShell;

// What the zoom window shows and where it cleans up.
struct TZoomSource {
    TScreenshotColumn Column;
    std::function<QString()> ProgramFolder;  // with trailing separator
    TShell *Shell = nullptr;                 // the error box of export failures
};

class TfrmZoom : public QDialog {
    Q_OBJECT
public:
    explicit TfrmZoom(QWidget *parent = nullptr);
    void Attach(const TZoomSource &source) { source_ = source; }
    const TZoomSource &Source() const { return source_; }

    // The scale: slider position / 10, at least 0.001.
    double ZoomFactor() const { return zoom_; }
    static double FactorOf(int position);

    void FormShow();
    void FormClose();
    void GaugeBarZoomUserChange();
    void BtnCancelZoomClick();
    void BtnExportClick();

    QToolBar *ToolBarZoom;
    QAction *BtnExport;
    QSlider *GaugeBarZoom;
    QAction *BtnCancelZoom;
    TImageView32 *ImageView32;
    QStatusBar *StatusBarZoom;
    QFileDialog *SaveDialogBild;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TZoomSource source_;
    double zoom_ = 1.5;
    // The picture of the last opening, kept while the column holds the same bytes.
    QByteArray shownBytes_;
};
