#pragma once
// One HTTP(S) download on the calling thread: a local event loop runs while
// it waits, so window events go on being processed. Limits protect against
// a server (or anyone on the path) that sends more than it should.

#include <QString>
#include <QUrl>
#include <functional>

class QIODevice;
class QNetworkAccessManager;

struct TFetchLimits {
    qint64 MaxBytes = qint64(512) * 1024 * 1024;
    int AnswerTimeoutMs = 15000;  // no data for this long counts as no answer
    int MaxRedirects = 5;
};

struct TFetchResult {
    bool Ok = false;
    bool Answered = false;  // an HTTP status line arrived
    int HttpStatus = 0;
    qint64 Announced = -1;  // Content-Length, -1 when not sent
    qint64 Received = 0;
    QString Reason;  // why Ok is false
};

// Blocks of at most this size are written and reported one by one.
constexpr qint64 FetchBlockSize = 4096;

// progress(total, received) after each block; total is the announced
// length or, without one, fallbackTotal.
TFetchResult Fetch(QNetworkAccessManager &manager, const QUrl &url, const QString &userAgent, QIODevice &sink,
                   const TFetchLimits &limits, qint64 fallbackTotal,
                   const std::function<void(qint64, qint64)> &progress);
