#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the update tests and benchmark:
// each path answers as scripted, including the ways servers go wrong.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

struct TRoute {
    enum class Kind { Body, Redirect, NoAnswer, ShortBody, HugeLength };
    Kind What = Kind::Body;
    int Status = 200;
    QByteArray Body;
    QByteArray Location;  // Redirect
    qint64 Announce = -1;  // ShortBody, HugeLength: the Content-Length sent
};

class TLoopbackServer : public QObject {
    Q_OBJECT
public:
    TLoopbackServer();
    QString Url(const QString &path) const;  // http://127.0.0.1:port + path
    void Serve(const QString &path, const QByteArray &body, int status = 200);
    void Route(const QString &path, const TRoute &route);
    QList<QByteArray> Requests;  // request heads, in order

private:
    void Answer(class QTcpSocket *socket, const QByteArray &head);
    QTcpServer server_;
    QHash<QString, TRoute> routes_;
};
