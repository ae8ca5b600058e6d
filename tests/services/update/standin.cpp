// Stands in for the program the updater restarts: records in its folder
// that it was started, with which version and parameters, and ends.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "platform/core/VersionMark.h"

TRESORO_VERSION_MARK(STANDIN_MAJOR, 0, 0, 0);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QFile f(QFileInfo(app.applicationFilePath()).absolutePath() + QStringLiteral("/started.txt"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return 1;
    f.write(QByteArray::number(STANDIN_MAJOR) + ".0.0.0");
    for (int i = 1; i < argc; ++i) f.write(QByteArray(" ") + argv[i]);
    f.write("\n");
    return 0;
}
