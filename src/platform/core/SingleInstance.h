#pragma once
// Only one copy of the program per user and desktop session. The first copy
// holds a named lock for its whole run and listens for a later copy, which
// finds the lock taken and asks the first to bring its window to the front.
//
// The lock is a lock file carrying the holder's process id, so a copy that
// was killed leaves a lock the next start recognises as stale and takes over.
// The hand-over runs over a local socket named after the lock.

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // The lock lives in the user's runtime folder; its file names carry the
    // name, the user and the desktop session.
    explicit TSingleInstance(const QString &name, QObject *parent = nullptr);
    // The lock lives in the given folder (tests use their own).
    TSingleInstance(const QString &name, const QString &folder, QObject *parent = nullptr);
    ~TSingleInstance() override;

    TSingleInstance(const TSingleInstance &) = delete;
    TSingleInstance &operator=(const TSingleInstance &) = delete;

    // Takes the lock and starts listening for later copies. False when
    // another copy holds the lock or the lock cannot be created. Calling it
    // again while holding the lock returns true.
    bool TryAcquire();
    bool IsHeld() const;
    // Gives the lock up early; the destructor does the same.
    void Release();

    // For the copy that did not get the lock: asks the holder to come to the
    // front. True once the holder has confirmed the request.
    bool NotifyRunningCopy(int timeoutMs = 3000) const;

    QString LockFilePath() const;
    QString ServerName() const;  // full path of the local socket
    QString ErrorText() const;   // why the last TryAcquire failed

    // The part of the file names that tells desktop sessions apart.
    static QString SessionTag();

signals:
    // A later copy asked for the running copy's window.
    void ActivationRequested();

private:
    void OnNewConnection();

    QString lockPath_;
    QString serverName_;
    QString error_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer *server_ = nullptr;
};
