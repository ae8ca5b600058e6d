#pragma once
// The main window's status bar: eight panels of fixed widths. Panels 5 to 7
// (caps lock, time, date) refresh themselves every 100 milliseconds.

#include <QLabel>

#include "app/window/icons/ImageListMain.h"
#include <QStatusBar>
#include <QTimer>
#include <array>
#include <functional>

class TElidedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void SetFullText(const QString &text);
    QString FullText() const { return full_; }
    // A cut text is shown whole in the tool tip, below the panel's hint.
    bool Elided() const { return text() != full_; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    void Elide();
    QString full_;
};

class TStatusBarMain : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int PanelCount = 8;
    explicit TStatusBarMain(const QString &homepage, QWidget *parent = nullptr);

    void SetPanelText(int panel, const QString &text);
    QString PanelText(int panel) const;
    void SetPanelHint(int panel, const QString &hint);
    QString PanelHint(int panel) const;
    // Panel 0 shows an image of the main image list.
    void SetPanelImage(ImageListMain::Index imageIndex);
    int PanelImage() const { return image_; }
    QLabel *Panel(int panel) const { return panels_.at(size_t(panel)); }

    // The 100 ms refresh of caps lock, time and date.
    void RefreshClockPanels();
    // Where the caps-lock state comes from (tests replace it).
    std::function<bool()> CapsLockState;

private:
    std::array<QLabel *, PanelCount> panels_{};
    QTimer refresh_;
    int image_ = -1;
};
