#include "app/window/StatusBarMain.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QToolTip>

#include "app/window/icons/ImageListMain.h"
#include "platform/window/CapsLock.h"
#include "platform/core/GermanFormat.h"

void TElidedLabel::SetFullText(const QString &text) {
    full_ = text;
    Elide();
}

void TElidedLabel::resizeEvent(QResizeEvent *event) {
    QLabel::resizeEvent(event);
    Elide();
}

bool TElidedLabel::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip && Elided()) {
        const QString hint = toolTip();
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), hint.isEmpty() ? full_ : hint + QLatin1Char('\n') + full_, this);
        return true;
    }
    return QLabel::event(event);
}

void TElidedLabel::Elide() {
    const int room = contentsRect().width() - 2 * margin() - 4;
    QLabel::setText(fontMetrics().elidedText(full_, Qt::ElideRight, qMax(room, 0)));
}

TStatusBarMain::TStatusBarMain(const QString &homepage, QWidget *parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBarMain"));
    setSizeGripEnabled(true);
    static constexpr int widths[PanelCount] = {20, 60, 130, 400, 145, 40, 50, 50};
    static const char *const hints[PanelCount] = {
        "Verbindung zur Datenbank hergestellt oder unterbrochen",
        "Status der Datenmenge (Browse = Anzeigen, Edit = Bearbeiten, Insert = Einfügen)",
        "",
        "Fehler-/ Hinweismeldungen",
        "Aufruf dieser Homepage durch den Standardbrowser",
        "Festelltaste gedrückt?",
        "aktuelle Uhrzeit",
        "aktuelles Datum"};
    // The widths suit an 8-point window font; a larger desktop font gets
    // proportionally wider panels so that their texts stay readable.
    const double scale = qMax(1.0, fontMetrics().averageCharWidth() / 5.0);
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < PanelCount; ++i) {
        // The database path and the status message may be longer than their panels.
        QLabel *label = i == 2 || i == 3 ? new TElidedLabel(row) : new QLabel(row);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setToolTip(QString::fromUtf8(hints[i]));
        label->setFixedWidth(i == 0 ? widths[i] : int(widths[i] * scale));
        // Time, date and the link show fixed texts that must not be cut.
        const char *const widest[PanelCount] = {nullptr, nullptr, nullptr, nullptr, nullptr, "CAP", "00:00:00", "00.00.0000"};
        if (widest[i])
            label->setFixedWidth(qMax(label->minimumWidth(), label->fontMetrics().horizontalAdvance(QString::fromLatin1(widest[i])) + 12));
        if (i == 0) label->setAlignment(Qt::AlignCenter);
        if (i >= 5) label->setAlignment(Qt::AlignCenter);
        panels_[size_t(i)] = label;
        layout->addWidget(label, i == 3 ? 1 : 0);
    }
    panels_[3]->setMinimumWidth(120);
    panels_[3]->setMaximumWidth(QWIDGETSIZE_MAX);
    QLabel *link = panels_[4];
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    link->setOpenExternalLinks(true);  // the desktop's default browser
    link->setText(QStringLiteral("<a href=\"%1\" style=\"color:blue\">%1</a>").arg(homepage.toHtmlEscaped()));
    link->setFixedWidth(qMax(link->minimumWidth(), link->fontMetrics().horizontalAdvance(homepage) + 12));
    addPermanentWidget(row, 1);  // never hidden by a passing status tip
    setMinimumHeight(qMax(19, fontMetrics().height() + 6));

    CapsLockState = [] { return CapsLockOn(); };
    refresh_.setInterval(100);
    connect(&refresh_, &QTimer::timeout, this, &TStatusBarMain::RefreshClockPanels);
    refresh_.start();
    RefreshClockPanels();
}

void TStatusBarMain::SetPanelText(int panel, const QString &text) {
    if (auto *e = qobject_cast<TElidedLabel *>(panels_.at(size_t(panel))))
        e->SetFullText(text);
    else
        panels_.at(size_t(panel))->setText(text);
}

QString TStatusBarMain::PanelText(int panel) const {
    if (auto *e = qobject_cast<TElidedLabel *>(panels_.at(size_t(panel)))) return e->FullText();
    return panels_.at(size_t(panel))->text();
}

void TStatusBarMain::SetPanelHint(int panel, const QString &hint) { panels_.at(size_t(panel))->setToolTip(hint); }

QString TStatusBarMain::PanelHint(int panel) const { return panels_.at(size_t(panel))->toolTip(); }

void TStatusBarMain::SetPanelImage(ImageListMain::Index imageIndex) {
    image_ = imageIndex;
    // Painted for the screen's scale, so that it stays sharp at 200 %.
    panels_[0]->setPixmap(ImageListMain::Icon(imageIndex).pixmap(QSize(ImageListMain::Size, ImageListMain::Size), devicePixelRatioF()));
}

void TStatusBarMain::RefreshClockPanels() {
    const QString caps = CapsLockState && CapsLockState() ? QStringLiteral("CAP") : QString();
    if (panels_[5]->text() != caps) panels_[5]->setText(caps);
    const QDateTime now = QDateTime::currentDateTime();
    const QString time = de::TimeText(now.time());
    if (panels_[6]->text() != time) panels_[6]->setText(time);
    const QString date = de::DateText(now.date());
    if (panels_[7]->text() != date) panels_[7]->setText(date);
}
