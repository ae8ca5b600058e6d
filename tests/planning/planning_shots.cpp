// Pictures of the tabs "ToDo" and "Termine" and of the calendar with the
// markers the database gives, for looking at them (not a test).
// Usage: planning_shots <folder>
#include <QApplication>
#include <QDir>

#include "PlanningHost.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDate today = QDate::currentDate();
    const auto day = [&](int d) { return QStringLiteral("'%1'").arg(QDate(today.year(), today.month(), d).toString(Qt::ISODate)); };
    PlanningHost f({
        QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Büro')"),
        QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (2, 'Garten')"),
        QStringLiteral("insert into TBLTODO values (1, 'Steuererklärung prüfen', 50, 0, %1, 1)").arg(day(14)),
        QStringLiteral("insert into TBLTODO values (2, 'Drucker bestellen', 100, 1, %1, 1)").arg(day(20)),
        QStringLiteral("insert into TBLTODO values (3, 'Altlast', 25, 0, '1999-12-31', 1)"),
        QStringLiteral("insert into TBLTODO values (4, 'Beet umgraben', 0, 0, %1, 2)").arg(day(21)),
        QStringLiteral("insert into TBLTERMINE values (1, %1, 'Zahnarzt', 1)").arg(day(14)),
        QStringLiteral("insert into TBLTERMINE values (2, %1, 'Steuerberater', 1)").arg(day(28)),
        QStringLiteral("insert into TBLTERMINE values (3, %1, 'Markt', 2)").arg(day(5)),
        QStringLiteral("set generator GEN_TBLTODO_ID to 4"),
        QStringLiteral("set generator GEN_TBLTERMINE_ID to 3"),
    });
    if (!f.Start()) return 1;
    TfrmMain &w = f.Main();
    w.resize(956, 640);
    f.Show(w.AdvTabSheetToDo);
    RecordsFixture::Click(f.ToDo->BtnEdit);
    QApplication::processEvents();
    w.grab().save(out.filePath(QStringLiteral("todo_edit.png")));
    RecordsFixture::Click(f.ToDo->BtnAbbrechen);
    w.grab().save(out.filePath(QStringLiteral("todo_browse.png")));
    f.Show(w.AdvTabSheetTermine);
    RecordsFixture::Click(f.Termine->BtnEdit);
    f.Termine->PlannerDatePickerTermin->ShowDropDown();
    QApplication::processEvents();
    w.grab().save(out.filePath(QStringLiteral("termine_edit.png")));
    if (TPlannerCalendar *drop = f.Termine->PlannerDatePickerTermin->DropDown())
        drop->grab().save(out.filePath(QStringLiteral("termine_dropdown.png")));
    f.Termine->PlannerDatePickerTermin->CloseDropDown();
    const QPixmap calendar = f.Calendar().grab();
    calendar.scaled(calendar.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(out.filePath(QStringLiteral("calendar_marks_x3.png")));
    f.Finish();
    return 0;
}
