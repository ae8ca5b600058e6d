#include "planning/window/PlannerCalendar.h"

#include <QDateTime>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr int kColumns = 7;
constexpr int kRows = 6;  // enough for any month: at most 31 days from a Sunday
constexpr int kDesignWidth = 183;
constexpr int kDesignHeight = 181;

const QColor kTeal(0, 128, 128);
const QColor kTealDark(0, 84, 84);
const QColor kWeekend(200, 16, 32);
const QColor kInk(40, 56, 64);           // arrows and title
const QColor kMuted(96, 110, 118);       // day names
const QColor kRule(214, 223, 227);       // separator lines
const QColor kBorder(160, 174, 181);
const QColor kHover(226, 240, 240);
const QColor kButtonHover(207, 224, 228);
const QColor kButtonDown(178, 204, 210);

QColor Blend(const QColor &a, const QColor &b, qreal t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// A chevron pointing left or right, centred on c.
void Chevron(QPainter &p, QPointF c, bool left, qreal half) {
    const qreal dx = left ? half * 0.55 : -half * 0.55;
    QPainterPath path;
    path.moveTo(c.x() + dx, c.y() - half);
    path.lineTo(c.x() - dx, c.y());
    path.lineTo(c.x() + dx, c.y() + half);
    p.drawPath(path);
}

bool InRange(const QDate &date) {
    return date.isValid() && date.year() >= TPlannerCalendar::FirstYear && date.year() <= TPlannerCalendar::LastYear;
}

}  // namespace

struct TPlannerCalendar::Layout {
    QRect header;
    std::array<QRect, 4> buttons;  // previous year, previous month, next month, next year
    QRect title;
    QRect names;
    QRect grid;
    QRect todayLine;
    QRect todayLink;  // the clickable text within the today line
    qreal columnWidth = 0;
    qreal rowHeight = 0;

    QRect Cell(int column, int row) const {
        const int x0 = grid.left() + qRound(column * columnWidth);
        const int x1 = grid.left() + qRound((column + 1) * columnWidth);
        const int y0 = grid.top() + qRound(row * rowHeight);
        const int y1 = grid.top() + qRound((row + 1) * rowHeight);
        return QRect(x0, y0, x1 - x0, y1 - y0);
    }
    QRect Column(int column) const {
        const QRect c = Cell(column, 0);
        return QRect(c.left(), names.top(), c.width(), names.height());
    }
};

TPlannerCalendar::TPlannerCalendar(QWidget *parent) : QWidget(parent), m_selected(QDate::currentDate()) {
    setObjectName(QStringLiteral("PlannerCalendar"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    if (!InRange(m_selected)) m_selected = QDate(LastYear, 12, 31);
    m_midnight = new QTimer(this);
    m_midnight->setSingleShot(true);
    connect(m_midnight, &QTimer::timeout, this, [this] {
        Repaint();
        ArmMidnightTimer();
    });
    ArmMidnightTimer();
}

TPlannerCalendar::~TPlannerCalendar() = default;

// ------------------------------------------------------------ selection

void TPlannerCalendar::SetSelectedDate(const QDate &date) {
    if (!InRange(date) || date == m_selected) return;
    const bool monthChanges = date.year() != m_selected.year() || date.month() != m_selected.month();
    m_selected = date;
    Repaint();
    emit SelectionChanged();
    if (monthChanges) emit MonthChanged();
}

void TPlannerCalendar::SetYear(int year) {
    year = std::clamp(year, FirstYear, LastYear);
    const int month = m_selected.month();
    SetSelectedDate(QDate(year, month, std::min(m_selected.day(), QDate(year, month, 1).daysInMonth())));
}

void TPlannerCalendar::SetMonth(int month) {
    month = std::clamp(month, 1, 12);
    const int year = m_selected.year();
    SetSelectedDate(QDate(year, month, std::min(m_selected.day(), QDate(year, month, 1).daysInMonth())));
}

void TPlannerCalendar::SetDay(int day) {
    SetSelectedDate(QDate(m_selected.year(), m_selected.month(), std::clamp(day, 1, m_selected.daysInMonth())));
}

void TPlannerCalendar::ShowToday() { SetSelectedDate(Today()); }

QDate TPlannerCalendar::Today() const { return m_todayOverride.isValid() ? m_todayOverride : QDate::currentDate(); }

void TPlannerCalendar::SetToday(const QDate &date) {
    m_todayOverride = date;
    ArmMidnightTimer();
    Repaint();
}

void TPlannerCalendar::MoveSelection(int days) { SetSelectedDate(m_selected.addDays(days)); }

// addMonths keeps the day where the target month has it and otherwise takes
// the month's last day.
void TPlannerCalendar::MoveMonths(int months) { SetSelectedDate(m_selected.addMonths(months)); }

// ------------------------------------------------------------ markers

void TPlannerCalendar::AddMarker(const QDate &date, Shape shape, const QColor &color, const QString &hint) {
    if (!date.isValid()) return;
    m_markers.append(Marker{date, shape, color, hint});
    if (!m_firstMarker.contains(date)) {
        m_firstMarker.insert(date, m_markers.size() - 1);
        if (date.year() == ShownYear() && date.month() == ShownMonth()) Repaint();
    }
}

void TPlannerCalendar::ClearMarkers() {
    if (m_markers.isEmpty()) return;
    m_markers.clear();
    m_firstMarker.clear();
    Repaint();
}

void TPlannerCalendar::BeginUpdate() { ++m_updateDepth; }

void TPlannerCalendar::EndUpdate() {
    if (m_updateDepth == 0) return;
    if (--m_updateDepth == 0 && m_repaintPending) {
        m_repaintPending = false;
        update();
    }
}

void TPlannerCalendar::Repaint() {
    if (m_updateDepth > 0)
        m_repaintPending = true;
    else
        update();
}

std::optional<TPlannerCalendar::Marker> TPlannerCalendar::MarkerOn(const QDate &date) const {
    const auto it = m_firstMarker.constFind(date);
    if (it == m_firstMarker.cend()) return std::nullopt;
    return m_markers.at(it.value());
}

QString TPlannerCalendar::HintAt(const QDate &date) const {
    const auto marker = MarkerOn(date);
    return marker ? marker->hint : QString();
}

// ------------------------------------------------------------ texts

QString TPlannerCalendar::DayName(int dayOfWeek) {
    static const std::array<const char *, 7> names{"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
    return dayOfWeek >= 1 && dayOfWeek <= 7 ? QString::fromLatin1(names[size_t(dayOfWeek - 1)]) : QString();
}

QString TPlannerCalendar::MonthName(int month) {
    static const std::array<const char *, 12> names{"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                                    "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[size_t(month - 1)]) : QString();
}

QString TPlannerCalendar::TitleText() const { return MonthName(ShownMonth()) + QLatin1Char(' ') + QString::number(ShownYear()); }

QString TPlannerCalendar::TodayText() const {
    const QDate today = Today();
    return QStringLiteral("Heute: %1.%2, %3")
        .arg(today.day(), 2, 10, QLatin1Char('0'))
        .arg(today.month(), 2, 10, QLatin1Char('0'))
        .arg(today.year(), 4, 10, QLatin1Char('0'));
}

// ------------------------------------------------------------ geometry

TPlannerCalendar::Layout TPlannerCalendar::ComputeLayout() const {
    Layout l;
    const QFontMetrics fm(font());
    const int w = width(), h = height();
    const int headerHeight = std::max(20, fm.height() + 8);
    const int namesHeight = fm.height() + 4;
    const int todayHeight = fm.height() + 6;

    l.header = QRect(1, 1, w - 2, headerHeight);
    const int bh = headerHeight - 4, bw = std::max(16, bh - 2), by = l.header.top() + 2;
    l.buttons[0] = QRect(l.header.left() + 2, by, bw, bh);
    l.buttons[1] = QRect(l.buttons[0].right() + 1, by, bw, bh);
    l.buttons[3] = QRect(l.header.left() + l.header.width() - 2 - bw, by, bw, bh);
    l.buttons[2] = QRect(l.buttons[3].left() - bw, by, bw, bh);
    l.title = QRect(QPoint(l.buttons[1].right() + 1, l.header.top()), QPoint(l.buttons[2].left() - 1, l.header.bottom()));

    l.names = QRect(3, l.header.bottom() + 2, w - 6, namesHeight);
    l.todayLine = QRect(1, h - 1 - todayHeight, w - 2, todayHeight);
    const int gridTop = l.names.bottom() + 2;
    l.grid = QRect(l.names.left(), gridTop, l.names.width(), std::max(kRows, l.todayLine.top() - 1 - gridTop));
    l.columnWidth = l.grid.width() / qreal(kColumns);
    l.rowHeight = l.grid.height() / qreal(kRows);

    const int linkWidth = fm.horizontalAdvance(TodayText()) + fm.height() + 6;  // text and the sample frame
    l.todayLink = QRect(l.todayLine.center().x() - linkWidth / 2 - 3, l.todayLine.top() + 1, linkWidth + 6, l.todayLine.height() - 2);
    return l;
}

QPoint TPlannerCalendar::GridPosition(const QDate &date) const {
    if (!date.isValid() || date.year() != ShownYear() || date.month() != ShownMonth()) return QPoint(-1, -1);
    const int index = QDate(date.year(), date.month(), 1).dayOfWeek() - 1 + date.day() - 1;
    return QPoint(index % kColumns, index / kColumns);
}

QRect TPlannerCalendar::DayRect(const QDate &date) const {
    const QPoint at = GridPosition(date);
    return at.x() < 0 ? QRect() : ComputeLayout().Cell(at.x(), at.y());
}

TPlannerCalendar::Area TPlannerCalendar::AreaAt(const QPoint &pos, QDate *day) const {
    const Layout l = ComputeLayout();
    static constexpr std::array<Area, 4> buttons{Area::PreviousYear, Area::PreviousMonth, Area::NextMonth, Area::NextYear};
    for (size_t i = 0; i < buttons.size(); ++i)
        if (l.buttons[i].contains(pos)) return buttons[i];
    if (l.todayLink.contains(pos)) return Area::TodayLine;
    if (!l.grid.contains(pos)) return Area::None;
    const int column = std::clamp(int((pos.x() - l.grid.left()) / l.columnWidth), 0, kColumns - 1);
    const int row = std::clamp(int((pos.y() - l.grid.top()) / l.rowHeight), 0, kRows - 1);
    const QDate first(ShownYear(), ShownMonth(), 1);
    const int dayNumber = row * kColumns + column - (first.dayOfWeek() - 1) + 1;
    if (dayNumber < 1 || dayNumber > first.daysInMonth()) return Area::None;
    if (day) *day = QDate(ShownYear(), ShownMonth(), dayNumber);
    return Area::Day;
}

QDate TPlannerCalendar::DateAt(const QPoint &pos) const {
    QDate day;
    return AreaAt(pos, &day) == Area::Day ? day : QDate();
}

QRect TPlannerCalendar::ButtonRect(Button button) const {
    const Layout l = ComputeLayout();
    switch (button) {
    case Button::PreviousYear: return l.buttons[0];
    case Button::PreviousMonth: return l.buttons[1];
    case Button::NextMonth: return l.buttons[2];
    case Button::NextYear: return l.buttons[3];
    case Button::TodayLine: return l.todayLink;
    }
    return QRect();
}

QString TPlannerCalendar::ToolTipAt(const QPoint &pos) const {
    QDate day;
    switch (AreaAt(pos, &day)) {
    case Area::PreviousYear: return QStringLiteral("vorheriges Jahr");
    case Area::PreviousMonth: return QStringLiteral("vorheriger Monat");
    case Area::NextMonth: return QStringLiteral("nächster Monat");
    case Area::NextYear: return QStringLiteral("nächstes Jahr");
    case Area::Day: return HintAt(day);
    case Area::TodayLine:
    case Area::None: break;
    }
    return QString();
}

QSize TPlannerCalendar::sizeHint() const { return QSize(kDesignWidth, kDesignHeight); }

QSize TPlannerCalendar::minimumSizeHint() const {
    const QFontMetrics fm(font());
    const int cell = fm.horizontalAdvance(QStringLiteral("00")) + 6;
    return QSize(kColumns * cell + 6, std::max(20, fm.height() + 8) + 2 * fm.height() + 12 + kRows * (fm.height() + 2));
}

// ------------------------------------------------------------ input

void TPlannerCalendar::Activate(Area area) {
    switch (area) {
    case Area::PreviousYear: MoveMonths(-12); break;
    case Area::PreviousMonth: MoveMonths(-1); break;
    case Area::NextMonth: MoveMonths(1); break;
    case Area::NextYear: MoveMonths(12); break;
    case Area::TodayLine: ShowToday(); break;
    case Area::Day:
    case Area::None: break;
    }
}

void TPlannerCalendar::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    QDate day;
    const Area area = AreaAt(event->position().toPoint(), &day);
    if (area == Area::Day) {
        SetSelectedDate(day);
        emit DayClicked(day);
    } else {
        m_pressedArea = area;
        Repaint();
    }
    event->accept();
}

// Buttons act on release over the same button, as push buttons do.
void TPlannerCalendar::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const Area pressed = std::exchange(m_pressedArea, Area::None);
    if (pressed != Area::None && AreaAt(event->position().toPoint()) == pressed) Activate(pressed);
    Repaint();
    event->accept();
}

void TPlannerCalendar::mouseMoveEvent(QMouseEvent *event) {
    QDate day;
    const Area area = AreaAt(event->position().toPoint(), &day);
    SetHover(area, day);
    QWidget::mouseMoveEvent(event);
}

void TPlannerCalendar::leaveEvent(QEvent *event) {
    SetHover(Area::None, QDate());
    QWidget::leaveEvent(event);
}

void TPlannerCalendar::SetHover(Area area, const QDate &day) {
    if (area == m_hoverArea && day == m_hoverDay) return;
    if (area == Area::TodayLine)
        setCursor(Qt::PointingHandCursor);
    else if (m_hoverArea == Area::TodayLine)
        unsetCursor();
    m_hoverArea = area;
    m_hoverDay = day;
    Repaint();
}

void TPlannerCalendar::keyPressEvent(QKeyEvent *event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Left: MoveSelection(-1); break;
    case Qt::Key_Right: MoveSelection(1); break;
    case Qt::Key_Up: MoveSelection(-7); break;
    case Qt::Key_Down: MoveSelection(7); break;
    case Qt::Key_PageUp: MoveMonths(control ? -12 : -1); break;
    case Qt::Key_PageDown: MoveMonths(control ? 12 : 1); break;
    case Qt::Key_Home: SetDay(1); break;
    case Qt::Key_End: SetDay(m_selected.daysInMonth()); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

// One notch back shows the previous month, one notch on the next; smooth
// wheels and touch pads add up their small steps to whole notches.
void TPlannerCalendar::wheelEvent(QWheelEvent *event) {
    m_wheelRest += event->angleDelta().y();
    int months = 0;
    for (; m_wheelRest >= 120; m_wheelRest -= 120) --months;
    for (; m_wheelRest <= -120; m_wheelRest += 120) ++months;
    if (months != 0) MoveMonths(months);
    event->accept();
}

void TPlannerCalendar::focusInEvent(QFocusEvent *event) {
    Repaint();
    QWidget::focusInEvent(event);
}

void TPlannerCalendar::focusOutEvent(QFocusEvent *event) {
    Repaint();
    QWidget::focusOutEvent(event);
}

void TPlannerCalendar::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange) updateGeometry();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange)
        Repaint();
    QWidget::changeEvent(event);
}

bool TPlannerCalendar::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        QDate day;
        const Area area = AreaAt(help->pos(), &day);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            if (!toolTip().isEmpty()) return QWidget::event(event);
            event->ignore();
            return true;
        }
        const Layout l = ComputeLayout();
        QRect region;
        switch (area) {
        case Area::PreviousYear: region = l.buttons[0]; break;
        case Area::PreviousMonth: region = l.buttons[1]; break;
        case Area::NextMonth: region = l.buttons[2]; break;
        case Area::NextYear: region = l.buttons[3]; break;
        case Area::Day: region = DayRect(day); break;
        case Area::TodayLine:
        case Area::None: break;
        }
        QToolTip::showText(help->globalPos(), text, this, region);
        return true;
    }
    return QWidget::event(event);
}

void TPlannerCalendar::ArmMidnightTimer() {
    // Keeps the today mark and the today line right across midnight.
    if (m_todayOverride.isValid()) {
        m_midnight->stop();
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 wait = now.msecsTo(QDateTime(now.date().addDays(1), QTime(0, 0))) + 1000;
    m_midnight->start(int(std::clamp<qint64>(wait, 1000, 25 * 3600 * 1000)));
}

// ------------------------------------------------------------ painting

void TPlannerCalendar::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const Layout l = ComputeLayout();
    const bool enabled = isEnabled();
    const QPalette &pal = palette();
    const QColor base = pal.color(QPalette::Base);
    const QColor text = pal.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text);
    const QColor gone = pal.color(QPalette::Disabled, QPalette::Text);
    const auto tone = [&](const QColor &c) { return enabled ? c : gone; };

    p.fillRect(rect(), base);

    // Header: arrows and the month.
    QLinearGradient band(0, l.header.top(), 0, l.header.bottom());
    band.setColorAt(0, QColor(238, 244, 246));
    band.setColorAt(1, QColor(214, 227, 231));
    p.fillRect(l.header, band);
    p.fillRect(QRect(l.header.left(), l.header.bottom(), l.header.width(), 1), QColor(190, 204, 209));

    p.setRenderHint(QPainter::Antialiasing);
    static constexpr std::array<Area, 4> buttonAreas{Area::PreviousYear, Area::PreviousMonth, Area::NextMonth, Area::NextYear};
    for (size_t i = 0; i < 4; ++i) {
        const QRect r = l.buttons[i];
        const bool back = i < 2, year = i == 0 || i == 3;
        const bool atEnd = back ? ShownYear() == FirstYear && (year || ShownMonth() == 1)
                                : ShownYear() == LastYear && (year || ShownMonth() == 12);
        if (enabled && !atEnd && (m_pressedArea == buttonAreas[i] || m_hoverArea == buttonAreas[i])) {
            p.setPen(Qt::NoPen);
            p.setBrush(m_pressedArea == buttonAreas[i] ? kButtonDown : kButtonHover);
            p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(atEnd ? gone : tone(kInk), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF c = QRectF(r).center();
        const qreal half = std::min(r.height(), r.width()) * 0.2;
        if (year) {
            Chevron(p, c - QPointF(half * 0.55, 0), back, half);
            Chevron(p, c + QPointF(half * 0.55, 0), back, half);
        } else {
            Chevron(p, c, back, half);
        }
    }
    p.setRenderHint(QPainter::Antialiasing, false);

    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(tone(kInk));
    p.drawText(l.title, Qt::AlignCenter, TitleText());

    // Day names.
    p.setFont(font());
    for (int column = 0; column < kColumns; ++column) {
        p.setPen(tone(column >= 5 ? kWeekend : kMuted));
        p.drawText(l.Column(column), Qt::AlignCenter, DayName(column + 1));
    }
    p.fillRect(QRect(l.names.left(), l.names.bottom() + 1, l.names.width(), 1), kRule);

    // Days of the shown month, and only those.
    const QDate first(ShownYear(), ShownMonth(), 1);
    const QDate today = Today();
    const int offset = first.dayOfWeek() - 1;
    for (int day = 1; day <= first.daysInMonth(); ++day) {
        const QDate date(first.year(), first.month(), day);
        const int index = offset + day - 1;
        const QRect cell = l.Cell(index % kColumns, index / kColumns);
        const QRect inner = cell.adjusted(1, 0, -1, 0);
        const bool selected = date == m_selected;
        const auto marker = MarkerOn(date);

        if (selected)
            p.fillRect(inner, enabled ? kTeal : gone);
        else if (enabled && m_hoverArea == Area::Day && m_hoverDay == date)
            p.fillRect(inner, kHover);

        if (marker) {
            // As large as the cell allows inside the today frame, so that two
            // bold figures fit.
            // A circle leaves its corners empty and may touch the frame there.
            const int side = std::max(6, std::min(cell.width(), cell.height()) - (marker->shape == Shape::Circle ? 1 : 3));
            const QRect box(cell.left() + (cell.width() - side) / 2, cell.top() + (cell.height() - side) / 2, side, side);
            const QColor edge = !enabled ? gone : selected ? QColor(Qt::white) : marker->color;
            const QBrush fill = selected ? QBrush(Qt::NoBrush) : QBrush(Blend(base, edge, 0.2));
            p.setRenderHint(QPainter::Antialiasing, marker->shape == Shape::Circle);
            p.setPen(QPen(edge, marker->shape == Shape::Circle ? 1.3 : 1.0));
            p.setBrush(fill);
            if (marker->shape == Shape::Square)
                p.drawRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
            else
                p.drawEllipse(QRectF(box).adjusted(0.65, 0.65, -0.65, -0.65));
            p.setRenderHint(QPainter::Antialiasing, false);
        }

        if (date == today) {
            p.setPen(QPen(selected ? kTealDark : tone(kTeal), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(inner.adjusted(0, 0, -1, -1));
        }

        QColor figure = text;
        if (selected)
            figure = enabled ? QColor(Qt::white) : base;
        else if (!enabled)
            figure = gone;
        else if (marker)
            figure = Qt::black;
        else if (date.dayOfWeek() >= 6)
            figure = kWeekend;
        p.setFont(marker ? bold : font());
        p.setPen(figure);
        p.drawText(cell, Qt::AlignCenter, QString::number(day));

        // The keyboard's place; on a marked day the white outline of the
        // marker already frames it.
        if (selected && hasFocus() && !marker) {
            QPen dots(QColor(255, 255, 255, 220), 1, Qt::DotLine);
            p.setPen(dots);
            p.setBrush(Qt::NoBrush);
            p.drawRect(inner.adjusted(1, 1, -2, -2));
        }
    }

    // The today line: a sample of the today mark, then the date.
    p.setFont(font());
    p.fillRect(QRect(l.todayLine.left() + 2, l.todayLine.top(), l.todayLine.width() - 4, 1), kRule);
    const QFontMetrics fm(font());
    const int sample = std::max(7, fm.height() - 5);
    const QRect link = l.todayLink.adjusted(3, 0, -3, 0);
    const QRect frame(link.left(), link.center().y() - sample / 2, sample, sample);
    p.setPen(tone(kTeal));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.drawRect(frame.adjusted(1, 1, -2, -2));
    QFont linkFont = font();
    linkFont.setUnderline(enabled && (m_hoverArea == Area::TodayLine || m_pressedArea == Area::TodayLine));
    p.setFont(linkFont);
    p.setPen(tone(kTealDark));
    p.drawText(link.adjusted(sample + 6, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, TodayText());

    // Frame, in the accent colour while the calendar has the keyboard.
    p.setPen(hasFocus() && enabled ? kTeal : kBorder);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
