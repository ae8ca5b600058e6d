#include "platform/core/VersionMark.h"

#include <QFile>
#include <QStringList>

QString TFileVersion::Text() const {
    return QStringLiteral("%1.%2.%3.%4").arg(Part[0]).arg(Part[1]).arg(Part[2]).arg(Part[3]);
}

std::optional<TFileVersion> TFileVersion::Parse(const QString &text) {
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4) return std::nullopt;
    TFileVersion v;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint n = parts[i].toUInt(&ok);
        if (!ok || n > 0xFFFF || parts[i].isEmpty() || !parts[i].front().isDigit()) return std::nullopt;
        v.Part[i] = quint16(n);
    }
    return v;
}

std::optional<TFileVersion> ReadFileVersion(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    // The reader's own copy of the prefix ends in a NUL and is skipped, like
    // any other occurrence not followed by a version.
    const QByteArray prefix = QByteArrayLiteral("\x7FTRESORO-FILEVERSION:");
    constexpr qint64 Chunk = 1 << 20;
    const qint64 keep = prefix.size() + 32;
    QByteArray buffer;
    while (true) {
        const QByteArray more = f.read(Chunk);
        buffer += more;
        for (qsizetype at = buffer.indexOf(prefix); at >= 0; at = buffer.indexOf(prefix, at + 1)) {
            const qsizetype start = at + prefix.size();
            const qsizetype end = buffer.indexOf('\0', start);
            if (end < 0) {
                if (!more.isEmpty()) break;  // may continue in the next chunk
                continue;
            }
            if (end - start > 23) continue;
            if (auto v = TFileVersion::Parse(QString::fromLatin1(buffer.mid(start, end - start)))) return v;
        }
        if (more.isEmpty()) return std::nullopt;
        if (buffer.size() > keep) buffer = buffer.right(keep);
    }
}
