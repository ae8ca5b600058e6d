#include "planning/window/CalendarMarksView.h"

#include <QMenu>

#include "app/window/icons/ImageListMain.h"
#include "planning/core/CalendarMarks.h"
#include "planning/window/PlannerCalendar.h"
#include "platform/window/TextEntry.h"

namespace {
const QColor kMarkRed(Qt::red);
}

TCalendarMarksView::TCalendarMarksView(TPlannerCalendar *calendar, TDataModule1 &dm, QObject *parent)
    : QObject(parent), calendar_(calendar), dm_(dm) {
    calendar_->setToolTipDuration(-1);
    connect(calendar_, &TPlannerCalendar::MonthChanged, this, &TCalendarMarksView::PlannerCalendarMonthChange);
}

void TCalendarMarksView::LoadCalendarMarks() {
    calendar_->ClearMarkers();
    const QList<planning::TCalendarMark> marks = planning::LoadMonthMarks(dm_, calendar_->SelectedDate());
    using Kind = planning::TCalendarMark::Kind;
    // One batch per kind: the calendar repaints once for each.
    for (Kind kind : {Kind::Appointment, Kind::ToDo}) {
        const auto shape = kind == Kind::Appointment ? TPlannerCalendar::Shape::Square : TPlannerCalendar::Shape::Circle;
        calendar_->BeginUpdate();
        for (const planning::TCalendarMark &m : marks)
            if (m.kind == kind) calendar_->AddMarker(m.date, shape, kMarkRed, m.hint);
        calendar_->EndUpdate();
    }
    calendar_->update();
}

void TCalendarMarksView::PlannerCalendarMonthChange() {
    links::Guard([this] { LoadCalendarMarks(); });
}

void TCalendarMarksView::BuildLegend(QMenu *menu) {
    menu->clear();
    menu->addAction(QStringLiteral("Legende:"));
    menu->addSeparator();
    menu->addAction(ImageListMain::Icon(ImageListMain::LegendAppointment), QStringLiteral("Termin"));
    menu->addAction(ImageListMain::Icon(ImageListMain::LegendToDo), QStringLiteral("ToDo-Eintrag"));
}
