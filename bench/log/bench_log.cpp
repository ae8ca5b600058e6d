// A burst of 100,000 log lines handed to the activity log, timed until the
// last one is in the file, against writing the same lines with a plain
// buffered file write in the same process.

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "platform/core/Cp1252.h"
#include "platform/core/GermanFormat.h"
#include "services/core/HotLog.h"

namespace {

constexpr int kLines = 100'000;
constexpr int kRuns = 5;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;

    QStringList lines;
    lines.reserve(kLines);
    const QDateTime at = QDateTime::currentDateTime();
    qint64 bytes = 0;
    for (int i = 0; i < kLines; ++i) {
        lines << de::LogLine(QStringLiteral("gbak: writing data for table TBLZUGANGSDATEN, Satz %1 übertragen").arg(i), at);
        bytes += cp1252::Encode(lines.last()).size() + 2;
    }

    std::vector<double> queued, logged, plain;
    for (int run = 0; run < kRuns; ++run) {
        const QString folder = dir.path() + QStringLiteral("/run%1/").arg(run);
        QDir().mkpath(folder);
        {
            THotLog log(folder + QStringLiteral("tresoro"), {});
            log.StartWriters();
            const QString file = log.FileName();
            QElapsedTimer timer;
            timer.start();
            for (const QString &line : lines) log.WriteLine(line);
            queued.push_back(double(timer.nsecsElapsed()) / 1e6);
            while (QFileInfo(file).size() < bytes) std::this_thread::sleep_for(std::chrono::microseconds(100));
            logged.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        {
            QElapsedTimer timer;
            timer.start();
            QFile file(folder + QStringLiteral("plain.log"));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
            for (const QString &line : lines) {
                // These lines hold no character whose Windows-1252 byte differs
                // from Latin-1, so the fastest conversion Qt has is the fair one.
                file.write(line.toLatin1());
                file.write("\r\n", 2);
            }
            file.close();
            plain.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (QFileInfo(file).size() != bytes) return 1;
        }
    }

    const double logMs = Median(logged), plainMs = Median(plain);
    std::printf("lines: %d\n", kLines);
    std::printf("bytes: %lld\n", static_cast<long long>(bytes));
    std::printf("log_handed_in_ms: %.2f\n", Median(queued));
    std::printf("log_in_file_ms: %.2f\n", logMs);
    std::printf("plain_write_ms: %.2f\n", plainMs);
    std::printf("ratio: %.2f\n", logMs / plainMs);
    return 0;
}
