#pragma once
// What the About window shows, built without windows: the program's version
// lines, the operating system, the database lines and the size text.

#include <QString>

#include "platform/core/VersionInfo.h"

class TIBDatabase;
struct TIBDatabaseInfo;

// A byte count with its unit, "2,34 MB"; empty for a negative count.
QString FormatByteSize(qint64 size);

// The operating system as name and service level: the distribution's
// PRETTY_NAME from an os-release text and the kernel release.
struct TOperatingSystemInfo {
    QString Name;
    QString ServicePack;
    QString Line() const { return Name + QLatin1Char(' ') + ServicePack; }

    // From the files of the running system.
    static TOperatingSystemInfo Running();
    // From an os-release text; the name reports the failure when the text
    // has no PRETTY_NAME.
    static TOperatingSystemInfo FromOsRelease(const QString &osRelease, const QString &kernelRelease);
};

struct TAboutProgramLines {
    QString Caption, ProductName, Version, Legal;
};
TAboutProgramLines ProgramLines(const VersionInfo &exe);

struct TAboutDatabaseLines {
    QString DBVersion, ODS, Size;
};
// clientFileVersion: empty when the library does not tell (shown as "NoVersionInfo").
TAboutDatabaseLines DatabaseLines(const TIBDatabaseInfo &info, const QString &clientFileVersion);
// Reads the facts of the open connection; throws EDatabaseError.
TAboutDatabaseLines DatabaseLines(TIBDatabase &db);
