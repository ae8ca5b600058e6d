#include "support/ProgramFolder.h"

#include <QFile>
#include <stdexcept>

TestProgramFolder::TestProgramFolder(Database db) {
    if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary program folder");
    if (db == Database::Copy) {
        if (!QFile::copy(InstalledDatabase(), File(QStringLiteral("tresoro.gdb"))))
            throw std::runtime_error("cannot copy the installed database " + InstalledDatabase().toStdString());
        QFile::setPermissions(File(QStringLiteral("tresoro.gdb")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
    }
}

QString TestProgramFolder::Path() const { return dir_.path() + QLatin1Char('/'); }

QString TestProgramFolder::File(const QString &name) const { return Path() + name; }

QString TestProgramFolder::ProgramFile() const { return File(QStringLiteral("tresoro")); }

QString TestProgramFolder::InstalledDatabase() { return QStringLiteral(TRESORO_INSTALLED_DB); }
