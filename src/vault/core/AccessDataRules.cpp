#include "vault/core/AccessDataRules.h"

#include "platform/core/Cp1252.h"
#include "platform/core/Dialogs.h"
#include "platform/core/GermanFormat.h"
#include "store/core/Enabling.h"
#include "store/core/Workflow.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"
#include "vault/core/LbSHA1.h"
#include "vault/core/MasterPassword.h"
#include "vault/core/PasswordCipher.h"
#include "vault/core/Secrets.h"

std::optional<TAccessDataLook> AccessDataLook(bool projekteVorhanden, TDataSetState state) {
    const TEnabling &row = enabling::kAccessData.Row(state, projekteVorhanden);
    if (!row.Touch) return std::nullopt;
    TAccessDataLook look;
    look.FieldsOpen = row.FieldsOpen;
    look.Insert = row.Insert;
    look.Delete = row.Delete;
    look.Edit = row.Edit;
    look.EnableSave = row.Save == TSaveRule::Enable;
    look.DecryptShown = row.Decrypt;
    look.Import = row.Import;
    return look;
}

TAccessDataRules::TAccessDataRules(TDataModule1 &dm, TShell &shell, TVaultState &state)
    : dm_(dm), shell_(shell), state_(state) {
    TIBDataSet *ds = dm_.IBDataSetZugangsdaten;
    ds->BeforePost = [this] { BeforePost(); };
    ds->AfterPost = [this] { AfterPost(); };
    ds->PostFailed = [this] { PostFailed(); };
    // However editing starts (a command, typing into a field), the password
    // box shows the record's stored form then, or nothing for a new record.
    QObject::connect(ds, &TIBDataSet::StateChanged, &watch_, [this, ds] {
        const bool editing = IsEditing(ds->State());
        if (editing && !wasEditing_) {
            state_.KennwortBeiEditStart = ds->State() == TDataSetState::dsInsert ? QString() : StoredForm();
            state_.KennwortVerschluesseln = false;
        }
        if (!editing) restore_.reset();
        wasEditing_ = editing;
    });
}

TAccessDataRules::~TAccessDataRules() {
    TIBDataSet *ds = dm_.IBDataSetZugangsdaten;
    ds->BeforePost = nullptr;
    ds->AfterPost = nullptr;
    ds->PostFailed = nullptr;
}

QString TAccessDataRules::StoredForm() const {
    TIBDataSet *ds = dm_.IBDataSetZugangsdaten;
    const int f = ds->FieldIndex(QStringLiteral("KENNWORT"));
    return f >= 0 && ds->Active() && !ds->IsEmpty() ? ds->CurrentValue(f).toString() : QString();
}

void TAccessDataRules::Add() { dm_.IBDataSetZugangsdaten->Insert(); }

void TAccessDataRules::Edit(const QString &passwordBoxText) {
    TIBDataSet *ds = dm_.IBDataSetZugangsdaten;
    // A record already being edited keeps what was typed and the flags.
    if (IsEditing(ds->State())) return;
    ds->Edit();
    state_.KennwortBeiEditStart = passwordBoxText;
    state_.KennwortVerschluesseln = false;
}

void TAccessDataRules::Cancel() { dm_.IBDataSetZugangsdaten->Cancel(); }

void TAccessDataRules::Delete() {
    const QString done = QStringLiteral("Zugangsdaten zu UserID ");
    const QString gone = QStringLiteral(" wurden gelöscht");
    DeleteCurrentRecord(*dm_.IBDataSetZugangsdaten, dm_.IBTransaction, QStringLiteral("USERID"),
                        {QStringLiteral("Keine Zugangsdaten zum Löschen vorhanden"),
                         QStringLiteral("Sollen die Zugangsdaten zu UserID "), done, gone, done, gone},
                        shell_);
}

void TAccessDataRules::PasswordBoxLeft(const QString &text) {
    if (!IsEditing(dm_.IBDataSetZugangsdaten->State())) return;
    state_.KennwortVerschluesseln = text != state_.KennwortBeiEditStart;
}

void TAccessDataRules::BeforePost() {
    TIBDataSet *ds = dm_.IBDataSetZugangsdaten;
    // A re-encipherment writes the stored form it made and nothing else.
    if (state_.NeuverschluesselungAktiv) return;
    ds->FieldByName(QStringLiteral("PROJEKTID")).SetValue(dm_.IBDataSetProjekt->FieldByName(QStringLiteral("ID")).Value());
    if (UserIdText) ds->FieldByName(QStringLiteral("USERID")).SetValue(UserIdText());
    if (state_.KennwortVerschluesseln && PasswordText) {
        QString typed = PasswordText();
        secure::TWipeOnExit wipe(typed);
        TField kennwort = ds->FieldByName(QStringLiteral("KENNWORT"));
        const QString stored = vault::EncipherPassword(state_.LbBlowfish, vault::StoredMasterDigest(dm_), typed);
        restore_ = kennwort.Value();
        kennwort.SetValue(stored);
    }
    if (RemarkText) ds->FieldByName(QStringLiteral("BESCHREIBUNG")).SetValue(RemarkText());
}

void TAccessDataRules::PostFailed() {
    // The write was refused: the field holds its old stored form again and
    // the typed password stays in the box, so the next save enciphers it once.
    if (!restore_) return;
    const QVariant old = *restore_;
    restore_.reset();
    dm_.IBDataSetZugangsdaten->FieldByName(QStringLiteral("KENNWORT")).SetValue(old);
}

void TAccessDataRules::AfterPost() {
    restore_.reset();
    state_.KennwortVerschluesseln = false;
    // A master password change commits once, after its last record.
    if (!state_.NeuverschluesselungAktiv) dm_.IBTransaction.CommitRetaining();
}

bool TAccessDataRules::CheckMaster(TLbSHA1 &sha, const QString &entry) const {
    const QString digest = vault::DigestOfTyped(sha, entry);
    return !digest.isEmpty() && digest == vault::StoredMasterDigest(dm_);
}

bool TAccessDataRules::Decipher(TLbSHA1 &sha, const QString &entry, QString &clear) {
    if (!CheckMaster(sha, entry)) return false;
    clear = vault::DecipherPassword(state_.LbBlowfish, vault::StoredMasterDigest(dm_), StoredForm());
    return true;
}
