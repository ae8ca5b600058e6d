// The rules of the records and the vault driven without any window, as a
// terminal program would drive them: this program links the core libraries
// and Qt Core alone, so a rule that needs a widget does not even link.
// A master password is created, a project and an access record saved, the
// password revealed, the master password changed, the record deleted; every
// step is checked against a second connection.

#include <QCoreApplication>
#include <cstdio>
#include <stdexcept>

#include "platform/core/Cp1252.h"
#include "records/core/SaveCommand.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"
#include "store/core/SqlStatement.h"
#include "support/Committed.h"
#include "support/ProgramFolder.h"
#include "support/ScriptedDialogs.h"
#include "vault/core/AccessDataRules.h"
#include "vault/core/LbSHA1.h"
#include "vault/core/MasterPassword.h"
#include "vault/core/PasswordCipher.h"

namespace {
int failures = 0;

void Check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
    if (!ok) ++failures;
}

class TSmallShell : public TShell {
public:
    void StatusMessage(const QString &text) override { status = text; }
    QString CurrentStatusMessage() const override { return status; }
    void LogLine(const QString &message) override { log << message; }
    void SetSaveEnabled(bool enabled) override { save = enabled; }
    bool SaveEnabled() const override { return save; }
    void ShowError(const std::exception &e) override { errors << QString::fromStdString(e.what()); }
    void EndProgram() override { ended = true; }
    QString status;
    QStringList log, errors;
    bool save = false, ended = false;
};
}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    try {
        TestProgramFolder folder;
        const QString db = folder.File(QStringLiteral("tresoro.gdb"));
        TScriptedDialogs &dialogs = TScriptedDialogs::Install();
        TSmallShell shell;
        TVaultState state;
        TLbSHA1 sha;
        TDataModule1 dm(folder.ProgramFile());
        dm.OpenDatabase();
        TMasterPassword master(dm, shell, state);
        TAccessDataRules access(dm, shell, state);

        // The first master password.
        master.StartEditingRow();
        master.SaveDigest(sha, QStringLiteral("Erstes-Wort"));
        Check(CommittedValue(db, QStringLiteral("select MASTERKENNWORT from TBLALLGEMEIN")).toString() ==
                  sha.DigestText(cp1252::Encode(QStringLiteral("Erstes-Wort"))),
              "the digest of the first master password is committed");

        // A project and an access record, saved by the save command.
        dm.IBDataSetProjekt->Insert();
        dm.IBDataSetProjekt->FieldByName(QStringLiteral("PROJEKTNAME")).SetValue(QStringLiteral("Bank"));
        SaveAll(dm, shell, {});
        dm.IBTransaction.CommitRetaining();
        QString typed = QStringLiteral("Kontö 123");
        access.UserIdText = [] { return QStringLiteral("kunde"); };
        access.PasswordText = [&typed] { return typed; };
        access.Add();
        access.PasswordBoxLeft(typed);
        Check(dm.IBDataSetZugangsdaten->FieldByName(QStringLiteral("KENNWORT")).IsNull(),
              "the typed password is not in the record being edited");
        Check(SaveAll(dm, shell, {}), "the save command saves the access record");
        const QString stored = CommittedValue(db, QStringLiteral("select KENNWORT from TBLZUGANGSDATEN")).toString();
        TLbBlowfish cipher;
        const QString firstDigest = sha.DigestText(cp1252::Encode(QStringLiteral("Erstes-Wort")));
        Check(!stored.isEmpty() && vault::DecipherPassword(cipher, firstDigest, stored) == typed,
              "the committed stored form deciphers to the typed password");

        // The reveal needs the master password.
        QString clear;
        Check(!access.Decipher(sha, QStringLiteral("falsch"), clear) && clear.isEmpty(), "a wrong entry reveals nothing");
        Check(access.Decipher(sha, QStringLiteral("Erstes-Wort"), clear) && clear == typed, "the right entry reveals it");

        // A change re-enciphers the record under the new digest, in one commit.
        state.NeuverschluesselungAktiv = true;
        state.AlterMasterDigest = firstDigest;
        master.StartEditingRow();
        master.SaveDigest(sha, QStringLiteral("Zweites-Wort"));
        master.ReencipherAccessPasswords();
        dm.IBTransaction.CommitRetaining();
        state.NeuverschluesselungAktiv = false;
        const QString renewed = CommittedValue(db, QStringLiteral("select KENNWORT from TBLZUGANGSDATEN")).toString();
        const QString secondDigest = sha.DigestText(cp1252::Encode(QStringLiteral("Zweites-Wort")));
        Check(renewed != stored && vault::DecipherPassword(cipher, secondDigest, renewed) == typed,
              "after the change the password deciphers under the new master password");
        Check(shell.log.contains(QStringLiteral("Kennwort im Zugangsdatensatz 1 wurde neu verschlüsselt")),
              "the change logs its record line");

        // Delete asks first.
        dm.IBDataSetZugangsdaten->Close();
        dm.IBDataSetZugangsdaten->SelectSQL = {QStringLiteral("select * from TBLZUGANGSDATEN")};
        dm.IBDataSetZugangsdaten->Open();
        dialogs.AnswerMessage(mbYes);
        access.Delete();
        Check(dialogs.Messages().last().Text == QStringLiteral("Sollen die Zugangsdaten zu UserID KUNDE gelöscht werden?"),
              "the delete question names the user ID in capitals");
        Check(CommittedValue(db, QStringLiteral("select count(*) from TBLZUGANGSDATEN")).toInt() == 0,
              "the record is gone");
        Check(shell.errors.isEmpty(), "no error on the way");
        dm.CloseDatabase();
    } catch (const std::exception &e) {
        std::printf("FAIL: %s\n", e.what());
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
