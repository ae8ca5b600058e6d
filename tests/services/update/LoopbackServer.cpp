#include "LoopbackServer.h"

#include <QTcpSocket>

TLoopbackServer::TLoopbackServer() {
    if (!server_.listen(QHostAddress::LocalHost)) qFatal("cannot listen on 127.0.0.1");
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = server_.nextPendingConnection()) {
            auto *buffer = new QByteArray;
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QObject::destroyed, [buffer] { delete buffer; });
            connect(s, &QTcpSocket::readyRead, this, [this, s, buffer] {
                *buffer += s->readAll();
                qsizetype end;
                while ((end = buffer->indexOf("\r\n\r\n")) >= 0) {
                    const QByteArray head = buffer->left(end);
                    buffer->remove(0, end + 4);
                    Answer(s, head);
                }
            });
        }
    });
}

QString TLoopbackServer::Url(const QString &path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
}

void TLoopbackServer::Serve(const QString &path, const QByteArray &body, int status) {
    TRoute r;
    r.Status = status;
    r.Body = body;
    routes_[path] = r;
}

void TLoopbackServer::Route(const QString &path, const TRoute &route) { routes_[path] = route; }

void TLoopbackServer::Answer(QTcpSocket *s, const QByteArray &head) {
    Requests << head;
    const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = words.size() > 1 ? QString::fromLatin1(words[1]) : QString();
    const auto it = routes_.constFind(path);
    TRoute r;
    if (it == routes_.constEnd()) {
        r.Status = 404;
        r.Body = "<html>not found</html>";
    } else {
        r = *it;
    }
    auto reason = [](int status) -> QByteArray {
        switch (status) {
        case 200: return "OK";
        case 302: return "Found";
        case 404: return "Not Found";
        case 500: return "Internal Server Error";
        default: return "Status";
        }
    };
    switch (r.What) {
    case TRoute::Kind::NoAnswer:
        return;  // keeps the connection open and says nothing
    case TRoute::Kind::Redirect:
        s->write("HTTP/1.1 302 Found\r\nLocation: " + r.Location + "\r\nContent-Length: 0\r\n\r\n");
        return;
    case TRoute::Kind::ShortBody:
    case TRoute::Kind::HugeLength:
        s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(r.Announce) + "\r\n\r\n" + r.Body);
        if (r.What == TRoute::Kind::ShortBody) s->disconnectFromHost();
        return;
    case TRoute::Kind::Body:
        s->write("HTTP/1.1 " + QByteArray::number(r.Status) + ' ' + reason(r.Status) +
                 "\r\nContent-Type: application/octet-stream\r\nContent-Length: " + QByteArray::number(r.Body.size()) +
                 "\r\n\r\n");
        s->write(r.Body);
        return;
    }
}
