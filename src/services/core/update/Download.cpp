#include "services/core/update/Download.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

TFetchResult Fetch(QNetworkAccessManager &manager, const QUrl &url, const QString &userAgent, QIODevice &sink,
                   const TFetchLimits &limits, qint64 fallbackTotal,
                   const std::function<void(qint64, qint64)> &progress) {
    TFetchResult r;
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        r.Reason = QStringLiteral("not an http or https address");
        return r;
    }
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(limits.MaxRedirects);
    request.setTransferTimeout(limits.AnswerTimeoutMs);

    QNetworkReply *reply = manager.get(request);
    QEventLoop loop;
    bool refused = false;
    auto status = [&] { return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(); };
    auto refuse = [&](const QString &why) {
        if (refused) return;
        refused = true;
        r.Reason = why;
        reply->abort();
    };
    auto announced = [&]() -> qint64 {
        const QVariant v = reply->header(QNetworkRequest::ContentLengthHeader);
        return v.isValid() ? v.toLongLong() : -1;
    };
    auto drain = [&](bool all) {
        if (refused) return;
        const int code = status();
        if (code >= 300 || code == 0) {
            reply->readAll();  // an error page or a redirect's body is not the file
            return;
        }
        r.Announced = announced();
        if (r.Announced > limits.MaxBytes) {
            refuse(QStringLiteral("announced length %1 exceeds the limit of %2 bytes").arg(r.Announced).arg(limits.MaxBytes));
            return;
        }
        char block[FetchBlockSize];
        while (reply->bytesAvailable() >= FetchBlockSize || (all && reply->bytesAvailable() > 0)) {
            const qint64 n = reply->read(block, FetchBlockSize);
            if (n <= 0) break;
            if (r.Received + n > limits.MaxBytes) {
                refuse(QStringLiteral("more than %1 bytes").arg(limits.MaxBytes));
                return;
            }
            if (sink.write(block, n) != n) {
                refuse(QStringLiteral("cannot write the download: %1").arg(sink.errorString()));
                return;
            }
            r.Received += n;
            if (r.Announced >= 0 && r.Received > r.Announced) {
                refuse(QStringLiteral("more bytes than the announced %1").arg(r.Announced));
                return;
            }
            if (progress) progress(r.Announced >= 0 ? r.Announced : fallbackTotal, r.Received);
        }
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        const int code = status();
        const qint64 length = announced();
        if (code > 0 && code < 300 && length > limits.MaxBytes)
            refuse(QStringLiteral("announced length %1 exceeds the limit of %2 bytes").arg(length).arg(limits.MaxBytes));
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] { drain(false); });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec();
    drain(true);

    r.HttpStatus = status();
    r.Answered = r.HttpStatus > 0;
    if (refused) {
        // keep the reason given
    } else if (r.HttpStatus >= 300) {
        r.Reason = QStringLiteral("HTTP status %1").arg(r.HttpStatus);
    } else if (reply->error() != QNetworkReply::NoError) {
        r.Reason = reply->error() == QNetworkReply::OperationCanceledError
                       ? QStringLiteral("no answer within %1 ms").arg(limits.AnswerTimeoutMs)
                       : reply->errorString();
    } else if (!r.Answered) {
        r.Reason = QStringLiteral("no answer");
    } else if (r.Announced >= 0 && r.Received != r.Announced) {
        r.Reason = QStringLiteral("%1 of the announced %2 bytes received").arg(r.Received).arg(r.Announced);
    } else {
        r.Ok = true;
    }
    delete reply;
    return r;
}
