#include "store/core/FieldText.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include "platform/core/GermanFormat.h"

QString DisplayText(const QVariant &v) {
    if (v.isNull() || !v.isValid()) return QString();
    switch (v.typeId()) {
    case QMetaType::QDate: return de::DateText(v.toDate());
    case QMetaType::QDateTime: return de::DateTimeText(v.toDateTime());
    case QMetaType::QTime: return de::TimeText(v.toTime());
    case QMetaType::Double: return de::FixedText(v.toDouble(), 2);
    case QMetaType::QByteArray: return QStringLiteral("(BLOB)");
    default: return v.toString();
    }
}

QString MemoToStored(const QString &shown) {
    QString s = shown;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return s;
}

QString StoredToMemo(const QString &stored) {
    QString s = stored;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}
