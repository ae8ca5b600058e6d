#include "vault/core/MasterPassword.h"

#include <QDateTime>

#include "platform/core/Cp1252.h"
#include "platform/core/GermanFormat.h"
#include "services/core/HotLog.h"
#include "store/core/IBDatabase.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"
#include "store/core/SqlStatement.h"
#include "vault/core/LbBlowfish.h"
#include "vault/core/LbSHA1.h"
#include "vault/core/PasswordCipher.h"
#include "vault/core/Secrets.h"

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

TMasterSaveResult TMasterPassword::SaveNew(TLbSHA1 &sha, const QString &first, const QString &second) {
    TMasterSaveResult result;
    state_.KennwortVerschluesseln = true;
    if (first.size() < 6) result.Refusals << QStringLiteral("Kennwörter müssen mindestens 6 Zeichen besitzen.");
    else if (first != second) result.Refusals << QStringLiteral("Bitte Kennwörter übereinstimmend eingeben.");
    if (!result.Refusals.isEmpty()) return result;
    auto abandon = [&](const std::exception &error, const QString &message) {
        if (log_) log_->WriteError(error, 0);
        try {
            dm_.IBTransaction.RollbackRetaining();
        } catch (const std::exception &e) {
            if (log_) log_->WriteError(e, 0);
        }
        shell_.LogLine(QStringLiteral("Rollback der Kennwortänderung"));
        result.FailureMessage = message;
        result.ErrorText = QString::fromStdString(error.what());
    };
    try {
        if (IsEditing(dm_.IBDataSetAllgemein->State())) SaveDigest(sha, second);
    } catch (const std::exception &e) {
        abandon(e, QStringLiteral("Masterkennwort konnte nicht geändert werden -> siehe Logdatei!"));
        return result;
    }
    try {
        ReencipherAccessPasswords();
        dm_.IBTransaction.CommitRetaining();
    } catch (const std::exception &e) {
        abandon(e, QStringLiteral("Zugangsdatenkennwörter konnten nur teilweise geändert werden -> siehe Logdatei!"));
        return result;
    }
    result.Saved = true;
    return result;
}

QString TMasterPassword::ProjectName(const QVariant &projectId) const {
    TIBDataSet *p = dm_.IBDataSetProjekt;
    const int id = p->FieldIndex(QStringLiteral("ID"));
    const int name = p->FieldIndex(QStringLiteral("PROJEKTNAME"));
    if (id < 0 || name < 0) return QString();
    for (int row = 0; row < p->RecordCount(); ++row)
        if (p->RowValue(row, id) == projectId) return p->RowValue(row, name).toString();
    return QString();
}

void TMasterPassword::ReencipherAccessPasswords() {
    state_.NeuverschluesselungAktiv = true;
    const QString countStatement = QString::fromLatin1(kCountStatement);
    const qint64 n = dm_.QueryValue(countStatement).toLongLong();
    shell_.LogLine(QStringLiteral("---- Anfang: Neuverschlüsselung der Zugangsdaten ----"));
    shell_.LogLine(countStatement);
    shell_.LogLine(QStringLiteral("AnzahlZugangsdaten: ") + QString::number(n));
    if (n <= 0) return;

    // Every access record of every project, until the detail tabs are
    // re-queried; a record being edited is dropped, as a re-query drops it.
    TIBDataSet *ds = dm_.IBDataSetZugangsdaten;
    ds->Close();
    ds->SelectSQL = QStringList{QString::fromLatin1(kAllRecordsStatement)};
    ds->Open();
    shell_.LogLine(QString::fromLatin1(kAllRecordsStatement));

    // Each record gets the stored form of its password under the new digest
    // and is written by the dataset's modify statement when the run moves
    // on; the clear password never enters the record. Nothing is committed
    // until the whole run is done. The widgets do not follow each record;
    // they catch up once at the end, also on failure.
    vault::TPasswordKey oldKey(state_.AlterMasterDigest), newKey(vault::StoredMasterDigest(dm_));
    TDisabledControls quiet(ds);
    TLogBatch lines(log_, shell_);
    const int kennwort = ds->FieldIndex(QStringLiteral("KENNWORT"));
    ds->First();
    for (qint64 i = 1; !ds->Eof(); ++i) {
        const QString stored = ds->Fields(kennwort).AsString();
        if (stored.isEmpty()) {
            // No password stored: nothing to decipher, the record stays as it is.
            lines.Add(QStringLiteral("Zugangsdatensatz %1 ohne Kennwort wurde unverändert übernommen").arg(i));
            ds->Next();
            continue;
        }
        QString renewed;
        try {
            QString clear = oldKey.Decipher(stored);
            secure::TWipeOnExit wipeClear(clear);
            renewed = newKey.Encipher(clear);
        } catch (...) {
            // The user must be able to find the record that stops every attempt.
            lines.Add(QStringLiteral("Zugangsdatensatz %1 (ID %2, UserID %3, Projekt %4) konnte nicht entschlüsselt werden")
                          .arg(i)
                          .arg(ds->FieldByName(QStringLiteral("ID")).AsString(),
                               ds->FieldByName(QStringLiteral("USERID")).AsString(),
                               ProjectName(ds->FieldByName(QStringLiteral("PROJEKTID")).Value())));
            lines.Flush();
            throw;
        }
        ds->Edit();
        ds->Fields(kennwort).SetValue(renewed);
        lines.Add(QStringLiteral("Kennwort im Zugangsdatensatz %1 wurde neu verschlüsselt").arg(i));
        ds->Next();
    }
}
