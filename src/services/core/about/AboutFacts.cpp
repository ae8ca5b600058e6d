#include "services/core/about/AboutFacts.h"

#include <QFile>
#include <QRegularExpression>
#include <cmath>
#include <sys/utsname.h>

#include "store/core/IBDatabase.h"

QString FormatByteSize(qint64 size) {
    if (size < 0) return QString();
    static const char *const units[] = {"Byte", "KB", "MB", "GB", "TB"};
    // Ten-thousandths of the unit, rounded to the even neighbour at each step
    // (long double holds every count of this range without loss).
    long double d = static_cast<long double>(size) * 10000.0L;
    int u = 0;
    while (d >= 10240000.0L && u < 4) {
        d = std::nearbyint(d / 1024.0L);
        ++u;
    }
    const double x = static_cast<double>(d / 10000.0L);
    QString number;
    if (u == 0)
        number = QString::number(size);
    else
        number = QString::number(x, 'f', u == 4 ? 3 : 2).replace(QLatin1Char('.'), QLatin1Char(','));
    return number + QLatin1Char(' ') + QLatin1String(units[u]);
}

TOperatingSystemInfo TOperatingSystemInfo::FromOsRelease(const QString &osRelease, const QString &kernelRelease) {
    TOperatingSystemInfo os;
    static const QRegularExpression line(QStringLiteral("^PRETTY_NAME=(.*)$"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = line.match(osRelease);
    QString name = m.hasMatch() ? m.captured(1).trimmed() : QString();
    if (name.size() >= 2 && (name.front() == QLatin1Char('"') || name.front() == QLatin1Char('\'')) &&
        name.back() == name.front())
        name = name.mid(1, name.size() - 2);
    if (name.isEmpty()) {
        os.Name = QStringLiteral("Fehler bei der Ermittlung der Windows-Version");
        return os;
    }
    os.Name = name;
    os.ServicePack = kernelRelease;
    return os;
}

TOperatingSystemInfo TOperatingSystemInfo::Running() {
    QFile f(QStringLiteral("/etc/os-release"));
    QString text;
    if (f.open(QIODevice::ReadOnly)) text = QString::fromUtf8(f.readAll());
    struct utsname u {};
    const QString kernel = uname(&u) == 0 ? QString::fromLocal8Bit(u.release) : QString();
    return FromOsRelease(text, kernel);
}

TAboutProgramLines ProgramLines(const VersionInfo &exe) {
    TAboutProgramLines l;
    l.Caption = QStringLiteral("Tresoro ") + exe.FileVersion;
    l.ProductName = exe.ProductName + QStringLiteral(" (") + exe.FileDescription + QLatin1Char(')');
    l.Version = QStringLiteral("Produktversion: ") + exe.ProductVersion + QStringLiteral(" (") + exe.FileVersion +
                QLatin1Char(')');
    l.Legal = exe.LegalCopyright;
    return l;
}

TAboutDatabaseLines DatabaseLines(const TIBDatabaseInfo &info, const QString &clientFileVersion) {
    TAboutDatabaseLines l;
    QString v = info.Version;
    const qsizetype fire = v.indexOf(QStringLiteral("Fire"));
    if (fire >= 0) v = v.mid(fire);
    l.DBVersion = v + QStringLiteral(":  (") +
                  (clientFileVersion.isEmpty() ? QStringLiteral("NoVersionInfo") : clientFileVersion) +
                  QLatin1Char(')');
    l.ODS = QStringLiteral("ODS-Version: %1.%2").arg(info.ODSMajorVersion).arg(info.ODSMinorVersion);
    l.Size = QStringLiteral("DB-Grösse: ") + FormatByteSize(info.Allocation * qint64(info.PageSize));
    return l;
}

TAboutDatabaseLines DatabaseLines(TIBDatabase &db) {
    const TIBDatabaseInfo info = TIBDatabaseInfo::Read(db);
    return DatabaseLines(info, db.Client().ClientFileVersion());
}
