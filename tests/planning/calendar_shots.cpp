// Pictures of the month calendar, for looking at it: a month with markers,
// the selection on a marked day with the keyboard focus, a month starting on
// a Monday, and the calendar at twice its size. Usage: calendar_shots <folder>
#include <QApplication>
#include <QDir>

#include "planning/window/PlannerCalendar.h"

namespace {

// Saves the picture as it is and, to judge single pixels, enlarged three times.
void Shot(TPlannerCalendar &calendar, const QString &path) {
    const QPixmap picture = calendar.grab();
    picture.save(path);
    QString large = path;
    large.replace(QStringLiteral(".png"), QStringLiteral("_x3.png"));
    picture.scaled(picture.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(large);
}

}  // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    TPlannerCalendar calendar;
    calendar.resize(calendar.sizeHint());
    calendar.SetToday(QDate(2026, 12, 10));
    calendar.SetYear(2026);
    calendar.SetMonth(12);
    calendar.SetDay(10);
    const QColor red(Qt::red);
    calendar.BeginUpdate();
    calendar.AddMarker(QDate(2026, 12, 3), TPlannerCalendar::Shape::Square, red, QStringLiteral("TERMIN: Bank: Beratung"));
    calendar.AddMarker(QDate(2026, 12, 17), TPlannerCalendar::Shape::Square, red, QStringLiteral("TERMIN: Versicherung: Frist"));
    calendar.AddMarker(QDate(2026, 12, 10), TPlannerCalendar::Shape::Square, red, QStringLiteral("TERMIN: Heute"));
    calendar.EndUpdate();
    calendar.BeginUpdate();
    calendar.AddMarker(QDate(2026, 12, 8), TPlannerCalendar::Shape::Circle, red, QStringLiteral("ToDo: Web: Passwort ändern"));
    calendar.AddMarker(QDate(2026, 12, 19), TPlannerCalendar::Shape::Circle, red, QStringLiteral("ToDo: Web: Sa"));
    calendar.AddMarker(QDate(2026, 12, 24), TPlannerCalendar::Shape::Circle, red, QStringLiteral("ToDo: Familie: Geschenke"));
    calendar.AddMarker(QDate(2026, 12, 17), TPlannerCalendar::Shape::Circle, red, QStringLiteral("ToDo: verdeckt"));
    calendar.EndUpdate();
    calendar.show();
    Shot(calendar, out.filePath(QStringLiteral("calendar_december.png")));
    calendar.SetDay(17);
    calendar.activateWindow();
    calendar.setFocus();
    QApplication::processEvents();
    Shot(calendar, out.filePath(QStringLiteral("calendar_selected_marker.png")));
    calendar.SetYear(2008);
    calendar.SetMonth(9);
    calendar.SetDay(27);
    Shot(calendar, out.filePath(QStringLiteral("calendar_september_2008.png")));
    calendar.setEnabled(false);
    Shot(calendar, out.filePath(QStringLiteral("calendar_disabled.png")));
    calendar.setEnabled(true);
    calendar.ShowToday();
    // The main window's font: 8 points.
    QFont small = calendar.font();
    small.setPointSize(8);
    calendar.setFont(small);
    Shot(calendar, out.filePath(QStringLiteral("calendar_8pt.png")));
    QFont big = calendar.font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    calendar.setFont(big);
    calendar.resize(calendar.sizeHint() * 1.6);
    Shot(calendar, out.filePath(QStringLiteral("calendar_large.png")));
    return 0;
}
