#include "platform/core/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace {

// One request line each way; anything else is dropped.
constexpr char kRequest[] = "ACTIVATE\n";
constexpr char kReply[] = "OK\n";
constexpr qint64 kMaxRequest = 64;

QString FileSafe(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const bool plain = (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z') ||
                           (ch >= u'0' && ch <= u'9') || ch == u'.' || ch == u'-' || ch == u'_';
        out.append(plain ? ch : QChar(u'_'));
    }
    return out;
}

QString DefaultFolder() {
    // Per user; falls back to the shared temporary folder, where the user id
    // in the file names keeps users apart.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

QString BaseName(const QString &name) {
    QString base = FileSafe(name) + u'-' + QString::number(::getuid());
    const QString tag = TSingleInstance::SessionTag();
    if (!tag.isEmpty()) base += u'-' + tag;
    return base;
}

}  // namespace

TSingleInstance::TSingleInstance(const QString &name, QObject *parent)
    : TSingleInstance(name, DefaultFolder(), parent) {}

TSingleInstance::TSingleInstance(const QString &name, const QString &folder, QObject *parent)
    : QObject(parent) {
    const QString base = QDir(folder).absoluteFilePath(BaseName(name));
    lockPath_ = base + QStringLiteral(".lock");
    serverName_ = base + QStringLiteral(".socket");
}

TSingleInstance::~TSingleInstance() { Release(); }

QString TSingleInstance::SessionTag() {
    // An X display names the desktop; ":0" and ":0.1" are the same desktop.
    QString display = qEnvironmentVariable("DISPLAY");
    if (!display.isEmpty()) {
        const qsizetype colon = display.lastIndexOf(u':');
        const qsizetype dot = display.indexOf(u'.', colon + 1);
        if (colon >= 0 && dot > colon) display.truncate(dot);
        return QStringLiteral("x") + FileSafe(display);
    }
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!wayland.isEmpty()) return FileSafe(wayland);
    const QString session = qEnvironmentVariable("XDG_SESSION_ID");
    if (!session.isEmpty()) return QStringLiteral("s") + FileSafe(session);
    return {};
}

bool TSingleInstance::TryAcquire() {
    if (IsHeld()) return true;
    error_.clear();
    const QString folder = QFileInfo(lockPath_).absolutePath();
    if (!QDir().mkpath(folder)) {
        error_ = QStringLiteral("Ordner %1 kann nicht angelegt werden").arg(folder);
        return false;
    }

    auto lock = std::make_unique<QLockFile>(lockPath_);
    // Never stale by age: only when its holder is gone.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        switch (lock->error()) {
        case QLockFile::LockFailedError:
            error_ = QStringLiteral("Die Sperre %1 hält ein anderes Programm").arg(lockPath_);
            break;
        case QLockFile::PermissionError:
            error_ = QStringLiteral("Keine Berechtigung für die Sperre %1").arg(lockPath_);
            break;
        default:
            error_ = QStringLiteral("Die Sperre %1 kann nicht angelegt werden").arg(lockPath_);
            break;
        }
        return false;
    }
    lock_ = std::move(lock);

    // Holding the lock, any socket of that name was left by a copy that died.
    // (With an access option Qt binds elsewhere and renames the socket into
    // place, replacing whatever is there: one more reason to do this only
    // while holding the lock.)
    QLocalServer::removeServer(serverName_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &TSingleInstance::OnNewConnection);
    if (!server_->listen(serverName_)) {
        // The rule still holds; only the hand-over to a later copy is lost.
        error_ = QStringLiteral("Übergabe an eine spätere Kopie nicht möglich (%1): %2")
                     .arg(serverName_, server_->errorString());
        qWarning("TSingleInstance: %s", qUtf8Printable(error_));
        delete server_;
        server_ = nullptr;
    }
    return true;
}

bool TSingleInstance::IsHeld() const { return lock_ && lock_->isLocked(); }

void TSingleInstance::Release() {
    if (server_) {
        server_->close();  // removes the socket file
        delete server_;
        server_ = nullptr;
    }
    if (lock_) {
        lock_->unlock();
        lock_.reset();
    }
}

void TSingleInstance::OnNewConnection() {
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxRequest) socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(kMaxRequest);
            if (line == kRequest) {
                socket->write(kReply);
                socket->flush();
                emit ActivationRequested();
            }
            socket->disconnectFromServer();
        });
    }
}

bool TSingleInstance::NotifyRunningCopy(int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The holder may have taken the lock a moment ago and not listen yet.
    for (;;) {
        socket.connectToServer(serverName_);
        if (socket.waitForConnected(int(deadline.remainingTime()))) break;
        socket.abort();
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
    socket.write(kRequest);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(int(deadline.remainingTime()))) return false;
    return socket.readLine(kMaxRequest) == kReply;
}

QString TSingleInstance::LockFilePath() const { return lockPath_; }
QString TSingleInstance::ServerName() const { return serverName_; }
QString TSingleInstance::ErrorText() const { return error_; }
