#include "platform/window/KeyHints.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusFrame>
#include <QHelpEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <QToolButton>
#include <QToolTip>

namespace keyhints {

namespace {
const char kKeysProperty[] = "tresoroKeys";

QString GermanKeyName(const QString &part) {
    static const std::pair<const char *, const char *> names[] = {
        {"Ctrl", "Strg"},      {"Shift", "Umschalt"},   {"Ins", "Einfg"},   {"Del", "Entf"},
        {"Return", "Eingabe"}, {"Backspace", "Rück"},   {"PgUp", "Bild auf"}, {"PgDown", "Bild ab"},
        {"Home", "Pos1"},      {"End", "Ende"},         {"Menu", "Menü"},   {"Space", "Leertaste"},
    };
    for (const auto &[english, german] : names)
        if (part == QLatin1String(english)) return QString::fromUtf8(german);
    return part;
}
}  // namespace

QString KeyText(const QKeySequence &key) {
    QStringList chords;
    for (int i = 0; i < key.count(); ++i) {
        // PortableText names keys the same on every desktop; "+" as a key of its own stays whole.
        const QString chord = QKeySequence(key[i]).toString(QKeySequence::PortableText);
        QStringList parts = chord.split(QLatin1Char('+'));
        if (chord.endsWith(QLatin1String("++"))) {
            parts.removeLast();
            parts.last() = QStringLiteral("+");
        }
        for (QString &part : parts) part = GermanKeyName(part);
        chords << parts.join(QLatin1Char('+'));
    }
    return chords.join(QStringLiteral(", "));
}

QString KeysText(const QList<QKeySequence> &keys) {
    QStringList texts;
    for (const QKeySequence &key : keys) texts << KeyText(key);
    return texts.join(QStringLiteral(" oder "));
}

namespace {
QString HintOf(const QObject *source) {
    if (auto *action = qobject_cast<const QAction *>(source)) return action->toolTip();
    if (auto *widget = qobject_cast<const QWidget *>(source)) return widget->toolTip();
    return {};
}

QString Shown(const QObject *source) {
    const QString keys = source->property(kKeysProperty).toString();
    const QString hint = HintOf(source);
    if (keys.isEmpty()) return hint;
    if (hint.isEmpty()) return keys;
    return hint + QStringLiteral(" (") + keys + QLatin1Char(')');
}

class TKeyTip : public QObject {
public:
    explicit TKeyTip(QObject *source) : QObject(source), source_(source) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::ToolTip) {
            auto *help = static_cast<QHelpEvent *>(event);
            QToolTip::showText(help->globalPos(), Shown(source_), static_cast<QWidget *>(watched));
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QObject *source_;
};

// Returns whether the source had no keys named yet.
bool SetKeys(QObject *source, const QString &keys) {
    const bool first = !source->property(kKeysProperty).isValid();
    source->setProperty(kKeysProperty, keys);
    return first;
}
}  // namespace

void NameKeys(QAction *action, const QString &keys) {
    if (!SetKeys(action, keys)) return;
    auto *tip = new TKeyTip(action);
    for (QObject *shown : action->associatedObjects())
        if (auto *button = qobject_cast<QToolButton *>(shown)) {
            button->installEventFilter(tip);
            button->setAccessibleDescription(keys);
        }
}

void NameKeys(QToolButton *button, const QString &keys) {
    if (!SetKeys(button, keys)) return;
    button->installEventFilter(new TKeyTip(button));
    button->setAccessibleDescription(keys);
}

QString ShownHint(const QAction *action) { return Shown(action); }
QString ShownHint(const QToolButton *button) { return Shown(button); }

void AttachContextMenu(QWidget *widget, QMenu *menu) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, menu, [widget, menu](const QPoint &p) {
        auto *area = qobject_cast<QAbstractScrollArea *>(widget);
        menu->popup((area ? area->viewport() : widget)->mapToGlobal(p));
    });
}

void RequestContextMenu(QWidget *focus) {
    if (!focus || !focus->isEnabled()) return;
    // The same request the platform makes for the menu key.
    QPoint pos = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QWidget *origin = focus;
    if (auto *area = qobject_cast<QAbstractScrollArea *>(focus)) origin = area->viewport();
    if (!origin->rect().contains(pos)) pos = origin->rect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, pos, origin->mapToGlobal(pos));
    QApplication::sendEvent(focus, &request);
}

namespace {
// The part of the ring that its parent shows: a control that fills its
// parent (a list in a splitter) leaves no room outside it, so there the ring
// runs just inside the parent's edge.
QRect ShownPart(const QWidget *ring) {
    QRect shown = ring->rect();
    if (ring->parentWidget()) shown &= QRect(ring->mapFromParent(QPoint(0, 0)), ring->parentWidget()->size());
    return shown;
}

constexpr int kRingWidth = 3;

// Lets the ring through only along the shown part's edge, so that the
// control inside stays visible and the ring shows on all four sides.
class TRingStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget, QStyleHintReturn *returnData) const override {
        if (hint == SH_FocusFrame_Mask && widget) {
            if (auto *mask = qstyleoption_cast<QStyleHintReturnMask *>(returnData)) {
                const QRect shown = ShownPart(widget);
                mask->region = QRegion(shown) - QRegion(shown.adjusted(kRingWidth, kRingWidth, -kRingWidth, -kRingWidth));
            }
            return 1;
        }
        // Above the control, or a control that fills its parent hides it.
        if (hint == SH_FocusFrame_AboveWidget) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Drawn over the control's edge in the highlight colour, so it shows on
// every look, coloured fields and grids included.
class TFocusRing : public QFocusFrame {
public:
    explicit TFocusRing(QWidget *parent) : QFocusFrame(parent) {
        auto *style = new TRingStyle;
        style->setParent(this);
        setStyle(style);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        QPen pen(palette().color(QPalette::Active, QPalette::Highlight), 2);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.drawRect(QRectF(ShownPart(this)).adjusted(1, 1, -1, -1));
    }
};

QPointer<TFocusRing> ring;

bool Framed(QWidget *w) {
    if (!w || !w->parentWidget() || w->isWindow()) return false;
    if (w->window()->windowType() == Qt::Popup || w->window()->windowType() == Qt::ToolTip) return false;
    return true;
}
}  // namespace

void InstallFocusRing() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    auto follow = [](QWidget *now) {
        if (!Framed(now)) {
            if (ring) ring->setWidget(nullptr);
            return;
        }
        // Made with its first control and parented beside it, so it goes
        // with the window it was last in; a later focus makes a new one.
        if (!ring) {
            ring = new TFocusRing(now->parentWidget());
            ring->setObjectName(QStringLiteral("FocusRing"));
        }
        ring->setWidget(now);
    };
    QObject::connect(qApp, &QApplication::focusChanged, qApp, [follow](QWidget *, QWidget *now) { follow(now); });
    follow(QApplication::focusWidget());
}

QWidget *FocusRingTarget() { return ring ? ring->widget() : nullptr; }

}  // namespace keyhints
