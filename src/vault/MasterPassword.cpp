#include "vault/MasterPassword.h"

#include <QDateTime>

#include "platform/Cp1252.h"
#include "store/DataModule.h"
#include "store/Shell.h"
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

TMasterPassword::TMasterPassword(TDataModule1 &dm, TShell &shell, TVaultState &state)
    : dm_(dm), shell_(shell), state_(state) {
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

    TIBDataSet *ds = dm_.IBDataSetZugangsdaten;
    ds->Close();
    ds->SelectSQL = QStringList{QString::fromLatin1(kAllRecordsStatement)};
    ds->Open();
    shell_.LogLine(QString::fromLatin1(kAllRecordsStatement));

    const QByteArray oldDigest = state_.AlterMasterDigest.toLatin1();
    const int passwordField = ds->FieldIndex(QStringLiteral("KENNWORT"));
    ds->First();
    for (int i = 1; !ds->Eof(); ++i) {
        const QString stored = ds->CurrentValue(passwordField).toString();
        if (stored.isEmpty()) {
            // No password stored: nothing to decipher, the record stays as it is.
            shell_.LogLine(QStringLiteral("Zugangsdatensatz %1 ohne Kennwort wurde unverändert übernommen").arg(i));
        } else {
            dm_.LbBlowfish.KeyFromPassPhrase(oldDigest);
            QByteArray clearBytes = dm_.LbBlowfish.DecipherText(cp1252::Encode(stored));
            QString clear = cp1252::Decode(clearBytes);
            secure::Wipe(clearBytes);
            secure::TWipeOnExit wipeClear(clear);
            ds->Edit();
            // The password box shows the clear password now; saving the
            // record enciphers the box's text under the new digest.
            ds->Fields(passwordField).SetValue(clear);
            shell_.LogLine(QStringLiteral("Kennwort im Zugangsdatensatz %1 wurde neu verschlüsselt").arg(i));
        }
        ds->Next();  // saves the edited record
    }
}
