#include <QtTest>

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

#include "planning/window/PlannerCalendar.h"

using Shape = TPlannerCalendar::Shape;
using Button = TPlannerCalendar::Button;

Q_DECLARE_METATYPE(TPlannerCalendar::Button)

namespace {

// A calendar at its design size with a fixed "today".
struct Calendar {
    TPlannerCalendar widget;
    Calendar() {
        widget.resize(widget.sizeHint());
        widget.SetToday(QDate(2026, 12, 10));
    }
    TPlannerCalendar *operator->() { return &widget; }
};

bool Reddish(QRgb px) { return qRed(px) > 150 && qGreen(px) < 110 && qBlue(px) < 110; }
bool Dark(QRgb px) { return qRed(px) < 70 && qGreen(px) < 70 && qBlue(px) < 70; }
bool Teal(QRgb px) { return qRed(px) < 40 && qGreen(px) > 100 && qGreen(px) < 150 && qBlue(px) > 100 && qBlue(px) < 150; }
bool White(QRgb px) { return qRed(px) > 240 && qGreen(px) > 240 && qBlue(px) > 240; }

template <typename Test>
int Count(const QImage &image, const QRect &area, Test test) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += test(image.pixel(x, y));
    return n;
}

QImage Picture(TPlannerCalendar &calendar) { return calendar.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// The cell `rows` rows below (or above) a day's cell.
QRect CellBelow(TPlannerCalendar &calendar, const QDate &day, int rows) {
    const QRect cell = calendar.DayRect(day);
    const QRect next = calendar.DayRect(day.addDays(7));
    const int rowHeight = next.isNull() ? cell.top() - calendar.DayRect(day.addDays(-7)).top() : next.top() - cell.top();
    return cell.translated(0, rows * rowHeight);
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

}  // namespace

class TestCalendar : public QObject {
    Q_OBJECT
private slots:
    void isTheNamedControlAtItsDesignSize() {
        Calendar c;
        QCOMPARE(c->objectName(), QStringLiteral("PlannerCalendar"));
        QCOMPARE(c->sizeHint(), QSize(183, 181));
        QCOMPARE(c->contextMenuPolicy(), Qt::DefaultContextMenu);
    }

    // Weeks start on Monday; the first and last day of each month sit where
    // the weekday puts them; no day of another month has a cell.
    void dayGrid_data() {
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QPoint>("firstAt");
        QTest::addColumn<int>("days");
        QTest::addColumn<QPoint>("lastAt");
        QTest::newRow("Sep 2008 starts on a Monday") << QDate(2008, 9, 1) << QPoint(0, 0) << 30 << QPoint(1, 4);
        QTest::newRow("Feb 2026 starts on a Sunday") << QDate(2026, 2, 1) << QPoint(6, 0) << 28 << QPoint(5, 4);
        QTest::newRow("Feb 2024 leap year") << QDate(2024, 2, 1) << QPoint(3, 0) << 29 << QPoint(3, 4);
        QTest::newRow("Mar 2026 needs six rows") << QDate(2026, 3, 1) << QPoint(6, 0) << 31 << QPoint(1, 5);
        QTest::newRow("Feb 2021 fills four rows") << QDate(2021, 2, 1) << QPoint(0, 0) << 28 << QPoint(6, 3);
    }
    void dayGrid() {
        QFETCH(QDate, first);
        QFETCH(QPoint, firstAt);
        QFETCH(int, days);
        QFETCH(QPoint, lastAt);
        Calendar c;
        c->SetSelectedDate(first.addDays(9));
        QCOMPARE(c->GridPosition(first), firstAt);
        QCOMPARE(c->GridPosition(first.addDays(days - 1)), lastAt);
        QCOMPARE(first.addDays(days).day(), 1);
        for (int i = 0; i < days; ++i) {
            const QDate day = first.addDays(i);
            QCOMPARE(c->GridPosition(day).x(), day.dayOfWeek() - 1);
            QCOMPARE(c->DateAt(c->DayRect(day).center()), day);
        }
        for (const QDate &other : {first.addDays(-1), first.addDays(days)}) {
            QCOMPARE(c->GridPosition(other), QPoint(-1, -1));
            QVERIFY(c->DayRect(other).isNull());
        }
        // The cells around the month are empty, not days of the months beside it.
        if (firstAt.x() > 0) QVERIFY(!c->DateAt(c->DayRect(first).center() - QPoint(c->DayRect(first).width(), 0)).isValid());
        const QRect last = c->DayRect(first.addDays(days - 1));
        if (lastAt.x() < 6) QVERIFY(!c->DateAt(last.center() + QPoint(last.width(), 0)).isValid());
        QVERIFY(!c->DateAt(CellBelow(c.widget, first.addDays(days - 7), 2).center()).isValid());
    }

    void drawsOnlyTheShownMonth() {
        Calendar c;
        c->SetSelectedDate(QDate(2026, 2, 18));
        // Markers of the months beside must not show up in the empty cells.
        c->AddMarker(QDate(2026, 1, 31), Shape::Square, Qt::red, QStringLiteral("TERMIN: vorher"));
        c->AddMarker(QDate(2026, 3, 1), Shape::Circle, Qt::red, QStringLiteral("ToDo: nachher"));
        const QImage image = Picture(c.widget);
        const QRgb background = c->palette().color(QPalette::Base).rgb();
        const auto blank = [&](const QRect &cell) {
            return Count(image, cell.adjusted(1, 1, -1, -1), [&](QRgb px) { return px != background; }) == 0;
        };

        // Monday to Saturday of the first row (before the 1st, a Sunday),
        // Sunday of the fifth row (after the 28th, a Saturday), the whole sixth.
        QList<QRect> empty;
        for (int day = 2; day <= 7; ++day) empty << CellBelow(c.widget, QDate(2026, 2, day), -1);
        empty << CellBelow(c.widget, QDate(2026, 2, 22), 1);
        for (int day = 16; day <= 22; ++day) empty << CellBelow(c.widget, QDate(2026, 2, day), 2);
        for (const QRect &cell : empty) QVERIFY2(blank(cell), qPrintable(QStringLiteral("cell at %1,%2").arg(cell.x()).arg(cell.y())));
        // ... while the days themselves are drawn.
        for (int day = 1; day <= 28; ++day) QVERIFY(!blank(c->DayRect(QDate(2026, 2, day))));
    }

    void coloursOfWeekendSelectionAndToday() {
        Calendar c;
        c->SetToday(QDate(2026, 2, 10));
        c->SetSelectedDate(QDate(2026, 2, 15));  // a Sunday
        const QImage image = Picture(c.widget);
        const QRect saturday = c->DayRect(QDate(2026, 2, 7)), monday = c->DayRect(QDate(2026, 2, 9));
        QVERIFY(Count(image, saturday, Reddish) > 5);
        QVERIFY(Count(image, saturday, Dark) == 0);
        QVERIFY(Count(image, monday, Dark) > 5);
        QCOMPARE(Count(image, monday, Reddish), 0);
        // The selected day is teal with white figures, although a Sunday.
        const QRect selected = c->DayRect(QDate(2026, 2, 15));
        QVERIFY(Count(image, selected, Teal) > selected.width() * selected.height() / 2);
        QVERIFY(Count(image, selected, White) > 5);
        QCOMPARE(Count(image, selected, Reddish), 0);
        // Today carries a mark that a plain day lacks.
        QVERIFY(Count(image, c->DayRect(QDate(2026, 2, 10)), Teal) > 10);
        QCOMPARE(Count(image, c->DayRect(QDate(2026, 2, 11)), Teal), 0);
    }

    // A marked day shows its shape, and its figures bold and black, also on
    // a Saturday.
    void markedDayLooks() {
        Calendar c;
        c->SetSelectedDate(QDate(2026, 2, 20));
        const QDate saturday(2026, 2, 7), tuesday(2026, 2, 3);
        const QImage before = Picture(c.widget);
        c->AddMarker(saturday, Shape::Circle, Qt::red, QStringLiteral("ToDo: P: Sa"));
        c->AddMarker(tuesday, Shape::Square, Qt::red, QStringLiteral("TERMIN: P: Di"));
        const QImage after = Picture(c.widget);
        const QRect sat = c->DayRect(saturday), tue = c->DayRect(tuesday);
        QCOMPARE(Count(before, sat, Dark), 0);
        QVERIFY(Count(after, sat, Dark) > 5);
        QVERIFY(Count(after, tue, Dark) > Count(before, tue, Dark));
        QCOMPARE(Count(before, tue, Reddish), 0);
        QVERIFY(Count(after, tue, Reddish) > 20);
        // The square reaches into the corners of the red it covers, the
        // circle leaves them empty.
        const auto cornerIsRed = [&](const QRect &cell) {
            QRect red;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    if (Reddish(after.pixel(x, y))) red |= QRect(x, y, 1, 1);
            return Reddish(after.pixel(red.topLeft())) && Reddish(after.pixel(red.bottomRight()));
        };
        QVERIFY(cornerIsRed(tue));
        QVERIFY(!cornerIsRed(sat));
    }

    void firstMarkerOfADayWins() {
        Calendar c;
        c->SetSelectedDate(QDate(2007, 11, 1));
        const QDate day(2007, 11, 14);
        c->AddMarker(day, Shape::Square, Qt::red, QStringLiteral("TERMIN: Bank: Beratung"));
        c->AddMarker(day, Shape::Circle, Qt::red, QStringLiteral("ToDo: Bank: Unterlagen"));
        c->AddMarker(day, Shape::Square, Qt::blue, QStringLiteral("TERMIN: Post: Paket"));
        c->AddMarker(QDate(), Shape::Square, Qt::red, QStringLiteral("ohne Datum"));
        QCOMPARE(c->MarkerCount(), 3);
        const auto marker = c->MarkerOn(day);
        QVERIFY(marker);
        QCOMPARE(marker->shape, Shape::Square);
        QCOMPARE(marker->color, QColor(Qt::red));
        QCOMPARE(c->HintAt(day), QStringLiteral("TERMIN: Bank: Beratung"));
        QCOMPARE(c->ToolTipAt(c->DayRect(day).center()), QStringLiteral("TERMIN: Bank: Beratung"));
        QCOMPARE(c->ToolTipAt(c->DayRect(day.addDays(1)).center()), QString());
        QVERIFY(!c->MarkerOn(day.addDays(1)));

        // The hint is what a resting mouse shows.
        c->show();
        QVERIFY(QTest::qWaitForWindowExposed(&c.widget));
        const QPoint at = c->DayRect(day).center();
        QHelpEvent rest(QEvent::ToolTip, at, c->mapToGlobal(at));
        QApplication::sendEvent(&c.widget, &rest);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("TERMIN: Bank: Beratung"));
        QToolTip::hideText();

        c->ClearMarkers();
        QCOMPARE(c->MarkerCount(), 0);
        QVERIFY(!c->MarkerOn(day));
        QCOMPARE(c->ToolTipAt(c->DayRect(day).center()), QString());
        // After clearing, the first marker added again counts.
        c->AddMarker(day, Shape::Circle, Qt::red, QStringLiteral("ToDo: Bank: Unterlagen"));
        QCOMPARE(c->MarkerOn(day)->shape, Shape::Circle);
    }

    void batchRepaintsOnce() {
        Calendar c;
        c->SetSelectedDate(QDate(2026, 5, 4));
        c->show();
        QVERIFY(QTest::qWaitForWindowExposed(&c.widget));
        QTest::qWait(50);
        PaintCounter counter;
        c->installEventFilter(&counter);

        c->BeginUpdate();
        c->BeginUpdate();
        for (int day = 1; day <= 20; ++day) c->AddMarker(QDate(2026, 5, day), Shape::Square, Qt::red, QStringLiteral("TERMIN: %1").arg(day));
        c->EndUpdate();
        QTest::qWait(50);
        QCOMPARE(counter.paints, 0);  // the outer batch is still open
        c->EndUpdate();
        QTRY_COMPARE(counter.paints, 1);
        QTest::qWait(50);
        QCOMPARE(counter.paints, 1);
        c->EndUpdate();  // one too many does no harm
        QVERIFY(Count(Picture(c.widget), c->DayRect(QDate(2026, 5, 12)), Reddish) > 20);
    }

    void arrows_data() {
        QTest::addColumn<Button>("button");
        QTest::addColumn<QDate>("shows");
        QTest::addColumn<QString>("hint");
        // From 31 January 2024; the day shrinks where the month is shorter.
        QTest::newRow("previous year") << Button::PreviousYear << QDate(2023, 1, 31) << QStringLiteral("vorheriges Jahr");
        QTest::newRow("previous month") << Button::PreviousMonth << QDate(2023, 12, 31) << QStringLiteral("vorheriger Monat");
        QTest::newRow("next month") << Button::NextMonth << QDate(2024, 2, 29) << QStringLiteral("nächster Monat");
        QTest::newRow("next year") << Button::NextYear << QDate(2025, 1, 31) << QStringLiteral("nächstes Jahr");
    }
    void arrows() {
        QFETCH(Button, button);
        QFETCH(QDate, shows);
        QFETCH(QString, hint);
        Calendar c;
        c->SetSelectedDate(QDate(2024, 1, 31));
        QSignalSpy changed(&c.widget, &TPlannerCalendar::MonthChanged);
        const QPoint at = c->ButtonRect(button).center();
        QCOMPARE(c->ToolTipAt(at), hint);
        QTest::mouseClick(&c.widget, Qt::LeftButton, {}, at);
        QCOMPARE(c->SelectedDate(), shows);
        QCOMPARE(c->ShownYear(), shows.year());
        QCOMPARE(c->ShownMonth(), shows.month());
        QCOMPARE(changed.count(), 1);
        // Pressed on the arrow but released elsewhere: nothing happens.
        QTest::mousePress(&c.widget, Qt::LeftButton, {}, at);
        QTest::mouseRelease(&c.widget, Qt::LeftButton, {}, c->DayRect(QDate(shows.year(), shows.month(), 10)).center());
        QCOMPARE(c->SelectedDate(), shows);
        QCOMPARE(changed.count(), 1);
    }

    void clickingADaySelectsIt() {
        Calendar c;
        c->SetSelectedDate(QDate(2026, 2, 18));
        QSignalSpy changed(&c.widget, &TPlannerCalendar::MonthChanged);
        QSignalSpy clicked(&c.widget, &TPlannerCalendar::DayClicked);
        QTest::mouseClick(&c.widget, Qt::LeftButton, {}, c->DayRect(QDate(2026, 2, 3)).center());
        QCOMPARE(c->SelectedDate(), QDate(2026, 2, 3));
        QCOMPARE(clicked.count(), 1);
        // An empty cell before the 1st is no day of January.
        QTest::mouseClick(&c.widget, Qt::LeftButton, {}, CellBelow(c.widget, QDate(2026, 2, 2), -1).center());
        QCOMPARE(c->SelectedDate(), QDate(2026, 2, 3));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(changed.count(), 0);
    }

    void todayLine() {
        Calendar c;
        QCOMPARE(c->TodayText(), QStringLiteral("Heute: 10.12, 2026"));
        c->SetSelectedDate(QDate(2008, 9, 27));
        QSignalSpy changed(&c.widget, &TPlannerCalendar::MonthChanged);
        QTest::mouseClick(&c.widget, Qt::LeftButton, {}, c->ButtonRect(Button::TodayLine).center());
        QCOMPARE(c->SelectedDate(), QDate(2026, 12, 10));
        QCOMPARE(changed.count(), 1);
        // Already on today's month: the selection returns to today, the month stays.
        c->SetDay(3);
        QTest::mouseClick(&c.widget, Qt::LeftButton, {}, c->ButtonRect(Button::TodayLine).center());
        QCOMPARE(c->SelectedDate(), QDate(2026, 12, 10));
        QCOMPARE(changed.count(), 1);

        c->SetToday(QDate(2027, 3, 5));
        QCOMPARE(c->TodayText(), QStringLiteral("Heute: 05.03, 2027"));
        c->SetToday(QDate());
        QCOMPARE(c->Today(), QDate::currentDate());
    }

    // The program sets today as year, then month, then day; every step must
    // land on a real date whatever the calendar showed before.
    void settingYearMonthDay_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::newRow("leap day to a plain year") << QDate(2024, 2, 29) << QDate(2025, 3, 31);
        QTest::newRow("31st through February") << QDate(2024, 1, 31) << QDate(2023, 2, 15);
        QTest::newRow("31st to a 30-day month") << QDate(2026, 10, 31) << QDate(2026, 11, 30);
        QTest::newRow("same day") << QDate(2026, 12, 10) << QDate(2026, 12, 10);
    }
    void settingYearMonthDay() {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        Calendar c;
        c->SetSelectedDate(from);
        QSignalSpy changed(&c.widget, &TPlannerCalendar::MonthChanged);
        c->SetYear(to.year());
        QVERIFY(c->SelectedDate().isValid());
        c->SetMonth(to.month());
        QVERIFY(c->SelectedDate().isValid());
        c->SetDay(to.day());
        QCOMPARE(c->SelectedDate(), to);
        const bool monthDiffers = from.year() != to.year() || from.month() != to.month();
        QVERIFY(monthDiffers ? changed.count() >= 1 : changed.count() == 0);
    }

    void settersClamp() {
        Calendar c;
        c->SetSelectedDate(QDate(2026, 2, 10));
        QSignalSpy changed(&c.widget, &TPlannerCalendar::MonthChanged);
        c->SetDay(31);
        QCOMPARE(c->SelectedDate(), QDate(2026, 2, 28));
        c->SetDay(0);
        QCOMPARE(c->SelectedDate(), QDate(2026, 2, 1));
        QCOMPARE(changed.count(), 0);
        c->SetMonth(13);
        QCOMPARE(c->SelectedDate(), QDate(2026, 12, 1));
        c->SetMonth(-4);
        QCOMPARE(c->SelectedDate(), QDate(2026, 1, 1));
        c->SetYear(0);
        QCOMPARE(c->SelectedDate(), QDate(TPlannerCalendar::FirstYear, 1, 1));
        c->SetYear(123456);
        QCOMPARE(c->SelectedDate(), QDate(TPlannerCalendar::LastYear, 1, 1));
        QCOMPARE(changed.count(), 4);
        // No paging beyond the last year.
        c->SetSelectedDate(QDate(TPlannerCalendar::LastYear, 12, 31));
        QTest::mouseClick(&c.widget, Qt::LeftButton, {}, c->ButtonRect(Button::NextMonth).center());
        QTest::keyClick(&c.widget, Qt::Key_Right);
        QCOMPARE(c->SelectedDate(), QDate(TPlannerCalendar::LastYear, 12, 31));
        c->SetSelectedDate(QDate());
        QCOMPARE(c->SelectedDate(), QDate(TPlannerCalendar::LastYear, 12, 31));
    }

    void keyboard_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("left into last month") << int(Qt::Key_Left) << none << QDate(2026, 3, 1) << QDate(2026, 2, 28);
        QTest::newRow("right") << int(Qt::Key_Right) << none << QDate(2026, 3, 1) << QDate(2026, 3, 2);
        QTest::newRow("up a week") << int(Qt::Key_Up) << none << QDate(2026, 2, 3) << QDate(2026, 1, 27);
        QTest::newRow("down a week") << int(Qt::Key_Down) << none << QDate(2026, 2, 3) << QDate(2026, 2, 10);
        QTest::newRow("page up") << int(Qt::Key_PageUp) << none << QDate(2026, 3, 31) << QDate(2026, 2, 28);
        QTest::newRow("page down") << int(Qt::Key_PageDown) << none << QDate(2026, 1, 15) << QDate(2026, 2, 15);
        QTest::newRow("ctrl page down") << int(Qt::Key_PageDown) << ctrl << QDate(2024, 2, 29) << QDate(2025, 2, 28);
        QTest::newRow("ctrl page up") << int(Qt::Key_PageUp) << ctrl << QDate(2024, 5, 6) << QDate(2023, 5, 6);
        QTest::newRow("home") << int(Qt::Key_Home) << none << QDate(2026, 4, 17) << QDate(2026, 4, 1);
        QTest::newRow("end") << int(Qt::Key_End) << none << QDate(2026, 4, 17) << QDate(2026, 4, 30);
    }
    void keyboard() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        Calendar c;
        c->SetSelectedDate(from);
        QSignalSpy changed(&c.widget, &TPlannerCalendar::MonthChanged);
        QTest::keyClick(&c.widget, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(c->SelectedDate(), to);
        QCOMPARE(changed.count(), from.month() != to.month() || from.year() != to.year() ? 1 : 0);
    }

    void namesAreGermanWhateverTheLocale() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Calendar c;
        c->SetSelectedDate(QDate(2026, 3, 9));
        const QString title = c->TitleText();
        const QString today = c->TodayText();
        QLocale::setDefault(before);
        QCOMPARE(title, QStringLiteral("Mrz 2026"));
        QCOMPARE(today, QStringLiteral("Heute: 10.12, 2026"));
        QStringList days, months;
        for (int d = 1; d <= 7; ++d) days << TPlannerCalendar::DayName(d);
        for (int m = 1; m <= 12; ++m) months << TPlannerCalendar::MonthName(m);
        QCOMPARE(days.join(QLatin1Char(' ')), QStringLiteral("Mo Di Mi Do Fr Sa So"));
        QCOMPARE(months.join(QLatin1Char(' ')), QStringLiteral("Jan Feb Mrz Apr Mai Jun Jul Aug Sep Okt Nov Dez"));
    }
};

QTEST_MAIN(TestCalendar)
#include "test_calendar.moc"
