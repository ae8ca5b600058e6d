#pragma once
// German conventions for shown texts and for date literals in statements,
// whatever the desktop's locale: dd.MM.yyyy, HH:mm:ss, decimal comma,
// full stop as thousands separator.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace de {

QString DateText(const QDate &date);              // 05.06.2007
QString TimeText(const QTime &time);              // 14:03:27
QString DateTimeText(const QDateTime &dateTime);  // 05.06.2007 14:03:27

// Fixed point with thousands separators: FixedText(1234.5, 2) = "1.234,50".
QString FixedText(double value, int decimals);

// "05.06.2007 14:03:27: " + message, the form of every log line.
QString LogLine(const QString &message);
QString LogLine(const QString &message, const QDateTime &at);

QDate ParseDate(const QString &text);  // invalid date when the text is not dd.MM.yyyy

}  // namespace de

namespace de {
// Upper case as the program shows names: only a-z become A-Z; umlauts, ß
// and every other character stay as typed.
QString UpperAZ(const QString &text);
}  // namespace de
