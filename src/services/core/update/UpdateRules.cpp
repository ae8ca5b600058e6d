#include "services/core/update/UpdateRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/core/VersionMark.h"
#include "services/core/update/ControlFile.h"

namespace update {

QDateTime NoDate() { return QDateTime(QDate(1980, 1, 1), QTime(0, 0)); }

QDateTime ParseUpdateDate(const QString &date, const QString &time) {
    static const QRegularExpression dateForm(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    static const QRegularExpression timeForm(QStringLiteral("^(\\d{1,2}):(\\d{1,2})$"));
    const auto d = dateForm.match(date.trimmed());
    if (!d.hasMatch()) return NoDate();
    const QDate day(d.captured(3).toInt(), d.captured(2).toInt(), d.captured(1).toInt());
    if (!day.isValid()) return NoDate();
    QTime at(0, 0);
    const auto t = timeForm.match(time.trimmed());
    if (t.hasMatch()) {
        const QTime parsed(t.captured(1).toInt(), t.captured(2).toInt());
        if (parsed.isValid()) at = parsed;
    }
    return QDateTime(day, at);
}

quint32 Checksum(const QByteArray &bytes) {
    quint32 sum = 0;
    for (const char c : bytes) sum += static_cast<unsigned char>(c);
    return sum - 1u;
}

std::optional<quint32> FileChecksum(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    quint32 sum = 0;
    while (!f.atEnd()) {
        const QByteArray block = f.read(1 << 16);
        if (block.isEmpty() && f.error() != QFileDevice::NoError) return std::nullopt;
        for (const char c : block) sum += static_cast<unsigned char>(c);
    }
    return sum - 1u;
}

TRuleValues ReadRuleValues(const TControlFile &file, const QString &section) {
    TRuleValues v;
    v.Date = file.Value(section, QStringLiteral("date"));
    v.Time = file.Value(section, QStringLiteral("time"));
    v.Unconditional = file.Has(section, QStringLiteral("unconditional"));
    v.NewVersion = file.Value(section, QStringLiteral("newversion"));
    v.NewSize = file.Integer(section, QStringLiteral("newsize"), 0);
    v.NewChecksum = file.Integer(section, QStringLiteral("newchecksum"), -1);
    return v;
}

TRuleOutcome Evaluate(const TRuleValues &v) {
    TRuleOutcome out;
    if (v.Unconditional) {
        out.Rule = TRule::Unconditional;
        out.Due = true;
        return out;
    }
    const QFileInfo local(v.LocalFile);
    const bool exists = !v.LocalFile.isEmpty() && local.isFile();
    if (!v.Date.isEmpty()) {
        out.Rule = TRule::Date;
        const QDateTime wanted = ParseUpdateDate(v.Date, v.Time);
        const QDateTime have = exists ? local.lastModified() : NoDate();
        out.Due = have < wanted;
        out.Found = wanted.toString(QStringLiteral("dd/MM/yyyy hh:mm"));
        return out;
    }
    if (v.LocalFile.isEmpty()) return out;
    if (v.NewChecksum != -1) {
        out.Rule = TRule::Checksum;
        const auto sum = exists ? FileChecksum(v.LocalFile) : std::nullopt;
        out.Due = !sum || *sum != quint32(quint64(v.NewChecksum));
        out.Found = QString::number(v.NewChecksum);
    } else if (v.NewSize > 0) {
        out.Rule = TRule::Size;
        out.Due = exists && local.size() != v.NewSize;
        out.Found = QString::number(v.NewSize);
    } else if (!v.NewVersion.isEmpty()) {
        out.Rule = TRule::Version;
        const auto wanted = TFileVersion::Parse(v.NewVersion);
        const auto have = exists ? ReadFileVersion(v.LocalFile) : std::nullopt;
        out.Due = wanted && have && have->Packed() < wanted->Packed();
        out.Found = v.NewVersion;
    }
    return out;
}

TExpanded ExpandFolders(const QString &text, const QString &programFolder, const QString &tempFolder) {
    static const QRegularExpression braces(QStringLiteral("\\{([^{}]*)\\}"));
    TExpanded out;
    QString result;
    qsizetype last = 0;
    for (auto it = braces.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        result += text.mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const QString name = m.captured(1).toUpper();
        if (name == QLatin1String("APP")) {
            result += programFolder;
        } else if (name == QLatin1String("TMP")) {
            result += tempFolder;
        } else if (name == QLatin1String("WIN") || name == QLatin1String("SYS") || name == QLatin1String("PF")) {
            out.Error = QStringLiteral("folder {%1} has no meaning on this system").arg(m.captured(1));
            return out;
        } else {
            result += m.captured(0);
        }
    }
    result += text.mid(last);
    // Control files are written with backslashes; relative paths start in the
    // program folder.
    result.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isRelativePath(result)) result.prepend(programFolder);
    out.Path = QDir::cleanPath(result);
    return out;
}

bool LiesInside(const QString &path, const QString &folder) {
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty()) return false;
    QString probe = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    // Resolve the nearest existing ancestor; what lies below it cannot be a link.
    while (!QFileInfo::exists(probe) && !QFileInfo(probe).isSymLink()) {
        const qsizetype slash = probe.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0) return false;
        rest = probe.mid(slash) + rest;
        probe = probe.left(slash);
    }
    if (QFileInfo(probe).isSymLink() && !QFileInfo::exists(probe)) return false;  // dangling link
    const QString resolved = QFileInfo(probe).canonicalFilePath() + rest;
    if (rest.contains(QLatin1String("/../")) || rest.endsWith(QLatin1String("/.."))) return false;
    return resolved.startsWith(root + QLatin1Char('/'));
}

}  // namespace update
