#include "store/core/DateEntry.h"

#include <QRegularExpression>

TDateEntry ParseDateEntry(const QString &text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{2}|\\d{4})$"));
    const QRegularExpressionMatch m = form.match(t);
    TDateEntry e;
    e.kind = TDateEntry::Kind::Invalid;
    if (!m.hasMatch()) return e;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2) year += year < 30 ? 2000 : 1900;
    const QDate d(year, m.captured(2).toInt(), m.captured(1).toInt());
    if (!d.isValid()) return e;
    e.kind = TDateEntry::Kind::Date;
    e.date = d;
    return e;
}

QString NotADateMessage(const QString &text) {
    return QStringLiteral("\"%1\" ist kein gültiges Datum. Bitte als TT.MM.JJJJ eingeben oder das Feld leeren.")
        .arg(text.trimmed());
}
