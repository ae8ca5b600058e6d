#pragma once
// What a user types into a date field: nothing, a German date (dd.MM.yyyy,
// also d.M.yyyy and d.M.yy, two-digit years from 1930 to 2029), or a text
// that is no date and must be refused.

#include <QDate>
#include <QString>

struct TDateEntry {
    enum class Kind { Empty, Date, Invalid };
    Kind kind = Kind::Empty;
    QDate date;
};

TDateEntry ParseDateEntry(const QString &text);
// The message that refuses a text that is no date.
QString NotADateMessage(const QString &text);
