// Time from process start to the shown, filled main window, on the empty
// installed database and on one with 1,000 projects, next to a bare Qt
// window plus one attach of the same database. Each start is a fresh process
// under the offscreen platform; the parent measures until the child reports.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <algorithm>
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

QElapsedTimer &SinceMain() {
    static QElapsedTimer t;
    return t;
}

int ChildProgram(const QString &folder) {
    // Each phase's end, in ms since main(), goes to the parent before "shown".
    QStringList phases;
    qint64 last = SinceMain().nsecsElapsed();
    auto mark = [&](const char *name) {
        const qint64 now = SinceMain().nsecsElapsed();
        phases << QStringLiteral("phase %1 %2").arg(QString::fromLatin1(name)).arg(double(now - last) / 1e6);
        last = now;
    };
    mark("qapplication");
    TTresoroApp program(folder + QStringLiteral("tresoro"), {}, QStringLiteral("TresoroBench-") + QString::number(QCoreApplication::applicationPid()));
    mark("log_started");
    program.PhaseDone = mark;
    if (!program.Start()) return 2;
    if (!QTest::qWaitForWindowExposed(program.frmMain.get())) return 3;
    QApplication::processEvents();
    mark("exposed_and_painted");
    if (program.DataModule1->IBDataSetProjekt->State() != TDataSetState::dsBrowse) return 4;
    for (const QString &p : phases) std::printf("%s\n", qPrintable(p));
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

// Per phase, the times of every run of the program.
QMap<QString, std::vector<double>> &Phases() {
    static QMap<QString, std::vector<double>> phases;
    return phases;
}
QStringList &PhaseOrder() {
    static QStringList order;
    return order;
}

double MedianStart(const QString &mode, const QString &folder, int runs) {
    return MedianMs(runs, [&] {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {mode, folder});
        QByteArray out;
        while (!out.contains("shown") && child.waitForReadyRead(60000)) out += child.readAll();
        if (!out.contains("shown")) {
            std::fprintf(stderr, "child %s failed: %s\n", qPrintable(mode), child.readAllStandardError().constData());
            std::exit(1);
        }
        child.waitForFinished(60000);
        {
            for (const QByteArray &line : out.split('\n')) {
                const QList<QByteArray> parts = line.split(' ');
                if (parts.size() != 3 || parts[0] != "phase") continue;
                const QString name = QString::fromLatin1(parts[1]);
                if (!PhaseOrder().contains(name)) PhaseOrder() << name;
                Phases()[name].push_back(parts[2].toDouble());
            }
        }
    });
}

}  // namespace

int main(int argc, char **argv) {
    SinceMain().start();
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
    Phases().clear();  // the phases printed are those of the filled database
    const double programFilled = MedianStart(QStringLiteral("--program"), filled.Path(), runs);
    const double bareEmpty = MedianStart(QStringLiteral("--bare"), empty.Path(), runs);
    const double bareFilled = MedianStart(QStringLiteral("--bare"), filled.Path(), runs);
    PrintFigure("start_to_window_empty_ms", programEmpty);
    PrintFigure("start_to_window_1000_projects_ms", programFilled);
    PrintFigure("bare_window_and_attach_empty_ms", bareEmpty);
    PrintFigure("bare_window_and_attach_1000_projects_ms", bareFilled);
    for (const QString &name : PhaseOrder()) {
        std::vector<double> v = Phases().value(name);
        std::sort(v.begin(), v.end());
        if (!v.empty()) PrintFigure(qPrintable(QStringLiteral("phase_") + name + QStringLiteral("_ms")), v[v.size() / 2]);
    }
    PrintRatio(programFilled / bareFilled);
    return 0;
}
