#pragma once
// The rules of the master password, apart from its window: the digest that
// stands for it, the hooks of the general-settings row, saving a new digest
// and re-enciphering every stored access password under it.

#include <QString>
#include <QStringList>
#include <QVariant>

#include "vault/core/VaultState.h"

class TDataModule1;
class THotLog;
class TLbSHA1;
class TShell;

namespace vault {

// MASTERKENNWORT of the general-settings row; empty when no master password
// exists (or the table has no row).
QString StoredMasterDigest(TDataModule1 &dm);

// Digest text of a typed password. Empty for a text with a character outside
// Windows-1252: no stored digest can stand for it.
QString DigestOfTyped(TLbSHA1 &sha, const QString &typed);

// A master password has at most this many characters, wherever it is typed.
inline constexpr int kMasterPasswordMaxLength = 20;

}  // namespace vault

// What saving a new master password came to.
struct TMasterSaveResult {
    QStringList Refusals;   // the entries were refused, for these reasons in this order
    bool Saved = false;     // digest and re-enciphered passwords are committed
    QString FailureMessage; // the run failed and was rolled back: what to tell the user
    QString ErrorText;      // and the error that stopped it
};

class TMasterPassword {
public:
    static inline const char *const kCountStatement = "select count (tblzugangsdaten.id) from tblzugangsdaten";
    static inline const char *const kAllRecordsStatement = "select * from tblzugangsdaten";

    // Installs the general-settings hooks; the destructor removes them.
    // log: where the per-record lines go in batches (none: one shell line each).
    TMasterPassword(TDataModule1 &dm, TShell &shell, TVaultState &state, THotLog *log = nullptr);
    ~TMasterPassword();
    TMasterPassword(const TMasterPassword &) = delete;
    TMasterPassword &operator=(const TMasterPassword &) = delete;

    void IBDataSetAllgemeinBeforePost();
    void IBDataSetAllgemeinAfterPost();

    // Puts the settings row into editing; starts a row when there is none.
    void StartEditingRow();
    // Stores the digest of `password` in the row being edited and saves it.
    void SaveDigest(TLbSHA1 &sha, const QString &password);
    // Deciphers every access password of every project under
    // AlterMasterDigest and enciphers it under the stored digest; writes the
    // passwords without committing. A password that cannot be deciphered
    // names its record in the log before the error goes up. An empty stored password means none is
    // stored and is carried over. Throws on the first failure. The access
    // dataset is left closed, holding the statement of all records.
    void ReencipherAccessPasswords();

    // The save of the master password window: the entries checked (at
    // least 6 characters, both equal), the digest stored in the settings row
    // being edited, every access password re-enciphered, one commit. A
    // failure is logged and rolled back as a whole; the caller ends the
    // program.
    TMasterSaveResult SaveNew(TLbSHA1 &sha, const QString &first, const QString &second);

private:
    QString ProjectName(const QVariant &projectId) const;

    TDataModule1 &dm_;
    TShell &shell_;
    TVaultState &state_;
    THotLog *log_;
};
