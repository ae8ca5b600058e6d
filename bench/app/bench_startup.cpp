// Time from process start to the shown, filled main window, on the empty
// installed database and on one with 1,000 projects, next to a bare Qt
// window plus one attach of the same database. Each start is a fresh process
// under the offscreen platform; the parent measures until the child reports.

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <cstdio>

#include "app/window/MainWindow.h"
#include "app/window/Startup.h"
#include "common/BenchDatabase.h"
#include "store/core/IBDatabase.h"

namespace {

void Report() {
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
}

int ChildProgram(const QString &folder) {
    TTresoroApp program(folder + QStringLiteral("tresoro"), {}, QStringLiteral("TresoroBench-") + QString::number(QCoreApplication::applicationPid()));
    if (!program.Start()) return 2;
    if (!QTest::qWaitForWindowExposed(program.frmMain.get())) return 3;
    QApplication::processEvents();
    if (program.DataModule1->IBDataSetProjekt->State() != TDataSetState::dsBrowse) return 4;
    Report();
    return 0;
}

int ChildBare(const QString &folder) {
    QWidget window;
    window.resize(956, 573);
    window.show();
    TIBDatabase db;
    db.DatabaseName = folder + QStringLiteral("tresoro.gdb");
    db.Password = QStringLiteral("masterkey");
    db.Open();
    if (!QTest::qWaitForWindowExposed(&window)) return 3;
    QApplication::processEvents();
    Report();
    db.Close();
    return 0;
}

double MedianStart(const QString &mode, const QString &folder, int runs) {
    return MedianMs(runs, [&] {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {mode, folder});
        if (!child.waitForReadyRead(60000) || !child.readAll().contains("shown")) {
            std::fprintf(stderr, "child %s failed: %s\n", qPrintable(mode), child.readAllStandardError().constData());
            std::exit(1);
        }
        child.waitForFinished(60000);
    });
}

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--program")) return ChildProgram(args.at(2));
    if (args.size() == 3 && args.at(1) == QLatin1String("--bare")) return ChildBare(args.at(2));

    BenchFolder empty, filled;
    FillDatabase(filled.Database(), FillPlan{});
    for (const BenchFolder *f : {&empty, &filled})
        QFile::copy(QStringLiteral(TRESORO_HELP_FILE), f->Path() + QStringLiteral("tresoro.chm"));
    const int runs = 9;
    const double programEmpty = MedianStart(QStringLiteral("--program"), empty.Path(), runs);
    const double programFilled = MedianStart(QStringLiteral("--program"), filled.Path(), runs);
    const double bareEmpty = MedianStart(QStringLiteral("--bare"), empty.Path(), runs);
    const double bareFilled = MedianStart(QStringLiteral("--bare"), filled.Path(), runs);
    PrintFigure("start_to_window_empty_ms", programEmpty);
    PrintFigure("start_to_window_1000_projects_ms", programFilled);
    PrintFigure("bare_window_and_attach_empty_ms", bareEmpty);
    PrintFigure("bare_window_and_attach_1000_projects_ms", bareFilled);
    PrintRatio(programFilled / bareFilled);
    return 0;
}
