#include "vault/core/AccessDataRules.h"

#include "platform/core/Cp1252.h"
#include "platform/core/Dialogs.h"
#include "platform/core/GermanFormat.h"
#include "store/core/Workflow.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"
#include "vault/core/LbSHA1.h"
#include "vault/core/MasterPassword.h"
#include "vault/core/Secrets.h"

std::optional<TAccessDataLook> AccessDataLook(bool projekteVorhanden, TDataSetState state) {
    TAccessDataLook look;
    if (!projekteVorhanden) return look;  // all locked, disabled, hidden
    switch (state) {
    case TDataSetState::dsInactive: return std::nullopt;
    case TDataSetState::dsBrowse:
        look.Insert = look.Delete = look.Edit = look.DecryptShown = true;
        return look;
    case TDataSetState::dsEdit:
        look.FieldsOpen = look.Insert = look.Delete = look.EnableSave = look.DecryptShown = look.Import = true;
        return look;
    case TDataSetState::dsInsert:
        look.FieldsOpen = look.Insert = look.Edit = look.EnableSave = look.Import = true;
        return look;
    }
    return std::nullopt;
}

TAccessDataRules::TAccessDataRules(TDataModule1 &dm, TShell &shell, TVaultState &state)
    : dm_(dm), shell_(shell), state_(state) {
    dm_.IBDataSetZugangsdaten->BeforePost = [this] { BeforePost(); };
    dm_.IBDataSetZugangsdaten->AfterPost = [this] { AfterPost(); };
}

TAccessDataRules::~TAccessDataRules() {
    dm_.IBDataSetZugangsdaten->BeforePost = nullptr;
    dm_.IBDataSetZugangsdaten->AfterPost = nullptr;
}

void TAccessDataRules::Add() { dm_.IBDataSetZugangsdaten->Insert(); }

void TAccessDataRules::Edit(const QString &passwordBoxText) {
    state_.KennwortBeiEditStart = passwordBoxText;
    state_.KennwortVerschluesseln = false;
    dm_.IBDataSetZugangsdaten->Edit();
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
    state_.KennwortVerschluesseln = text != state_.KennwortBeiEditStart;
}

void TAccessDataRules::BeforePost() {
    TIBDataSet *ds = dm_.IBDataSetZugangsdaten;
    if (!state_.NeuverschluesselungAktiv)
        ds->FieldByName(QStringLiteral("PROJEKTID")).SetValue(dm_.IBDataSetProjekt->FieldByName(QStringLiteral("ID")).Value());
    if (UserIdText) ds->FieldByName(QStringLiteral("USERID")).SetValue(UserIdText());
    if (state_.KennwortVerschluesseln && PasswordText) {
        state_.LbBlowfish.KeyFromPassPhrase(vault::StoredMasterDigest(dm_).toLatin1());
        QString typed = PasswordText();
        QByteArray clear = cp1252::Encode(typed);
        secure::Wipe(typed);
        const QByteArray stored = state_.LbBlowfish.EncipherText(clear);
        secure::Wipe(clear);
        ds->FieldByName(QStringLiteral("KENNWORT")).SetValue(QString::fromLatin1(stored));
    }
    if (RemarkText) ds->FieldByName(QStringLiteral("BESCHREIBUNG")).SetValue(RemarkText());
}

void TAccessDataRules::AfterPost() {
    // A master password change commits once, after its last record.
    if (!state_.NeuverschluesselungAktiv) dm_.IBTransaction.CommitRetaining();
}

bool TAccessDataRules::Decipher(TLbSHA1 &sha, const QString &entry, const QString &storedForm, QString &clear) {
    const QString digest = vault::DigestOfTyped(sha, entry);
    const QString master = vault::StoredMasterDigest(dm_);
    if (digest.isEmpty() || digest != master) return false;
    state_.LbBlowfish.KeyFromPassPhrase(digest.toLatin1());
    // A typed clear password is no stored form; its characters above "z"
    // fail like any other character outside the Base64 range.
    const std::optional<QByteArray> stored = cp1252::TryEncode(storedForm);
    QByteArray bytes = state_.LbBlowfish.DecipherText(stored ? *stored : QByteArray(storedForm.size(), '\xff'));
    clear = cp1252::Decode(bytes);
    secure::Wipe(bytes);
    return true;
}
