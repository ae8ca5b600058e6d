#pragma once
// A fresh, temporary program folder for one test: an empty folder, optionally
// holding a copy of the installed database, removed when the object goes.

#include <QString>
#include <QTemporaryDir>

class TestProgramFolder {
public:
    enum class Database { Copy, None };
    explicit TestProgramFolder(Database db = Database::Copy);

    // With trailing separator, as the program computes it.
    QString Path() const;
    QString File(const QString &name) const;  // Path() + name
    // The program file the code under test believes it runs from.
    QString ProgramFile() const;

    static QString InstalledDatabase();

private:
    QTemporaryDir dir_;
};
