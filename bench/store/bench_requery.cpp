// Re-querying the five detail datasets for another project (what choosing a
// project in the list does), next to the same five selects run bare.

#include <QCoreApplication>

#include "common/BenchDatabase.h"
#include "Bare.h"
#include "store/core/DataModule.h"

namespace {

struct Detail {
    TIBDataSet *ds;
    const char *table;
};

QStringList FilterFor(const char *table, int project) {
    const QString t = QLatin1String(table);
    return {QStringLiteral("select * from ") + t,
            QStringLiteral("where %1.projektid = '%2'").arg(t).arg(project)};
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    BenchFolder folder;
    FillDatabase(folder.Database(), FillPlan{});
    TDataModule1 dm(folder.ProgramFile());
    dm.OpenDatabase();
    const Detail details[] = {{dm.IBDataSetEmail, "tblemail"},
                              {dm.IBDataSetTelefon, "tbltelefon"},
                              {dm.IBDataSetZugangsdaten, "tblZugangsdaten"},
                              {dm.IBDataSetToDo, "tbltodo"},
                              {dm.IBDataSetTermine, "tblTermine"}};
    const int runs = 301;

    int project = 0;
    long rows = 0;
    const double datasets = MedianMs(runs, [&] {
        project = project % 1000 + 1;
        rows = 0;
        for (const Detail &d : details) {
            d.ds->Close();
            d.ds->SelectSQL = FilterFor(d.table, project);
            d.ds->Open();
            rows += d.ds->RecordCount();
        }
    });
    project = 0;
    long bareRows = 0;
    const double bare = MedianMs(runs, [&] {
        project = project % 1000 + 1;
        bareRows = 0;
        for (const Detail &d : details)
            bareRows += BareFetch(dm.IBDatabase, dm.IBTransaction, TIBDataSet::StatementText(FilterFor(d.table, project)));
    });
    if (rows != bareRows || rows != 50) {
        std::fprintf(stderr, "row counts differ: %ld vs %ld\n", rows, bareRows);
        return 1;
    }
    PrintFigure("rows_per_requery", double(rows));
    PrintFigure("requery_five_datasets_ms", datasets);
    PrintFigure("requery_five_bare_ms", bare);
    PrintRatio(datasets / bare);
    return 0;
}
