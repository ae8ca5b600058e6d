// tresoro-updater <pid> L <program [parameters]> <program files>
//
// Waits until process <pid> has ended, then for each listed program file
// that the engine left as "WUPD" + name beside the program: keeps the old
// file as name + ".old", renames the new one into place, and starts the
// program. When the start fails, the old files go back and the old program
// is started instead. With "L" every step is appended to "WUPDATE.LOG".
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/types.h>

namespace {

QString gLog;

void Log(const QString &text) {
    std::fprintf(stderr, "tresoro-updater: %s\n", text.toLocal8Bit().constData());
    if (gLog.isEmpty()) return;
    QFile f(gLog);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    // The engine's log is Windows-1252; paths outside Latin-1 show as '?'.
    f.write((QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) +
             QStringLiteral(" : [updater] ") + text)
                .toLatin1() +
            "\r\n");
}

bool Running(qint64 pid) { return ::kill(pid_t(pid), 0) == 0 || errno == EPERM; }

bool Rename(const QString &from, const QString &to) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
    Log(QStringLiteral("Unable to rename file %1 to %2: %3").arg(from, to, QString::fromLocal8Bit(std::strerror(errno))));
    return false;
}

// The program is the longest leading part of the text that names an
// existing file; the rest are its parameters. A folder with blanks in its
// name thus needs no quoting.
bool SplitProgram(const QString &text, QString &program, QStringList &params) {
    if (QFileInfo(text).isFile()) {
        program = text;
        return true;
    }
    for (qsizetype at = text.lastIndexOf(QLatin1Char(' ')); at > 0; at = text.lastIndexOf(QLatin1Char(' '), at - 1)) {
        if (QFileInfo(text.left(at)).isFile()) {
            program = text.left(at);
            params = QProcess::splitCommand(text.mid(at + 1));
            return true;
        }
    }
    return false;
}

struct TReplaced {
    QString Name, Old;
};

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: tresoro-updater <pid> L <program [parameters]> [program files]\n");
        return 2;
    }
    bool ok = false;
    const qint64 pid = args[1].toLongLong(&ok);
    QString restart = args[3];
    if (restart.size() >= 2 && restart.startsWith(QLatin1Char('"')) && restart.endsWith(QLatin1Char('"')))
        restart = restart.mid(1, restart.size() - 2);
    QString program;
    QStringList params;
    const bool found = SplitProgram(restart, program, params);
    const QString folder = found ? QFileInfo(program).absolutePath() + QLatin1Char('/') : QString();
    if (args[2] == QLatin1String("L") && found) gLog = folder + QStringLiteral("WUPDATE.LOG");
    if (!ok || pid <= 0 || !found) {
        Log(QStringLiteral("Invalid command line: %1").arg(args.mid(1).join(QLatin1Char(' '))));
        return 2;
    }
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    const QStringList names = args.size() > 4 ? args.mid(4).join(QLatin1Char(' ')).split(separators, Qt::SkipEmptyParts)
                                              : QStringList();

    Log(QStringLiteral("Waiting for process %1 to end").arg(pid));
    for (int waited = 0; Running(pid); waited += 100) {
        if (waited >= 120000) {
            Log(QStringLiteral("Process %1 did not end; nothing replaced").arg(pid));
            return 1;
        }
        QThread::msleep(100);
    }

    std::vector<TReplaced> replaced;
    bool complete = true;
    for (const QString &name : names) {
        if (name.contains(QLatin1Char('/')) || name == QLatin1String("..")) continue;
        const QString fresh = folder + QStringLiteral("WUPD") + name;
        if (!QFileInfo(fresh).isFile()) continue;
        const QString target = folder + name;
        const QString old = target + QStringLiteral(".old");
        TReplaced r{name, QString()};
        if (QFileInfo::exists(target)) {
            QFile::remove(old);
            if (!Rename(target, old)) {
                complete = false;
                break;
            }
            r.Old = old;
        }
        if (!Rename(fresh, target)) {
            if (!r.Old.isEmpty()) Rename(old, target);
            complete = false;
            break;
        }
        Log(QStringLiteral("Replaced %1").arg(target));
        replaced.push_back(r);
    }

    auto putBack = [&] {
        for (auto it = replaced.rbegin(); it != replaced.rend(); ++it) {
            const QString target = folder + it->Name;
            if (it->Old.isEmpty()) {
                QFile::remove(target);
            } else if (Rename(it->Old, target)) {
                Log(QStringLiteral("Put back %1").arg(target));
            }
        }
        replaced.clear();
    };
    if (!complete) putBack();

    Log(QStringLiteral("Starting %1").arg(program));
    if (QProcess::startDetached(program, params, folder)) {
        for (const TReplaced &r : replaced)
            if (!r.Old.isEmpty()) QFile::remove(r.Old);
        Log(QStringLiteral("Started %1").arg(program));
        return complete ? 0 : 1;
    }
    Log(QStringLiteral("Cannot start %1").arg(program));
    if (replaced.empty()) return 1;
    putBack();
    if (QProcess::startDetached(program, params, folder)) {
        Log(QStringLiteral("Started the previous %1").arg(program));
        return 1;
    }
    Log(QStringLiteral("Cannot start the previous %1 either").arg(program));
    return 1;
}
