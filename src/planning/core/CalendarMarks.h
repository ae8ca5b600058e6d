#pragma once
// The markers of the month calendar: the two statements over all projects
// for one month and the list of markers they give, appointments first.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class TDataModule1;

namespace planning {

// The first day of the month of `shown` and the first day of the next month.
struct TMonthBounds {
    QDate from, to;
};
TMonthBounds MonthBounds(const QDate &shown);

// The statements as lines, both bounds written as German short dates.
QStringList AppointmentMarksSql(const TMonthBounds &bounds);
QStringList OpenToDoMarksSql(const TMonthBounds &bounds);

struct TCalendarMark {
    enum class Kind { Appointment, ToDo };
    Kind kind = Kind::Appointment;
    QDate date;
    QString hint;
};

QString AppointmentHint(const QString &projectName, const QString &description);
QString ToDoHint(const QString &projectName, const QString &description);

// Runs both statements on the work query (database-wait cursor around each)
// and returns the markers in the order they are to be added: every
// appointment in the order of its rows, then every open to-do.
QList<TCalendarMark> LoadMonthMarks(TDataModule1 &dm, const QDate &shown);

}  // namespace planning
