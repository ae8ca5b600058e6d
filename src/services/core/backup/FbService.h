#pragma once
// The database services through the run-time loaded client: the service
// manager attached locally to the engine inside this process, the backup and
// restore actions, their verbose output line by line and how they ended.

#include <QString>

#include "store/core/FbClient.h"

class TFbServiceManager {
public:
    TFbServiceManager(FbClient &client, QString user, QString password);
    ~TFbServiceManager();
    TFbServiceManager(const TFbServiceManager &) = delete;
    TFbServiceManager &operator=(const TFbServiceManager &) = delete;

    bool Active() const { return service_ != nullptr; }
    // Attaches "service_mgr" unless attached. Throws EDatabaseError.
    void Attach();
    void Detach();

    // Backup of a database file into one backup file.
    void StartBackup(const QString &databaseFile, const QString &backupFile, bool verbose);
    // Restore of one backup file into a database file that must not exist
    // yet (replace = false) or is overwritten (replace = true).
    void StartRestore(const QString &backupFile, const QString &databaseFile, int pageSize, bool replace,
                      bool verbose);

    // The next line of the running action's output. Returns false, with an
    // empty line, once the output has ended. The engine reports a failed
    // action as an error of the query that finds the end: that error is
    // thrown as EDatabaseError, so a failed run can never read as finished.
    bool NextLine(QString &line);
    // Reads the output to its end without handing it out line by line.
    void WaitForEnd();

private:
    void Start(const QByteArray &spb);
    FbClient &client_;
    QString user_, password_;
    Firebird::IService *service_ = nullptr;
    bool running_ = false;
};
