// A 50 MiB download from a loopback server through the update engine
// (progress events included) against the same download by
// QNetworkAccessManager alone, in the same process. Goal: ratio under 1.2.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "LoopbackServer.h"
#include "services/core/update/UpdatePrompts.h"
#include "services/core/update/WebUpdate.h"

namespace {
struct TYes : TUpdatePrompts {
    bool Question(const QString &) override { return true; }
};

double ViaEngine(TLoopbackServer &server, qint64 size) {
    QTemporaryDir prog, tmp;
    TWebUpdate engine;
    engine.URL = server.Url(QStringLiteral("/update/tresoro.inf"));
    engine.ProgramFolder = prog.path() + QLatin1Char('/');
    engine.TempFolder = tmp.path() + QLatin1Char('/');
    engine.SetPrompts(std::make_shared<TYes>());
    qint64 events = 0;
    QObject::connect(&engine, &TWebUpdate::OnFileProgress, [&](qint64, qint64) { ++events; });
    QElapsedTimer t;
    t.start();
    const auto r = engine.DoUpdate();
    const double s = t.nsecsElapsed() / 1e9;
    if (r != TWebUpdate::TResult::Downloaded || QFileInfo(prog.filePath(QStringLiteral("big.bin"))).size() != size) {
        std::fprintf(stderr, "engine download failed\n");
        std::exit(1);
    }
    if (events < size / 4096) std::exit(1);
    return s;
}

double ViaManager(TLoopbackServer &server, qint64 size) {
    QTemporaryDir prog;
    QFile out(prog.filePath(QStringLiteral("big.bin")));
    out.open(QIODevice::WriteOnly);
    QElapsedTimer t;
    t.start();
    QNetworkAccessManager net;
    QNetworkReply *reply = net.get(QNetworkRequest(QUrl(server.Url(QStringLiteral("/f/big.bin")))));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, [&] { out.write(reply->readAll()); });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    out.write(reply->readAll());
    out.close();
    const double s = t.nsecsElapsed() / 1e9;
    delete reply;
    if (out.size() != size) std::exit(1);
    return s;
}
}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const qint64 size = qint64(50) * 1024 * 1024;
    TLoopbackServer server;
    server.Serve(QStringLiteral("/update/tresoro.inf"),
                 "[update]\nunconditional=1\n[files]\ncount=1\n[file1]\nurl=/f/big.bin\n");
    server.Serve(QStringLiteral("/f/big.bin"), QByteArray(size, 'q'));
    double engine = 1e9, manager = 1e9;
    for (int round = 0; round < 3; ++round) {
        manager = std::min(manager, ViaManager(server, size));
        engine = std::min(engine, ViaEngine(server, size));
    }
    std::printf("engine_50mib_seconds: %.3f\n", engine);
    std::printf("manager_50mib_seconds: %.3f\n", manager);
    std::printf("ratio: %.2f\n", engine / manager);
    return 0;
}
