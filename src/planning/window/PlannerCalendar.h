#pragma once
// The month calendar under the project list. Drawn by ourselves so that it
// looks and reads the same on every desktop: German names whatever the
// locale, weeks from Monday, only the shown month's days, and markers (a
// square or a circle with a hint) on the days that carry appointments or
// open to-dos.
//
// One date is selected at a time and the calendar always shows the month of
// that date: paging to another month or year carries the selection along
// (its day clamped to the length of the month). MonthChanged() fires
// whenever the shown month or year changes, however that happens.

#include <QColor>
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>

#include <optional>

class QTimer;

class TPlannerCalendar : public QWidget {
    Q_OBJECT
public:
    enum class Shape { Square, Circle };

    struct Marker {
        QDate date;
        Shape shape = Shape::Square;
        QColor color;
        QString hint;
    };

    // The clickable areas besides the days.
    enum class Button { PreviousYear, PreviousMonth, NextMonth, NextYear, TodayLine };

    static constexpr int FirstYear = 1;
    static constexpr int LastYear = 9999;

    explicit TPlannerCalendar(QWidget *parent = nullptr);
    ~TPlannerCalendar() override;

    // --- Shown month and selection. Values out of range are clamped: the
    // year to FirstYear .. LastYear, the month to 1 .. 12, the day to the
    // length of the month. Each setter keeps the other two parts, so setting
    // year, month and day one after the other always ends on that date.
    void SetYear(int year);
    void SetMonth(int month);
    void SetDay(int day);
    // Selects the date and shows its month; an invalid date or one outside
    // the years above is ignored.
    void SetSelectedDate(const QDate &date);
    QDate SelectedDate() const { return m_selected; }
    int ShownYear() const { return m_selected.year(); }
    int ShownMonth() const { return m_selected.month(); }
    // Selects today and shows its month, as a click on the today line does.
    void ShowToday();

    // The day the calendar marks as today: the system's date unless set.
    QDate Today() const;
    // For a fixed "today" (an invalid date returns to the system's date).
    void SetToday(const QDate &date);

    // --- Markers. Any number may be added, several per day; for each day
    // only the first one added counts (its shape is drawn, its hint shown).
    void AddMarker(const QDate &date, Shape shape, const QColor &color, const QString &hint);
    void ClearMarkers();
    // Between BeginUpdate() and the matching EndUpdate() the calendar is not
    // repainted; EndUpdate() repaints once if anything changed. Pairs nest.
    void BeginUpdate();
    void EndUpdate();
    int MarkerCount() const { return int(m_markers.size()); }
    // The marker that counts on that day, if any.
    std::optional<Marker> MarkerOn(const QDate &date) const;
    QString HintAt(const QDate &date) const;

    // --- Texts and geometry.
    static QString DayName(int dayOfWeek);  // 1 (Monday) .. 7: "Mo" .. "So"
    static QString MonthName(int month);    // 1 .. 12: "Jan" .. "Dez"
    QString TitleText() const;              // "Mrz 2026"
    QString TodayText() const;              // "Heute: 10.12, 2026"
    // Column (0 = Monday) and row of a day of the shown month in the day
    // grid; (-1, -1) for any other date.
    QPoint GridPosition(const QDate &date) const;
    // The cell of a day of the shown month; a null rectangle for any other.
    QRect DayRect(const QDate &date) const;
    // The day of the shown month under a point; invalid elsewhere, also over
    // the empty cells before the first and after the last day.
    QDate DateAt(const QPoint &pos) const;
    QRect ButtonRect(Button button) const;
    // What a resting mouse shows at that point: the hint of a button or of
    // the marker of the day there; empty elsewhere.
    QString ToolTipAt(const QPoint &pos) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void MonthChanged();
    void SelectionChanged();
    void DayClicked(const QDate &date);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Layout;
    enum class Area { None, Day, PreviousYear, PreviousMonth, NextMonth, NextYear, TodayLine };

    Layout ComputeLayout() const;
    Area AreaAt(const QPoint &pos, QDate *day = nullptr) const;
    void Activate(Area area);
    void MoveSelection(int days);
    void MoveMonths(int months);
    void SetHover(Area area, const QDate &day);
    void Repaint();
    void ArmMidnightTimer();

    QDate m_selected;
    QDate m_todayOverride;
    QList<Marker> m_markers;
    QHash<QDate, qsizetype> m_firstMarker;  // day -> index into m_markers
    int m_updateDepth = 0;
    bool m_repaintPending = false;
    Area m_hoverArea = Area::None;
    QDate m_hoverDay;
    Area m_pressedArea = Area::None;
    int m_wheelRest = 0;
    QTimer *m_midnight = nullptr;
};
