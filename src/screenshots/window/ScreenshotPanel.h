#pragma once
// The picture panel of the access-data tab: the picture of the current
// record scaled to fit, the import and export commands, the JPEG quality
// slider and paste. The tab hosts it; the panel only needs the column, the
// shell and the zoom window.

#include <QAction>
#include <QFileDialog>
#include <QFrame>
#include <QMenu>
#include <QSlider>
#include <functional>

#include "screenshots/core/Screenshots.h"

class QToolBar;
class TDataSource;
class TShell;
class TfrmZoom;

// The data-aware picture: drawn scaled to fit in both directions,
// proportions kept, centred, on the grid colour.
class TDBImage : public QFrame {
    Q_OBJECT
public:
    explicit TDBImage(QWidget *parent = nullptr);
    void SetPicture(const QImage &picture);
    const QImage &Picture() const { return picture_; }
    // Where the picture is drawn in the control.
    QRect PictureRect() const;

signals:
    void DoubleClicked();
    void PasteRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QImage picture_;
};

struct TScreenshotHost {
    TDataSource *Source = nullptr;                 // DataSourceZugangsdaten
    QString Field = QStringLiteral("SCREENSHOT");
    TShell *Shell = nullptr;                       // error box, save button
    std::function<QString()> ProgramFolder;        // with trailing separator
    std::function<void(const QString &)> LogLine;  // the shell's LogLine when empty
    TfrmZoom *Zoom = nullptr;                      // double click opens it; its export serves BtnExport
};

class TScreenshotPanel : public QWidget {
    Q_OBJECT
public:
    TScreenshotPanel(const TScreenshotHost &host, QWidget *parent = nullptr);

    // Puts BtnImport, BtnExport and the quality slider on a tool bar.
    void AddToToolBar(QToolBar *toolBar);
    TScreenshotColumn Column() const;
    int Quality() const { return VrTrackBarQualityJPG->value(); }

    void BtnImportClick();
    void BtnExportClick();
    void VrTrackBarQualityJPGChange();
    void DBImageDblClick();
    // Ctrl+V and "Bild einfügen": the clipboard's picture as JPEG.
    void PastePicture();
    // Follows the column of the current record; decodes only new bytes.
    void Reload(bool recordChanged);

    // What the last decoding of the column reported (empty when it worked).
    QString PictureError() const { return error_; }

    TDBImage *DBImage;
    QAction *BtnImport;
    QAction *BtnExport;
    QSlider *VrTrackBarQualityJPG;
    QAction *BildEinfuegen;
    QMenu *PopupMenuImage;
    QFileDialog *OpenPictureDialogBild;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    screenshots::TPictureSink Sink();
    void Show(const TPixels &picture, const QByteArray &jpeg);
    void Decode(const QByteArray &bytes);
    void Log(const QString &message);
    void ImportStateChanged();
    void Report(const std::exception &e);

    TScreenshotHost host_;
    QByteArray columnBytes_;  // the column's content last seen
    QByteArray shownBytes_;   // the JPEG the shown picture was decoded from
    QSize decodedFor_;        // the panel size the picture was decoded for
    bool scaledDown_ = false; // decoded below full size
    QString error_;
    QFileDialog *saveDialog_ = nullptr;  // the export's dialog while no zoom window is attached
};
