#pragma once
// The whole program on a seeded database, and what the vault's tests need
// around it: stored forms made the way the program makes them, a second
// connection that sees only what was committed, and the windows driven as
// a user drives them.

#include <QtTest>
#include <optional>

#include "../app/AppFixture.h"
#include "platform/core/Cp1252.h"
#include "store/core/SqlStatement.h"
#include "support/window/Typing.h"
#include "vault/window/AccessDataTab.h"
#include "vault/core/LbBlowfish.h"
#include "vault/core/LbSHA1.h"
#include "store/window/Looks.h"
#include "vault/window/VaultWidgets.h"
#include "vault/window/VaultWindows.h"

inline QString DigestOf(const QString &password) { return TLbSHA1().DigestText(cp1252::Encode(password)); }

inline QString StoredFormOf(const QString &clear, const QString &masterPassword) {
    TLbBlowfish cipher;
    cipher.KeyFromPassPhrase(DigestOf(masterPassword).toLatin1());
    return QString::fromLatin1(cipher.EncipherText(cp1252::Encode(clear)));
}

inline QString ClearOf(const QString &stored, const QString &masterPassword) {
    TLbBlowfish cipher;
    cipher.KeyFromPassPhrase(DigestOf(masterPassword).toLatin1());
    return cp1252::Decode(cipher.DecipherText(cp1252::Encode(stored)));
}

struct VaultFixture : AppFixture {
    // Statements on a connection of their own, committed at once.
    void Exec(const QString &sql, const TRowValues &params = {}) {
        TIBDatabase db;
        db.DatabaseName = folder.File(QStringLiteral("tresoro.gdb"));
        db.Password = QStringLiteral("masterkey");
        TIBTransaction tr(db);
        db.Open();
        {
            TSqlStatement st(tr, sql);
            st.Execute(params);
        }
        tr.Commit();
        db.Close();
    }
    // Rows as committed, seen from a connection of its own.
    QVector<TRowValues> Committed(const QString &sql) const {
        TIBDatabase db;
        db.DatabaseName = folder.File(QStringLiteral("tresoro.gdb"));
        db.Password = QStringLiteral("masterkey");
        TIBTransaction tr(db);
        db.Open();
        QVector<TRowValues> rows;
        {
            TSqlStatement st(tr, sql);
            rows = st.Fetch();
        }
        tr.Commit();
        db.Close();
        return rows;
    }
    QVariant CommittedValue(const QString &sql) const {
        const auto rows = Committed(sql);
        return rows.isEmpty() || rows.first().isEmpty() ? QVariant() : rows.first().first();
    }
    QString CommittedDigest() const {
        return CommittedValue(QStringLiteral("select MASTERKENNWORT from TBLALLGEMEIN")).toString();
    }

    void SeedMaster(const QString &password) {
        Exec(QStringLiteral("update TBLALLGEMEIN set MASTERKENNWORT = ?, PASSPHRASE = ?"),
             {DigestOf(password), QStringLiteral("alter Hinweis")});
    }
    void SeedProject(int id, const QString &name) {
        Exec(QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (?, ?)"), {id, name});
        Exec(QStringLiteral("set generator GEN_TBLPROJEKT_ID to %1").arg(id));
    }
    // A record whose KENNWORT is `stored` as given (a stored form, or anything else).
    void SeedAccess(int id, int project, const QString &userId, const QVariant &stored) {
        Exec(QStringLiteral("insert into TBLZUGANGSDATEN (ID, USERID, KENNWORT, BESCHREIBUNG, PROJEKTID) values (?, ?, ?, ?, ?)"),
             {id, userId, stored, QStringLiteral("Bemerkung %1").arg(id), project});
        Exec(QStringLiteral("set generator GEN_TBLZUGANGSDATEN_ID to %1").arg(id));
    }

    TAccessDataTab &Tab() { return *Main().AccessData; }
    TfrmMasterKW &MasterWindow() { return *app->frmMasterKW; }

    // Shows the master password window from the tool bar; `script` acts on it.
    void OpenMasterWindow(const std::function<void(TfrmMasterKW &)> &script) {
        dialogs.AnswerModal([script](QDialog *d) { script(*static_cast<TfrmMasterKW *>(d)); });
        Main().BtnMasterkey->trigger();
    }

    // Types the new password twice (and a hint) and presses the save button.
    static void TypeAndSave(TfrmMasterKW &w, const QString &first, const QString &second,
                            const QString &hint = QString()) {
        TypeText(w.EditKennwort1, first);
        TypeText(w.EditKennwort2, second);
        if (!hint.isEmpty()) TypeText(w.DBMemoPassphrase, hint);
        QTest::mouseClick(w.BtnSaveMasterKW, Qt::LeftButton);
    }

    // Presses the reveal button; the prompt gets `entry` and OK, or nothing
    // and Cancel. Returns what the reveal window showed, nothing when it did
    // not appear (`expectWindow` says whether the script should wait for it).
    // `byKey`: the reveal key with the focus in the user ID field instead of the button.
    std::optional<QString> Reveal(const std::optional<QString> &entry, bool expectWindow, bool byKey = false) {
        dialogs.AnswerModal([entry](QDialog *d) {
            auto *prompt = static_cast<TfrmInputMaster *>(d);
            if (!entry) {
                QTest::mouseClick(prompt->BitBtnCancel, Qt::LeftButton);
                return;
            }
            TypeText(prompt->EditInputMaster, *entry);
            QTest::mouseClick(prompt->BitBtnOK, Qt::LeftButton);
        });
        std::optional<QString> shown;
        if (expectWindow)
            dialogs.AnswerModal([&shown](QDialog *d) {
                auto *window = static_cast<TfrmKennwort *>(d);
                shown = window->Label1->text();
                QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
            });
        if (byKey) {
            QApplication::setActiveWindow(&Main());
            Tab().DBEditUserID->setFocus();
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(Qt::Key_F3));
        } else {
            QTest::mouseClick(Tab().SpeedButtonDecrypt, Qt::LeftButton);
        }
        return shown;
    }

    // Makes the record with this user ID current (its project first).
    void Select(const QString &userId) {
        TDataModule1 &dm = Dm();
        const auto rows = Committed(QStringLiteral("select PROJEKTID from TBLZUGANGSDATEN where USERID = '%1'").arg(userId));
        QVERIFY(!rows.isEmpty());
        const int project = rows.first().first().toInt();
        TIBDataSet *projects = dm.IBDataSetProjekt;
        for (int i = 0; i < projects->RecordCount(); ++i)
            if (projects->RowValue(i, projects->FieldIndex(QStringLiteral("ID"))).toInt() == project) projects->MoveTo(i);
        TIBDataSet *ds = dm.IBDataSetZugangsdaten;
        for (int i = 0; i < ds->RecordCount(); ++i)
            if (ds->RowValue(i, ds->FieldIndex(QStringLiteral("USERID"))).toString() == userId) ds->MoveTo(i);
        QCOMPARE(Tab().DBEditUserID->text(), userId);
    }

    QStringList MessageTexts() const {
        QStringList out;
        for (const TDialogCall &c : dialogs.Messages()) out << c.Text;
        return out;
    }
};
