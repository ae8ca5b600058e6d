// LoadCalendarMarks for a month holding 1,000 appointments and 1,000 open
// to-dos of 1,000 projects, next to its two statements run bare through the
// client API and fetched to the end; then one repaint of the calendar with
// those markers.

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "common/BenchDatabase.h"
#include "planning/core/CalendarMarks.h"
#include "planning/window/CalendarMarksView.h"
#include "planning/window/PlannerCalendar.h"
#include "store/Bare.h"
#include "store/core/DataModule.h"

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchFolder folder;
    FillPlan plan;
    plan.projects = 1000;
    plan.rowsPerDetailTable = 1;
    FillDatabase(folder.Database(), plan);
    const QDate shown(2026, 11, 1);

    TDataModule1 dm(folder.ProgramFile());
    dm.Connect();
    {
        // Every appointment and every to-do open and due in November 2026.
        for (const char *sql : {"update tbltermine set termindatum = dateadd(mod(id, 30) day to date '2026-11-01')",
                                "update tbltodo set erledigt = 0, bistermin = dateadd(mod(id, 30) day to date '2026-11-01')"}) {
            TSqlStatement s(dm.IBTransaction, QString::fromLatin1(sql));
            s.Execute();
        }
        dm.IBTransaction.CommitRetaining();
    }

    TPlannerCalendar calendar;
    calendar.resize(calendar.sizeHint());
    calendar.SetSelectedDate(shown);
    TCalendarMarksView view(&calendar, dm);
    view.LoadCalendarMarks();
    if (calendar.MarkerCount() != 2000) {
        std::fprintf(stderr, "expected 2000 markers, got %d\n", calendar.MarkerCount());
        return 1;
    }

    const planning::TMonthBounds bounds = planning::MonthBounds(shown);
    const QString appointments = TIBDataSet::StatementText(planning::AppointmentMarksSql(bounds));
    const QString todos = TIBDataSet::StatementText(planning::OpenToDoMarksSql(bounds));
    long bareRows = 0;
    const int runs = 31;
    const double bare = MedianMs(runs, [&] {
        bareRows = BareFetch(dm.IBDatabase, dm.IBTransaction, appointments) + BareFetch(dm.IBDatabase, dm.IBTransaction, todos);
    });
    if (bareRows != 2000) {
        std::fprintf(stderr, "bare statements returned %ld rows\n", bareRows);
        return 1;
    }
    const double marks = MedianMs(runs, [&] { view.LoadCalendarMarks(); });
    const double core = MedianMs(runs, [&] { planning::LoadMonthMarks(dm, shown); });

    QImage image(calendar.size(), QImage::Format_ARGB32_Premultiplied);
    const double repaint = MedianMs(runs, [&] {
        QPainter p(&image);
        calendar.render(&p);
    });

    PrintFigure("markers", calendar.MarkerCount());
    PrintFigure("bare_statements_ms", bare);
    PrintFigure("load_calendar_marks_ms", marks);
    PrintFigure("core_marks_list_ms", core);
    PrintFigure("calendar_repaint_ms", repaint);
    PrintRatio(marks / bare);
    return 0;
}
