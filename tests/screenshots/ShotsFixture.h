#pragma once
// The screenshot panel and the zoom window in a small host of their own: the
// access dataset of a fresh program folder, a shell that records, scripted
// dialogs, and a tool bar the panel's commands sit on.

#include <QFileDialog>
#include <QLineEdit>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>

#include "ColumnFixture.h"
#include "screenshots/window/PictureDialogs.h"
#include "screenshots/window/ScreenshotPanel.h"
#include "screenshots/window/ZoomWindow.h"
#include "store/core/Shell.h"
#include "support/window/ScriptedWindowDialogs.h"

struct TRecordingShell : TShell {
    void StatusMessage(const QString &text) override { status = text; }
    QString CurrentStatusMessage() const override { return status; }
    void LogLine(const QString &message) override { log << message; }
    void SetSaveEnabled(bool enabled) override { save = enabled; }
    bool SaveEnabled() const override { return save; }
    void ShowError(const std::exception &e) override { TDialogs::Current().ShowError(e); }
    void EndProgram() override {}
    QString status;
    QStringList log;
    bool save = false;
};

struct ShotsFixture : ColumnFixture {
    ShotsFixture() : dialogs(TScriptedWindowDialogs::Install()) {
        zoom.Attach({Column(), [this] { return Folder(); }, &shell});
        auto *layout = new QVBoxLayout(&host);
        toolBar = new QToolBar(&host);
        layout->addWidget(toolBar);
        panel = new TScreenshotPanel(
            {dm->DataSourceZugangsdaten, QStringLiteral("SCREENSHOT"), &shell, [this] { return Folder(); }, {}, &zoom},
            &host);
        panel->setFixedSize(285, 228);
        panel->AddToToolBar(toolBar);
        layout->addWidget(panel);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
    }

    // The file dialog's answer: this file under type `type` (1-based).
    void AnswerFile(const QString &path, int type = 1) {
        dialogs.AnswerModal([path, type](QDialog *d) {
            auto *fd = qobject_cast<QFileDialog *>(d);
            QVERIFY(fd);
            fd->selectNameFilter(fd->nameFilters().value(type - 1));
            // Typed into the name box, as a user does, and confirmed.
            QLineEdit *name = NameBox(fd);
            QVERIFY(name);
            name->setText(path);
            d->accept();
        });
    }
    static QLineEdit *NameBox(QFileDialog *d) { return d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")); }
    void CancelFile() {
        dialogs.AnswerModal([](QDialog *d) { d->reject(); });
    }
    // A bitmap file of the pattern.
    QString BitmapFile(const QString &name, int width, int height) {
        const QString path = folder.File(name);
        const bool saved = screenshots::ToImage(Pattern(width, height, TPixels::Layout::Bgrx, 5)).save(path, "BMP");
        if (!saved) qWarning("bitmap not written");
        return path;
    }
    QString JpegFile(const QString &name, const QByteArray &bytes) {
        const QString path = folder.File(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
        return path;
    }
    // The picture the panel shows for these JPEG bytes.
    QImage PanelPictureOf(const QByteArray &jpeg) const {
        TJpegDecodeOptions o;
        o.FitWidth = panel->DBImage->width();
        o.FitHeight = panel->DBImage->height();
        return screenshots::ToImage(DecodeJpeg(jpeg, o));
    }
    QStringList Errors() const {
        QStringList out;
        for (const TDialogCall &c : dialogs.Messages())
            if (c.Icon == TMsgIcon::Error) out << c.Text;
        return out;
    }
    // Opens the zoom window; `script` acts on it while it is shown.
    // By a double click, or by Enter on the picture.
    void OpenZoom(const std::function<void(TfrmZoom &)> &script = {}, bool byKey = false) {
        dialogs.AnswerModal([script](QDialog *d) {
            if (script) script(*static_cast<TfrmZoom *>(d));
        });
        if (byKey)
            QTest::keyClick(panel->DBImage, Qt::Key_Return);
        else
            QTest::mouseDClick(panel->DBImage, Qt::LeftButton);
    }

    TScriptedDialogs &dialogs;
    TRecordingShell shell;
    TfrmZoom zoom;
    QWidget host;
    QToolBar *toolBar = nullptr;
    TScreenshotPanel *panel = nullptr;
};
