#include "platform/core/VersionInfo.h"

#if !defined(TRESORO_VERSION_MAJOR) || !defined(TRESORO_VERSION_MINOR) || !defined(TRESORO_VERSION_PATCH) || \
    !defined(TRESORO_VERSION_TWEAK)
#error "the build must define the program version (TRESORO_VERSION_MAJOR ... TRESORO_VERSION_TWEAK)"
#endif

// The same numbers, readable from the program file (see VersionMark.h).
#include "platform/core/VersionMark.h"
TRESORO_VERSION_MARK(TRESORO_VERSION_MAJOR, TRESORO_VERSION_MINOR, TRESORO_VERSION_PATCH, TRESORO_VERSION_TWEAK);

QString VersionInfo::NumberText() const {
    return QStringLiteral("%1.%2.%3.%4").arg(Major).arg(Minor).arg(Release).arg(Build);
}

VersionInfo VersionInfo::Program() {
    VersionInfo v;
    v.HasResource = true;
    v.Major = TRESORO_VERSION_MAJOR;
    v.Minor = TRESORO_VERSION_MINOR;
    v.Release = TRESORO_VERSION_PATCH;
    v.Build = TRESORO_VERSION_TWEAK;
    v.ProductName = QStringLiteral("Tresoro");
    v.FileVersion = v.NumberText();
    v.ProductVersion = QStringLiteral("%1.%2").arg(v.Major).arg(v.Minor);
    v.FileDescription = QStringLiteral("Tresoro – Zugangsdaten sicher verwalten");
    v.LegalCopyright = QStringLiteral("© Tresoro-Entwicklung. Alle Rechte vorbehalten.");
    v.CompanyName = QStringLiteral("Tresoro-Entwicklung");
    v.InternalName = QStringLiteral("tresoro");
    v.OriginalFilename = QStringLiteral("tresoro");
    return v;
}

VersionInfo VersionInfo::None() {
    const QString missing = QStringLiteral("Updated at run-time");
    VersionInfo v;
    for (QString *text : {&v.CompanyName, &v.FileDescription, &v.FileVersion, &v.InternalName, &v.LegalCopyright,
                          &v.LegalTrademarks, &v.OriginalFilename, &v.ProductName, &v.ProductVersion, &v.Comments})
        *text = missing;
    return v;
}
