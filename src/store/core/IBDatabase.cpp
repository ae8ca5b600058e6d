#include "store/core/IBDatabase.h"

#include <QFile>
#include <algorithm>
#include <optional>

#include "platform/core/Cp1252.h"
#include "store/core/DataSet.h"

using namespace Firebird;

TIBDatabase::TIBDatabase() = default;

TIBDatabase::~TIBDatabase() {
    try {
        Close();
    } catch (...) {
        // A destructor cannot report; the commit at close already ran or failed visibly before.
    }
}

FbClient &TIBDatabase::Client() const {
    if (!client_) throw EDatabaseError(QStringLiteral("Keine Verbindung zur Datenbank"));
    return *client_;
}

IAttachment *TIBDatabase::Attachment() const {
    if (!attachment_) throw EDatabaseError(QStringLiteral("Keine Verbindung zur Datenbank"));
    return attachment_;
}

void TIBDatabase::Open() {
    if (attachment_) return;
    if (BeforeConnect) BeforeConnect();
    client_ = &FbClient::Load(ClientLibrary);
    FbStatus status(*client_);
    IXpbBuilder *dpb = nullptr;
    try {
        dpb = client_->Util()->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&status, isc_dpb_user_name, cp1252::Encode(UserName).constData());
        dpb->insertString(&status, isc_dpb_password, cp1252::Encode(Password).constData());
        dpb->insertString(&status, isc_dpb_lc_ctype, CharacterSet.toLatin1().constData());
        dpb->insertInt(&status, isc_dpb_sql_dialect, SQLDialect);
        // The engine inside this process, never a server.
        dpb->insertString(&status, isc_dpb_config, "Providers=Engine12");
        const QByteArray path = QFile::encodeName(DatabaseName);
        attachment_ = client_->Provider()->attachDatabase(&status, path.constData(), dpb->getBufferLength(&status),
                                                          dpb->getBuffer(&status));
        dpb->dispose();
    } catch (const FbException &e) {
        if (dpb) dpb->dispose();
        client_->Raise(e);
    }
    ++serial_;
    if (AfterConnect) AfterConnect();
}

void TIBDatabase::Close() {
    if (!attachment_) return;
    // Copy: closing may make datasets unregister or re-register.
    const auto sets = dataSets_;
    for (TIBDataSet *ds : sets) ds->Disconnecting();
    std::optional<EDatabaseError> commitError;
    if (DefaultTransaction && DefaultTransaction->InTransaction()) {
        try {
            DefaultTransaction->Commit();
        } catch (const EDatabaseError &e) {
            commitError = e;
            try {
                DefaultTransaction->Rollback();
            } catch (const EDatabaseError &) {
                DefaultTransaction->Forget();
            }
        }
    }
    FbStatus status(*client_);
    try {
        attachment_->detach(&status);  // releases the interface on success
    } catch (const FbException &) {
        attachment_->release();
    }
    attachment_ = nullptr;
    if (AfterDisconnect) AfterDisconnect();
    if (commitError) throw *commitError;
}

void TIBDatabase::RegisterDataSet(TIBDataSet *ds) {
    if (std::find(dataSets_.begin(), dataSets_.end(), ds) == dataSets_.end()) dataSets_.push_back(ds);
}

void TIBDatabase::UnregisterDataSet(TIBDataSet *ds) { std::erase(dataSets_, ds); }

// ---------------------------------------------------------------------------

TIBTransaction::TIBTransaction(TIBDatabase &db) : db_(db) {
    if (!db.DefaultTransaction) db.DefaultTransaction = this;
}

TIBTransaction::~TIBTransaction() {
    if (db_.DefaultTransaction == this) db_.DefaultTransaction = nullptr;
    if (transaction_) {
        try {
            Commit();
        } catch (...) {
            Forget();
        }
    }
}

ITransaction *TIBTransaction::Handle() {
    if (!transaction_) {
        FbStatus status(db_.Client());
        try {
            // No parameters: the server's default read-write transaction.
            transaction_ = db_.Attachment()->startTransaction(&status, 0, nullptr);
        } catch (const FbException &e) {
            db_.Client().Raise(e);
        }
    }
    return transaction_;
}

void TIBTransaction::CommitRetaining() {
    if (!transaction_) return;
    FbStatus status(db_.Client());
    try {
        transaction_->commitRetaining(&status);
    } catch (const FbException &e) {
        db_.Client().Raise(e);
    }
}

void TIBTransaction::RollbackRetaining() {
    if (!transaction_) return;
    FbStatus status(db_.Client());
    try {
        transaction_->rollbackRetaining(&status);
    } catch (const FbException &e) {
        db_.Client().Raise(e);
    }
}

void TIBTransaction::Commit() {
    if (!transaction_) return;
    FbStatus status(db_.Client());
    try {
        transaction_->commit(&status);  // releases the interface on success
        transaction_ = nullptr;
    } catch (const FbException &e) {
        db_.Client().Raise(e);
    }
}

void TIBTransaction::Rollback() {
    if (!transaction_) return;
    FbStatus status(db_.Client());
    try {
        transaction_->rollback(&status);
        transaction_ = nullptr;
    } catch (const FbException &e) {
        db_.Client().Raise(e);
    }
}

void TIBTransaction::Forget() {
    if (transaction_) transaction_->release();
    transaction_ = nullptr;
}

// ---------------------------------------------------------------------------

namespace {

qint64 ReadInt(const unsigned char *p, int length) {
    qint64 v = 0;
    for (int i = 0; i < length; ++i) v |= qint64(p[i]) << (8 * i);
    return v;
}

}  // namespace

TIBDatabaseInfo TIBDatabaseInfo::Read(TIBDatabase &db) {
    TIBDatabaseInfo info;
    FbClient &client = db.Client();
    info.ClientVersion = client.ClientVersion();
    const unsigned char items[] = {isc_info_firebird_version, isc_info_ods_version, isc_info_ods_minor_version,
                                   isc_info_allocation, isc_info_page_size, isc_info_end};
    unsigned char buffer[1024] = {};
    FbStatus status(client);
    try {
        db.Attachment()->getInfo(&status, sizeof items, items, sizeof buffer, buffer);
    } catch (const FbException &e) {
        client.Raise(e);
    }
    const unsigned char *p = buffer;
    const unsigned char *end = buffer + sizeof buffer;
    while (p + 3 <= end && *p != isc_info_end) {
        const unsigned char item = *p++;
        const int length = int(ReadInt(p, 2));
        p += 2;
        if (p + length > end) break;
        switch (item) {
        case isc_info_firebird_version:
            // count, then length-prefixed texts; the first is the server's own
            if (length >= 2) {
                const int textLength = qMin<int>(p[1], length - 2);
                info.Version = QString::fromLatin1(reinterpret_cast<const char *>(p + 2), textLength);
            }
            break;
        case isc_info_ods_version: info.ODSMajorVersion = int(ReadInt(p, length)); break;
        case isc_info_ods_minor_version: info.ODSMinorVersion = int(ReadInt(p, length)); break;
        case isc_info_allocation: info.Allocation = ReadInt(p, length); break;
        case isc_info_page_size: info.PageSize = int(ReadInt(p, length)); break;
        default: break;
        }
        p += length;
    }
    return info;
}
