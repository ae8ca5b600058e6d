#pragma once
// The calendar's markers in the window: LoadCalendarMarks rebuilds them for
// the shown month from the core's list, each kind as one batch, and runs
// again whenever the shown month or year changes. The legend menu too.

#include <QObject>

class QMenu;
class TDataModule1;
class TPlannerCalendar;

class TCalendarMarksView : public QObject {
    Q_OBJECT
public:
    TCalendarMarksView(TPlannerCalendar *calendar, TDataModule1 &dm, QObject *parent = nullptr);

    // Throws EDatabaseError; the markers are cleared first in any case.
    void LoadCalendarMarks();
    // The month-change and year-change handler; failures go to the error box.
    void PlannerCalendarMonthChange();

    // Fills the legend menu "Legende:", separator, "Termin", "ToDo-Eintrag";
    // its entries do nothing when chosen.
    static void BuildLegend(QMenu *popupMenuKalender);

private:
    TPlannerCalendar *calendar_;
    TDataModule1 &dm_;
};
