#pragma once
// Databases for benchmarks: a copy of the installed database in a temporary
// program folder, filled with many projects and their detail rows.

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

struct FillPlan {
    int projects = 1000;
    int rowsPerDetailTable = 10;  // per project and detail table
    int accessRowsPerProject = -1;  // -1: as rowsPerDetailTable
    // When set: the master password's digest text, stored in TBLALLGEMEIN,
    // and every access password is a valid stored form under it.
    QString masterDigest;
};

// The clear password the fill gives access record `id`.
QString BenchAccessPassword(int id);

// Fills the database file (which must exist and not be open elsewhere).
void FillDatabase(const QString &databaseFile, const FillPlan &plan);

class BenchFolder {
public:
    BenchFolder();  // a copy of the installed database
    QString Path() const { return dir_.path() + QLatin1Char('/'); }
    QString Database() const { return Path() + QStringLiteral("tresoro.gdb"); }
    QString ProgramFile() const { return Path() + QStringLiteral("tresoro"); }

private:
    QTemporaryDir dir_;
};

// Median time of `runs` calls in milliseconds.
double MedianMs(int runs, const std::function<void()> &work);

inline void PrintFigure(const char *name, double value) { std::printf("%s: %.3f\n", name, value); }
inline void PrintRatio(double value) { std::printf("ratio: %.2f\n", value); }
