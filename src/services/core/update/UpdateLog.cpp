#include "services/core/update/UpdateLog.h"

#include <QFile>

#include "platform/core/Cp1252.h"

QString TUpdateLog::EventLine(const QDateTime &at, int number, const QString &text, int status, int error) {
    return at.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) + QStringLiteral(" : [") + QString::number(number) +
           QStringLiteral("] ") + text + QStringLiteral(" (Status:") + QString::number(status) +
           QStringLiteral(") (Error:") + QString::number(error) + QLatin1Char(')');
}

void TUpdateLog::Event(int number, const QString &text, int status, int error) {
    Line(EventLine(QDateTime::currentDateTime(), number, text, status, error));
}

QByteArray TUpdateLog::Encode(const QString &text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        if (const auto b = cp1252::ByteFor(ch.unicode()))
            out.append(*b);
        else
            out.append(QStringLiteral("<U+%1>").arg(int(ch.unicode()), 4, 16, QLatin1Char('0')).toUpper().toLatin1());
    }
    return out;
}

void TUpdateLog::Line(const QString &text) {
    if (path_.isEmpty()) return;
    QFile f(path_);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    f.write(Encode(text) + "\r\n");
}
