#include "vault/MasterPassword.h"

#include <QDateTime>

#include "platform/Cp1252.h"
#include "platform/GermanFormat.h"
#include "services/HotLog.h"
#include "store/FbClient.h"
#include "store/IBDatabase.h"
#include "store/DataModule.h"
#include "store/Shell.h"
#include "store/SqlStatement.h"
#include "vault/LbBlowfish.h"
#include "vault/LbSHA1.h"
#include "vault/Secrets.h"

namespace vault {

QString StoredMasterDigest(TDataModule1 &dm) {
    TIBDataSet *g = dm.IBDataSetAllgemein;
    const int f = g->FieldIndex(QStringLiteral("MASTERKENNWORT"));
    if (!g->Active() || f < 0 || g->IsEmpty()) return QString();
    return g->CurrentValue(f).toString();
}

QString DigestOfTyped(TLbSHA1 &sha, const QString &typed) {
    std::optional<QByteArray> bytes = cp1252::TryEncode(typed);
    if (!bytes) return QString();
    const QString digest = sha.DigestText(*bytes);
    secure::Wipe(*bytes);
    return digest;
}

}  // namespace vault

namespace {
// The per-record lines of a re-encipherment, handed to the log in batches:
// a line each would wake the log's workers once per record. A failure
// hands over what was collected before it (the destructor), so the log
// still shows how far the run came.
class TLogBatch {
public:
    TLogBatch(THotLog *log, TShell &shell) : log_(log), shell_(shell) {}
    ~TLogBatch() { Flush(); }
    TLogBatch(const TLogBatch &) = delete;
    TLogBatch &operator=(const TLogBatch &) = delete;
    void Add(const QString &message) {
        if (!log_) {
            shell_.LogLine(message);
            return;
        }
        // Log lines show seconds: the date and time are formatted once a second.
        const qint64 second = QDateTime::currentMSecsSinceEpoch() / 1000;
        if (second != second_) {
            second_ = second;
            prefix_ = de::LogLine(QString(), QDateTime::fromMSecsSinceEpoch(second * 1000));
        }
        lines_ << prefix_ + message;
        if (lines_.size() >= 1000) Flush();
    }
    void Flush() {
        if (lines_.isEmpty()) return;
        log_->WriteTemplate(lines_);
        lines_.clear();
    }

private:
    THotLog *log_;
    TShell &shell_;
    QStringList lines_;
    qint64 second_ = -1;
    QString prefix_;
};
// Writes the password column of one record after another with one prepared
// statement and one message buffer: the re-encipherment rewrites nothing
// else of a row, and a change over many records must not cost much more
// than the updates themselves.
class TPasswordWriter {
public:
    explicit TPasswordWriter(TIBTransaction &transaction) : db_(transaction.Database()), tr_(transaction) {
        using namespace Firebird;
        FbStatus status(db_.Client());
        try {
            static const char sql[] = "update TBLZUGANGSDATEN set KENNWORT = ? where ID = ?";
            stmt_ = db_.Attachment()->prepare(&status, tr_.Handle(), 0, sql, 3, 0);
            // The statement's own message: VARCHAR(80) of the connection's
            // character set, and the integer key.
            meta_ = stmt_->getInputMetadata(&status);
            if ((meta_->getType(&status, 0) & ~1u) != SQL_VARYING || (meta_->getType(&status, 1) & ~1u) != SQL_LONG)
                throw EDatabaseError(QStringLiteral("TBLZUGANGSDATEN: unerwartete Spaltentypen"));
            maxStored_ = int(meta_->getLength(&status, 0));
            buffer_ = QByteArray(qsizetype(meta_->getMessageLength(&status)), '\0');
            textAt_ = meta_->getOffset(&status, 0);
            idAt_ = meta_->getOffset(&status, 1);
            // Neither value is ever NULL; the flags stay 0.
        } catch (const FbException &e) {
            Release();
            db_.Client().Raise(e);
        } catch (...) {
            Release();
            throw;
        }
    }
    ~TPasswordWriter() { Release(); }
    TPasswordWriter(const TPasswordWriter &) = delete;
    TPasswordWriter &operator=(const TPasswordWriter &) = delete;

    void Write(qint64 id, const QByteArray &stored) {
        if (stored.size() > maxStored_) throw EDatabaseError(QStringLiteral("Das verschlüsselte Kennwort passt nicht in die Spalte KENNWORT"));
        char *msg = buffer_.data();
        const auto length = static_cast<unsigned short>(stored.size());
        std::memcpy(msg + textAt_, &length, sizeof length);
        std::memcpy(msg + textAt_ + sizeof length, stored.constData(), size_t(stored.size()));
        const ISC_LONG key = static_cast<ISC_LONG>(id);
        std::memcpy(msg + idAt_, &key, sizeof key);
        FbStatus status(db_.Client());
        try {
            stmt_->execute(&status, tr_.Handle(), meta_, msg, nullptr, nullptr);
        } catch (const Firebird::FbException &e) {
            db_.Client().Raise(e);
        }
    }

private:
    void Release() {
        if (meta_) meta_->release();
        meta_ = nullptr;
        if (stmt_) stmt_->release();
        stmt_ = nullptr;
    }
    TIBDatabase &db_;
    TIBTransaction &tr_;
    Firebird::IStatement *stmt_ = nullptr;
    Firebird::IMessageMetadata *meta_ = nullptr;
    QByteArray buffer_;
    unsigned textAt_ = 0, idAt_ = 0;
    int maxStored_ = 0;
};
}  // namespace

TMasterPassword::TMasterPassword(TDataModule1 &dm, TShell &shell, TVaultState &state, THotLog *log)
    : dm_(dm), shell_(shell), state_(state), log_(log) {
    dm_.IBDataSetAllgemein->BeforePost = [this] { IBDataSetAllgemeinBeforePost(); };
    dm_.IBDataSetAllgemein->AfterPost = [this] { IBDataSetAllgemeinAfterPost(); };
}

TMasterPassword::~TMasterPassword() {
    dm_.IBDataSetAllgemein->BeforePost = nullptr;
    dm_.IBDataSetAllgemein->AfterPost = nullptr;
}

void TMasterPassword::IBDataSetAllgemeinBeforePost() {
    dm_.IBDataSetAllgemein->FieldByName(QStringLiteral("ZEITSTEMPEL")).SetValue(QDateTime::currentDateTime());
}

void TMasterPassword::IBDataSetAllgemeinAfterPost() {
    // During a change the row becomes final together with the re-enciphered passwords.
    if (!state_.NeuverschluesselungAktiv) dm_.IBTransaction.CommitRetaining();
    shell_.LogLine(QStringLiteral("MasterKennwort/PassPhrase wurden gesichert"));
}

void TMasterPassword::StartEditingRow() {
    TIBDataSet *g = dm_.IBDataSetAllgemein;
    if (IsEditing(g->State())) return;
    if (g->IsEmpty())
        g->Append();
    else
        g->Edit();
}

void TMasterPassword::SaveDigest(TLbSHA1 &sha, const QString &password) {
    TIBDataSet *g = dm_.IBDataSetAllgemein;
    g->FieldByName(QStringLiteral("MASTERKENNWORT")).SetValue(vault::DigestOfTyped(sha, password));
    g->Post();
}

void TMasterPassword::ReencipherAccessPasswords() {
    state_.NeuverschluesselungAktiv = true;
    const QString countStatement = QString::fromLatin1(kCountStatement);
    const qint64 n = dm_.QueryValue(countStatement).toLongLong();
    shell_.LogLine(QStringLiteral("---- Anfang: Neuverschlüsselung der Zugangsdaten ----"));
    shell_.LogLine(countStatement);
    shell_.LogLine(QStringLiteral("AnzahlZugangsdaten: ") + QString::number(n));
    if (n <= 0) return;

    // The dataset covers every record of every project until the detail
    // tabs are re-queried; a record being edited is dropped, as a re-query
    // drops it.
    TIBDataSet *ds = dm_.IBDataSetZugangsdaten;
    ds->Close();
    ds->SelectSQL = QStringList{QString::fromLatin1(kAllRecordsStatement)};
    shell_.LogLine(QString::fromLatin1(kAllRecordsStatement));

    // Each record's password column alone is rewritten, inside the open
    // transaction: nothing else of the row changes (its project, remark and
    // picture stay as they are), and the clear password never reaches a
    // widget. Both keys are made once; they are the keys the program would
    // make before each decipherment and encipherment.
    TLbBlowfish oldKey;
    oldKey.KeyFromPassPhrase(state_.AlterMasterDigest.toLatin1());
    dm_.LbBlowfish.KeyFromPassPhrase(vault::StoredMasterDigest(dm_).toLatin1());
    TSqlStatement read(dm_.IBTransaction, QStringLiteral("select ID, KENNWORT from tblzugangsdaten"));
    const QVector<TRowValues> rows = read.Fetch();
    TPasswordWriter write(dm_.IBTransaction);
    TLogBatch lines(log_, shell_);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const qsizetype i = r + 1;
        const QString stored = rows[r].value(1).toString();
        if (stored.isEmpty()) {
            // No password stored: nothing to decipher, the record stays as it is.
            lines.Add(QStringLiteral("Zugangsdatensatz %1 ohne Kennwort wurde unverändert übernommen").arg(i));
            continue;
        }
        QByteArray clear = oldKey.DecipherText(cp1252::Encode(stored));
        secure::TWipeOnExit wipeClear(clear);
        lines.Add(QStringLiteral("Kennwort im Zugangsdatensatz %1 wurde neu verschlüsselt").arg(i));
        write.Write(rows[r].value(0).toLongLong(), dm_.LbBlowfish.EncipherText(clear));
    }
}
