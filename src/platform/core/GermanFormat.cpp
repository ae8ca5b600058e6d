#include "platform/core/GermanFormat.h"

#include <QRegularExpression>
#include <cmath>

namespace de {

QString DateText(const QDate &date) { return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString(); }

QString TimeText(const QTime &time) { return time.isValid() ? time.toString(QStringLiteral("HH:mm:ss")) : QString(); }

QString DateTimeText(const QDateTime &dt) {
    if (!dt.isValid()) return QString();
    return DateText(dt.date()) + QLatin1Char(' ') + TimeText(dt.time());
}

QString FixedText(double value, int decimals) {
    if (std::isnan(value) || std::isinf(value)) return QString::number(value);
    QString plain = QString::number(std::fabs(value), 'f', decimals);
    QString intPart = plain, frac;
    if (const auto dot = plain.indexOf(QLatin1Char('.')); dot >= 0) {
        intPart = plain.left(dot);
        frac = plain.mid(dot + 1);
    }
    QString grouped;
    for (qsizetype i = 0; i < intPart.size(); ++i) {
        if (i > 0 && (intPart.size() - i) % 3 == 0) grouped += QLatin1Char('.');
        grouped += intPart.at(i);
    }
    QString out = (value < 0 && plain.contains(QRegularExpression(QStringLiteral("[1-9]")))) ? QStringLiteral("-") : QString();
    out += grouped;
    if (!frac.isEmpty()) out += QLatin1Char(',') + frac;
    return out;
}

QString LogLine(const QString &message, const QDateTime &at) { return DateTimeText(at) + QStringLiteral(": ") + message; }

QString LogLine(const QString &message) { return LogLine(message, QDateTime::currentDateTime()); }

QDate ParseDate(const QString &text) { return QDate::fromString(text.trimmed(), QStringLiteral("dd.MM.yyyy")); }

}  // namespace de

namespace de {
QString UpperAZ(const QString &text) {
    QString out = text;
    for (QChar &c : out)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
    return out;
}
}  // namespace de
