// tresoro_fill <database file> [projects] [rows per detail table] [access rows per project] [master digest]
// Fills a copy of the installed database for measurements and trials.

#include <QCoreApplication>
#include <cstdio>

#include "common/BenchDatabase.h"
#include "store/core/DatabaseError.h"

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: tresoro_fill <database file> [projects=1000] [rows=10] [access rows per project] [master digest]\n");
        return 2;
    }
    FillPlan plan;
    if (args.size() > 2) plan.projects = args.at(2).toInt();
    if (args.size() > 3) plan.rowsPerDetailTable = args.at(3).toInt();
    if (args.size() > 4) plan.accessRowsPerProject = args.at(4).toInt();
    if (args.size() > 5) plan.masterDigest = args.at(5);
    try {
        FillDatabase(args.at(1), plan);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("filled %s: %d projects, %d rows per detail table\n", qPrintable(args.at(1)), plan.projects,
                plan.rowsPerDetailTable);
    return 0;
}
