#pragma once
// The program's version data: what a version resource of the program file
// would hold, compiled into the executable here. Every reader (log header,
// About window, caption) asks this layer. None() stands for a program file
// without version data.

#include <QString>

struct VersionInfo {
    bool HasResource = false;
    QString CompanyName;
    QString FileDescription;
    QString FileVersion;
    QString InternalName;
    QString LegalCopyright;
    QString LegalTrademarks;
    QString OriginalFilename;
    QString ProductName;
    QString ProductVersion;
    QString Comments;
    // The fixed file version: major, minor, release, build.
    int Major = 0;
    int Minor = 0;
    int Release = 0;
    int Build = 0;

    // The four numbers joined by ".", "0.0.0.0" without version data.
    QString NumberText() const;

    // The data compiled into this program.
    static VersionInfo Program();
    // No version data: numbers 0, every text "Updated at run-time".
    static VersionInfo None();
};
