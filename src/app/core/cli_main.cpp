#include <QCoreApplication>

#include "app/core/Cli.h"
#include "platform/core/TerminationSignals.h"

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return RunCli(QCoreApplication::applicationFilePath(), args);
}
