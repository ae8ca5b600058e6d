#pragma once
// The one connection and the one transaction of the program.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "store/core/FbClient.h"

class TIBTransaction;
class TIBDataSet;

class TIBDatabase {
public:
    TIBDatabase();
    ~TIBDatabase();
    TIBDatabase(const TIBDatabase &) = delete;
    TIBDatabase &operator=(const TIBDatabase &) = delete;

    // Set before connecting (the before-connect hook may set them too).
    QString DatabaseName;
    QString UserName = QStringLiteral("sysdba");
    QString Password;
    int SQLDialect = 3;
    QString CharacterSet = QStringLiteral("WIN1252");
    QString ClientLibrary = QString::fromLatin1(FbClient::DefaultLibrary());

    std::function<void()> BeforeConnect;
    std::function<void()> AfterConnect;
    std::function<void()> AfterDisconnect;

    TIBTransaction *DefaultTransaction = nullptr;

    bool Connected() const { return attachment_ != nullptr; }
    // Attaches embedded (no server process). Throws EDatabaseError.
    void Open();
    // Closes every dataset (edits are dropped), commits, detaches.
    void Close();

    FbClient &Client() const;
    Firebird::IAttachment *Attachment() const;  // throws when not connected

    // Datasets register so that closing the connection closes them first.
    void RegisterDataSet(TIBDataSet *ds);
    void UnregisterDataSet(TIBDataSet *ds);

    // Incremented at every connect; prepared statements of an older
    // connection are discarded when they see a new value.
    quint64 ConnectionSerial() const { return serial_; }

private:
    FbClient *client_ = nullptr;
    Firebird::IAttachment *attachment_ = nullptr;
    std::vector<TIBDataSet *> dataSets_;
    quint64 serial_ = 0;
};

class TIBTransaction {
public:
    explicit TIBTransaction(TIBDatabase &db);
    ~TIBTransaction();
    TIBTransaction(const TIBTransaction &) = delete;
    TIBTransaction &operator=(const TIBTransaction &) = delete;

    TIBDatabase &Database() const { return db_; }
    bool InTransaction() const { return transaction_ != nullptr; }
    // The transaction starts with the first statement that needs it.
    Firebird::ITransaction *Handle();

    void CommitRetaining();
    void RollbackRetaining();
    void Commit();
    void Rollback();

    // Drops the handle without ending it (the attachment is already gone).
    void Forget();

private:
    TIBDatabase &db_;
    Firebird::ITransaction *transaction_ = nullptr;
};

// Facts about the attached database file.
struct TIBDatabaseInfo {
    QString Version;  // server version text
    int ODSMajorVersion = 0;
    int ODSMinorVersion = 0;
    qint64 Allocation = 0;  // pages
    int PageSize = 0;
    QString ClientVersion;

    static TIBDatabaseInfo Read(TIBDatabase &db);
};
