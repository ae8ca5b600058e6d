#include "services/core/update/ControlFile.h"

#include <QList>

#include "platform/core/Cp1252.h"

TControlFile TControlFile::Parse(const QByteArray &bytes) {
    TControlFile file;
    QHash<QString, QString> *current = nullptr;
    const QString text = cp1252::Decode(bytes);
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = text.size();
        const QString line = text.mid(start, end - start).trimmed();
        start = end + 1;
        if (line.isEmpty() || line.front() == QLatin1Char(';') || line.front() == QLatin1Char('#')) continue;
        if (line.front() == QLatin1Char('[')) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            if (close < 0) continue;
            current = &file.sections_[line.mid(1, close - 1).trimmed().toLower()];
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || current == nullptr) continue;
        const QString key = line.left(eq).trimmed().toLower();
        if (!current->contains(key)) current->insert(key, line.mid(eq + 1).trimmed());
    }
    return file;
}

bool TControlFile::HasSection(const QString &section) const { return sections_.contains(section.toLower()); }

bool TControlFile::Has(const QString &section, const QString &key) const {
    const auto s = sections_.constFind(section.toLower());
    return s != sections_.constEnd() && s->contains(key.toLower());
}

QString TControlFile::Value(const QString &section, const QString &key) const {
    const auto s = sections_.constFind(section.toLower());
    if (s == sections_.constEnd()) return QString();
    return s->value(key.toLower());
}

qint64 TControlFile::Integer(const QString &section, const QString &key, qint64 fallback) const {
    bool ok = false;
    const qint64 n = Value(section, key).toLongLong(&ok);
    return ok ? n : fallback;
}
