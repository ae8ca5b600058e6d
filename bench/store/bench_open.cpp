// Opening the seven datasets on a database of 1,000 projects with ten rows in
// each detail table, next to the same seven selects run bare.

#include <QCoreApplication>

#include "common/BenchDatabase.h"
#include "Bare.h"
#include "store/core/DataModule.h"

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    BenchFolder folder;
    FillDatabase(folder.Database(), FillPlan{});
    TDataModule1 dm(folder.ProgramFile());
    dm.Connect();
    const int runs = 15;

    long rows = 0;
    const double datasets = MedianMs(runs, [&] {
        dm.OpenDatabase();
        rows = 0;
        for (TIBDataSet *ds : dm.DataSets()) rows += ds->RecordCount();
    });
    long bareRows = 0;
    const double bare = MedianMs(runs, [&] {
        bareRows = 0;
        for (TIBDataSet *ds : dm.DataSets()) bareRows += BareFetch(dm.IBDatabase, dm.IBTransaction, ds->SelectText());
    });
    if (rows != bareRows) {
        std::fprintf(stderr, "row counts differ: %ld vs %ld\n", rows, bareRows);
        return 1;
    }
    PrintFigure("rows", double(rows));
    PrintFigure("open_seven_datasets_ms", datasets);
    PrintFigure("open_seven_bare_ms", bare);
    PrintRatio(datasets / bare);
    return 0;
}
