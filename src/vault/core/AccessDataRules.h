#pragma once
// The rules of the access-data records apart from their widgets: the
// commands, the password box's leave rule, the before- and after-save hooks,
// the state table of the tab and the reveal of a stored password.

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

#include "store/core/DataSet.h"
#include "vault/core/VaultState.h"

class TDataModule1;
class TLbSHA1;
class TShell;

// One line of the tab's state table.
struct TAccessDataLook {
    bool FieldsOpen = false;  // user ID, password and remark
    bool Insert = false;
    bool Delete = false;
    bool Edit = false;
    bool EnableSave = false;  // false: the save button is left as it is
    bool DecryptShown = false;
    bool Import = false;
    friend bool operator==(const TAccessDataLook &, const TAccessDataLook &) = default;
};

// Nothing: the controls are left as they are (a closed dataset while
// projects exist).
std::optional<TAccessDataLook> AccessDataLook(bool projekteVorhanden, TDataSetState state);

class TAccessDataRules {
public:
    // Installs the access-data dataset's hooks; the destructor removes them.
    TAccessDataRules(TDataModule1 &dm, TShell &shell, TVaultState &state);
    ~TAccessDataRules();
    TAccessDataRules(const TAccessDataRules &) = delete;
    TAccessDataRules &operator=(const TAccessDataRules &) = delete;

    // The texts of the tab's three input controls, read by the before-save hook.
    std::function<QString()> UserIdText, PasswordText, RemarkText;

    void Add();
    // passwordBoxText: what the password box shows (the stored form). A
    // record already in editing is left as it is.
    void Edit(const QString &passwordBoxText);
    void Cancel();
    void Delete();
    // The password box lost the focus showing `text` (while editing).
    void PasswordBoxLeft(const QString &text);

    void BeforePost();
    void PostFailed();
    void AfterPost();

    // The current record's stored form (never what is being typed); empty
    // while it has none.
    QString StoredForm() const;
    // True when `entry` is the master password.
    bool CheckMaster(TLbSHA1 &sha, const QString &entry) const;
    // The reveal's check and decipherment of the record's stored form: true
    // and the clear password in `clear` when `entry` is the master password;
    // false (nothing deciphered) otherwise. Throws the cipher's errors for a
    // value that is no stored form.
    bool Decipher(TLbSHA1 &sha, const QString &entry, QString &clear);

private:
    TDataModule1 &dm_;
    TShell &shell_;
    TVaultState &state_;
    QObject watch_;  // receives the dataset's state changes
    bool wasEditing_ = false;
    std::optional<QVariant> restore_;  // KENNWORT before the before-save hook set it
};
