// The master password window: the first master password, the rules of a
// new password, a change with the re-encipherment of every stored access
// password, and the two failures that roll the change back and end the program.

#include <QtTest>

#include "VaultFixture.h"

namespace {
const QString kOld = QStringLiteral("alt-Kennwort");
const QString kNew = QStringLiteral("Neu Wört 9");

// The log lines of the re-encipherment, without their date and time.
QStringList ReencipherLines(const QString &log) {
    QStringList out;
    for (const QString &line : log.split(QStringLiteral("\r\n"))) {
        const qsizetype at = line.indexOf(QStringLiteral(": "));
        if (at < 0) continue;
        const QString message = line.mid(at + 2);
        if (message.startsWith(QStringLiteral("Kennwort im Zugangsdatensatz")) || message.startsWith(QStringLiteral("select")) ||
            message.startsWith(QStringLiteral("AnzahlZugangsdaten")) || message.startsWith(QStringLiteral("----")) ||
            message.startsWith(QStringLiteral("MasterKennwort/PassPhrase")) || message.startsWith(QStringLiteral("Zugangsdatensatz")) ||
            message.startsWith(QStringLiteral("Rollback")))
            out << message;
    }
    return out;
}
}  // namespace

class TestMasterPassword : public QObject {
    Q_OBJECT
private slots:
    void theFirstMasterPassword_data() {
        QTest::addColumn<bool>("withRow");
        QTest::addColumn<QString>("firstState");
        QTest::newRow("settings row without digest") << true << QStringLiteral("Edit");
        QTest::newRow("no settings row") << false << QStringLiteral("Insert");
    }
    void theFirstMasterPassword() {
        QFETCH(bool, withRow);
        QFETCH(QString, firstState);
        VaultFixture f;
        if (!withRow) f.Exec(QStringLiteral("delete from TBLALLGEMEIN"));
        QVERIFY(f.app->Start());
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);

        // Adding a project first asks for a master password and opens the window.
        f.dialogs.AnswerModal([&](QDialog *d) {
            auto &w = *static_cast<TfrmMasterKW *>(d);
            QCOMPARE(w.WindowState(), TfrmMasterKW::TWindowState::New);
            QVERIFY(!w.BtnKWAendern->isEnabled());
            QVERIFY(w.LabelKWAendern->isHidden());
            QVERIFY(vaultui::HasEntryLook(w.EditKennwort1) && vaultui::HasEntryLook(w.EditKennwort2) &&
                    vaultui::HasEntryLook(w.DBMemoPassphrase));
            QVERIFY(!w.BtnSaveMasterKW->isEnabled());
            QCOMPARE(w.StatusBarMasterKW->PanelText(0), QStringLiteral("Browse"));
            QCOMPARE(w.EditKennwort1->echoMode(), QLineEdit::Password);
            QTest::keyClick(w.EditKennwort1, Qt::Key_G);
            QCOMPARE(w.StatusBarMasterKW->PanelText(0), firstState);
            QVERIFY(w.BtnSaveMasterKW->isEnabled());
            TypeText(w.EditKennwort1, QStringLiteral("eheim"));
            TypeText(w.EditKennwort2, QStringLiteral("geheim"));
            TypeText(w.DBMemoPassphrase, QStringLiteral("Katze"));
            QTest::mouseClick(w.BtnSaveMasterKW, Qt::LeftButton);
            QVERIFY(!w.isVisible());
        });
        f.Main().BtnInsert->trigger();
        QCOMPARE(f.MessageTexts(), QStringList{QStringLiteral("Ein Masterkennwort muss zu Beginn eingegeben werden")});
        QCOMPARE(f.dialogs.Unexpected, 0);

        QCOMPARE(f.CommittedDigest(), DigestOf(QStringLiteral("geheim")));
        const auto row = f.Committed(QStringLiteral("select PASSPHRASE, ZEITSTEMPEL from TBLALLGEMEIN"));
        QCOMPARE(row.size(), 1);
        QCOMPARE(row.first().at(0).toString(), QStringLiteral("Katze"));
        QVERIFY(row.first().at(1).toDateTime() >= before);
        QVERIFY(!f.app->Vault.NeuverschluesselungAktiv);

        QVERIFY(f.WaitForLog(QStringLiteral("AnzahlZugangsdaten: 0")));
        QCOMPARE(ReencipherLines(f.LogText()),
                 (QStringList{QStringLiteral("MasterKennwort/PassPhrase wurden gesichert"),
                              QStringLiteral("---- Anfang: Neuverschlüsselung der Zugangsdaten ----"),
                              QStringLiteral("select count (tblzugangsdaten.id) from tblzugangsdaten"),
                              QStringLiteral("AnzahlZugangsdaten: 0")}));

        // Now a project can be added.
        f.Main().BtnInsert->trigger();
        QCOMPARE(f.Dm().IBDataSetProjekt->State(), TDataSetState::dsInsert);
    }

    void aNewPasswordMustBeLongEnoughAndRepeatedExactly_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("saved");
        QTest::newRow("six characters") << "abcdef" << "abcdef" << QString() << "abcdef";
        QTest::newRow("five characters") << "abcde" << "abcde" << "Kennwörter müssen mindestens 6 Zeichen besitzen." << QString();
        QTest::newRow("repetition differs in case") << "Geheim" << "geheim" << "Bitte Kennwörter übereinstimmend eingeben."
                                                    << QString();
        QTest::newRow("more than 20 typed") << "abcdefghijklmnopqrstuvwxyz" << "abcdefghijklmnopqrst" << QString()
                                            << "abcdefghijklmnopqrst";
        QTest::newRow("umlauts") << "Schlüssel ß" << "Schlüssel ß" << QString() << "Schlüssel ß";
    }
    void aNewPasswordMustBeLongEnoughAndRepeatedExactly() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, refusal);
        QFETCH(QString, saved);
        VaultFixture f;
        QVERIFY(f.app->Start());
        f.OpenMasterWindow([&](TfrmMasterKW &w) {
            VaultFixture::TypeAndSave(w, first, second);
            if (refusal.isEmpty()) {
                QVERIFY(!w.isVisible());
                return;
            }
            QVERIFY(w.isVisible());
            QVERIFY(w.EditKennwort1->text().isEmpty() && w.EditKennwort2->text().isEmpty());
            // Leave without saving.
            f.dialogs.AnswerMessage(mbYes);
            w.close();
        });
        if (refusal.isEmpty()) {
            QCOMPARE(f.CommittedDigest(), DigestOf(saved));
            QCOMPARE(f.MessageTexts(), QStringList{});
        } else {
            QCOMPARE(f.CommittedDigest(), QString());
            const auto messages = f.dialogs.Messages();
            QCOMPARE(messages.first().Text, refusal);
            QCOMPARE(messages.first().Caption, QStringLiteral("Fehler"));
            QCOMPARE(messages.first().Icon, TMsgIcon::None);
            // A short beep comes right before the refusal.
            qsizetype at = 0;
            while (f.dialogs.Calls.at(at).Kind != QLatin1String("message")) ++at;
            QVERIFY(at > 0);
            QCOMPARE(f.dialogs.Calls.at(at - 1).Kind, QStringLiteral("beep"));
            // Only one refusal per press.
            QCOMPARE(messages.size(), 2);
            QCOMPARE(messages.last().Text,
                     QStringLiteral("Daten wurden noch nicht gespeichert. Fenster ohne zu speichern schließen?"));
        }
    }

    void theKeysSaveOrClose_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Enter in the repetition") << "EditKennwort2" << "Return" << true;
        QTest::newRow("Enter in the first edit") << "EditKennwort1" << "Return" << true;
        QTest::newRow("Ctrl+S in the hint") << "DBMemoPassphrase" << "Ctrl+S" << true;
        QTest::newRow("Enter in the hint breaks the line") << "DBMemoPassphrase" << "Return" << false;
        QTest::newRow("Escape asks, then closes unsaved") << "EditKennwort2" << "Esc" << false;
    }
    void theKeysSaveOrClose() {
        QFETCH(QString, focus);
        QFETCH(QString, key);
        QFETCH(bool, saved);
        VaultFixture f;
        QVERIFY(f.app->Start());
        f.OpenMasterWindow([&](TfrmMasterKW &w) {
            TypeText(w.EditKennwort1, QStringLiteral("geheim"));
            TypeText(w.EditKennwort2, QStringLiteral("geheim"));
            auto *target = w.findChild<QWidget *>(focus);
            QVERIFY(target);
            target->setFocus();
            if (key == QLatin1String("Esc")) f.dialogs.AnswerMessage(mbYes);
            QTest::keySequence(target, QKeySequence(key));
            if (w.isVisible()) {
                QVERIFY(!saved);
                f.dialogs.AnswerMessage(mbYes);
                w.close();
            }
        });
        QCOMPARE(f.CommittedDigest(), saved ? DigestOf(QStringLiteral("geheim")) : QString());
    }

    void aChangeReenciphersEveryRecordOfEveryProject_data() {
        QTest::addColumn<int>("backupAnswer");
        QTest::newRow("no backup") << int(mbNo);
        QTest::newRow("backup asked for") << int(mbYes);  // no backup exists yet: goes on as No does
    }
    void aChangeReenciphersEveryRecordOfEveryProject() {
        QFETCH(int, backupAnswer);
        VaultFixture f;
        f.SeedMaster(kOld);
        f.SeedProject(1, QStringLiteral("Eins"));
        f.SeedProject(2, QStringLiteral("Zwei"));
        const QStringList clears = {QStringLiteral("erstes"), QStringLiteral("  Größe & Maß  "), QString(40, QLatin1Char('x'))};
        f.SeedAccess(1, 1, QStringLiteral("anna"), StoredFormOf(clears[0], kOld));
        f.SeedAccess(2, 2, QStringLiteral("bert"), StoredFormOf(clears[1], kOld));
        f.SeedAccess(3, 1, QStringLiteral("carl"), StoredFormOf(clears[2], kOld));
        const auto before = f.Committed(QStringLiteral("select ID, KENNWORT, PROJEKTID from TBLZUGANGSDATEN order by ID"));
        QVERIFY(f.app->Start());

        f.dialogs.AnswerMessage(backupAnswer);
        // Yes runs the backup, which ends with its success box.
        const int backupBox = backupAnswer == mbYes ? 1 : 0;
        if (backupBox) f.dialogs.AnswerMessage(mbOK);
        f.dialogs.AnswerInput(kOld);
        f.OpenMasterWindow([&](TfrmMasterKW &w) {
            QCOMPARE(w.WindowState(), TfrmMasterKW::TWindowState::Changing);
            QVERIFY(!w.BtnKWAendern->isEnabled());
            QVERIFY(!w.LabelKWAendern->isHidden());
            QVERIFY(w.DBMemoPassphrase->toPlainText().isEmpty());  // the old hint does not survive
            QVERIFY(vaultui::HasEntryLook(w.EditKennwort1));
            VaultFixture::TypeAndSave(w, kNew, kNew, QStringLiteral("neuer Hinweis"));
            QVERIFY(!w.isVisible());
        });
        const auto calls = f.dialogs.Calls;
        QCOMPARE(calls.at(1).Kind, QStringLiteral("message"));
        QCOMPARE(calls.at(1).Text,
                 QStringLiteral("Vor dem Ändern des Masterkennworts sollte ein Backup gezogen werden.\r\nSoll jetzt ein Backup gezogen werden?"));
        if (backupBox) {
            QCOMPARE(calls.at(2).Text, QStringLiteral("Datenbankbackup TRESOROBACKUP wurde erzeugt."));
            QVERIFY(QFileInfo(f.folder.File(QStringLiteral("tresorobackup.gbk"))).size() > 0);
        } else {
            QVERIFY(!QFileInfo::exists(f.folder.File(QStringLiteral("tresorobackup.gbk"))));
        }
        QCOMPARE(calls.at(2 + backupBox).Kind, QStringLiteral("input"));
        QCOMPARE(calls.at(2 + backupBox).Caption, QStringLiteral("Wechsel des Masterkennworts"));
        QCOMPARE(calls.at(2 + backupBox).Text, QStringLiteral("Altes Kennwort"));
        QVERIFY(calls.at(2 + backupBox).Masked);
        QCOMPARE(f.dialogs.Unexpected, 0);

        QCOMPARE(f.CommittedDigest(), DigestOf(kNew));
        QCOMPARE(f.CommittedValue(QStringLiteral("select PASSPHRASE from TBLALLGEMEIN")).toString(), QStringLiteral("neuer Hinweis"));
        const auto after = f.Committed(QStringLiteral("select ID, KENNWORT, PROJEKTID from TBLZUGANGSDATEN order by ID"));
        QCOMPARE(after.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(after[i].at(2), before[i].at(2));  // each keeps its project
            QVERIFY(after[i].at(1).toString() != before[i].at(1).toString());
            QCOMPARE(ClearOf(after[i].at(1).toString(), kNew), clears[i]);
        }
        QVERIFY(!f.app->Vault.NeuverschluesselungAktiv);
        QCOMPARE(f.Dm().IBDataSetZugangsdaten->SelectText(),
                 QStringLiteral("select * from tblZugangsdaten\nwhere tblZugangsdaten.projektid = '1'\n"));

        QVERIFY(f.WaitForLog(QStringLiteral("Zugangsdatensatz 3 wurde")));
        QCOMPARE(ReencipherLines(f.LogText()),
                 (QStringList{QStringLiteral("MasterKennwort/PassPhrase wurden gesichert"),
                              QStringLiteral("---- Anfang: Neuverschlüsselung der Zugangsdaten ----"),
                              QStringLiteral("select count (tblzugangsdaten.id) from tblzugangsdaten"),
                              QStringLiteral("AnzahlZugangsdaten: 3"), QStringLiteral("select * from tblzugangsdaten"),
                              QStringLiteral("Kennwort im Zugangsdatensatz 1 wurde neu verschlüsselt"),
                              QStringLiteral("Kennwort im Zugangsdatensatz 2 wurde neu verschlüsselt"),
                              QStringLiteral("Kennwort im Zugangsdatensatz 3 wurde neu verschlüsselt")}));
        QVERIFY(!f.LogText().contains(clears[0]));

        // The reveal: the new master password shows the old clear texts, the old one no longer works.
        f.dialogs.Clear();
        f.Select(QStringLiteral("bert"));
        QCOMPARE(f.Reveal(kNew, true), std::optional<QString>(clears[1]));
        f.Select(QStringLiteral("carl"));
        QCOMPARE(f.Reveal(kNew, true), std::optional<QString>(clears[2]));
        QCOMPARE(f.Reveal(kOld, false), std::nullopt);
        QCOMPARE(f.MessageTexts(), QStringList{QStringLiteral("falsches Masterkennwort!")});
    }

    void aWrongOrCancelledOldPasswordOnlyShows_data() {
        QTest::addColumn<std::optional<QString>>("entry");
        QTest::newRow("wrong") << std::optional<QString>(QStringLiteral("alt-kennwort"));
        QTest::newRow("cancelled") << std::optional<QString>();
        QTest::newRow("empty") << std::optional<QString>(QString());
    }
    void aWrongOrCancelledOldPasswordOnlyShows() {
        QFETCH(std::optional<QString>, entry);
        VaultFixture f;
        f.SeedMaster(kOld);
        QVERIFY(f.app->Start());
        f.dialogs.AnswerMessage(mbNo);
        f.dialogs.AnswerInput(entry);
        f.OpenMasterWindow([&](TfrmMasterKW &w) {
            QCOMPARE(f.MessageTexts().last(), QStringLiteral("falsches Masterkennwort, nur Anzeige möglich!"));
            QCOMPARE(f.dialogs.Messages().last().Caption, QStringLiteral("Fehler"));
            QCOMPARE(w.WindowState(), TfrmMasterKW::TWindowState::Locked);
            QVERIFY(w.BtnKWAendern->isEnabled());
            QVERIFY(!w.EditKennwort1->isEnabled() && !w.EditKennwort2->isEnabled() && !w.DBMemoPassphrase->isEnabled());
            QCOMPARE(w.EditKennwort1->palette().color(QPalette::Disabled, QPalette::Base), Cl3DLight());
            QCOMPARE(w.DBMemoPassphrase->toPlainText(), QStringLiteral("alter Hinweis"));
            QVERIFY(!w.LabelKWAendern->isHidden());
            QVERIFY(!w.BtnSaveMasterKW->isEnabled());
            // A second try with the right one.
            f.dialogs.AnswerInput(kOld);
            QTest::mouseClick(w.BtnKWAendern, Qt::LeftButton);
            QCOMPARE(w.WindowState(), TfrmMasterKW::TWindowState::Changing);
            QCOMPARE(w.StatusBarMasterKW->PanelText(0), QStringLiteral("Edit"));
            f.dialogs.AnswerMessage(mbYes);
        });
        QCOMPARE(f.CommittedDigest(), DigestOf(kOld));
        QCOMPARE(f.CommittedValue(QStringLiteral("select PASSPHRASE from TBLALLGEMEIN")).toString(), QStringLiteral("alter Hinweis"));
        QCOMPARE(f.dialogs.Unexpected, 0);
    }

    void closingWithoutSavingChangesNothingAndLaterSavesCommit() {
        VaultFixture f;
        f.SeedMaster(kOld);
        f.SeedProject(1, QStringLiteral("Eins"));
        const QString stored = StoredFormOf(QStringLiteral("bleibt"), kOld);
        f.SeedAccess(1, 1, QStringLiteral("anna"), stored);
        QVERIFY(f.app->Start());
        f.dialogs.AnswerMessage(mbNo);
        f.dialogs.AnswerInput(kOld);
        f.OpenMasterWindow([&](TfrmMasterKW &w) {
            TypeText(w.EditKennwort1, kNew);
            TypeText(w.EditKennwort2, kNew);
            f.dialogs.AnswerMessage(mbNo);
            QVERIFY(!w.close());
            QVERIFY(w.isVisible());
            f.dialogs.AnswerMessage(mbYes);
            QVERIFY(w.close());
        });
        QCOMPARE(f.MessageTexts().mid(1),
                 (QStringList{QStringLiteral("Daten wurden noch nicht gespeichert. Fenster ohne zu speichern schließen?"),
                              QStringLiteral("Daten wurden noch nicht gespeichert. Fenster ohne zu speichern schließen?")}));
        QVERIFY(!f.app->Vault.NeuverschluesselungAktiv);
        QCOMPARE(f.Dm().IBDataSetAllgemein->State(), TDataSetState::dsBrowse);
        QCOMPARE(f.CommittedDigest(), DigestOf(kOld));
        QCOMPARE(f.CommittedValue(QStringLiteral("select KENNWORT from TBLZUGANGSDATEN")).toString(), stored);

        // A later access-data save gets its project and is committed at once.
        TAccessDataTab &tab = f.Tab();
        QTest::mouseClick(tab.ToolBarZugangsdaten->widgetForAction(tab.BtnInsertZugangsdaten), Qt::LeftButton);
        TypeText(tab.DBEditUserID, QStringLiteral("neu"));
        f.Main().BtnSave->trigger();
        const auto rows = f.Committed(QStringLiteral("select PROJEKTID from TBLZUGANGSDATEN where USERID = 'neu'"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().first().toInt(), 1);
    }

    void aFailureInTheMiddleRollsTheWholeChangeBack_data() {
        QTest::addColumn<bool>("undecipherable");
        QTest::addColumn<QString>("error");
        QTest::newRow("a password stored as typed") << true << "Invalid Base64 Character.";
        QTest::newRow("a row the database refuses") << false << "Zeile 2 gesperrt";
    }
    void aFailureInTheMiddleRollsTheWholeChangeBack() {
        QFETCH(bool, undecipherable);
        QFETCH(QString, error);
        VaultFixture f;
        f.SeedMaster(kOld);
        f.SeedProject(1, QStringLiteral("Eins"));
        f.SeedProject(2, QStringLiteral("Zwei"));
        f.SeedAccess(1, 1, QStringLiteral("anna"), StoredFormOf(QStringLiteral("erstes"), kOld));
        f.SeedAccess(2, 2, QStringLiteral("bert"),
                     undecipherable ? QStringLiteral("klar text!") : StoredFormOf(QStringLiteral("zweites"), kOld));
        f.SeedAccess(3, 2, QStringLiteral("carl"), StoredFormOf(QStringLiteral("drittes"), kOld));
        if (!undecipherable) {
            f.Exec(QStringLiteral("create exception E_ZEILE 'Zeile 2 gesperrt'"));
            f.Exec(QStringLiteral("create trigger ZUGANG_SPERRE for TBLZUGANGSDATEN before update as "
                                  "begin if (new.ID = 2) then exception E_ZEILE; end"));
        }
        const auto before = f.Committed(QStringLiteral("select ID, KENNWORT, PROJEKTID from TBLZUGANGSDATEN order by ID"));
        QVERIFY(f.app->Start());
        f.dialogs.AnswerMessage(mbNo);
        f.dialogs.AnswerInput(kOld);
        f.OpenMasterWindow([&](TfrmMasterKW &w) {
            VaultFixture::TypeAndSave(w, kNew, kNew);
            QVERIFY(!w.isVisible());
        });
        const auto messages = f.dialogs.Messages();
        QCOMPARE(messages.size(), 3);
        QCOMPARE(messages[1].Text, QStringLiteral("Zugangsdatenkennwörter konnten nur teilweise geändert werden -> siehe Logdatei!"));
        QCOMPARE(messages[1].Caption, QStringLiteral("Programmabbruch"));
        QCOMPARE(messages[1].Buttons, int(mbOK));
        QVERIFY2(messages[2].Text.contains(error), qPrintable(messages[2].Text));
        QCOMPARE(messages[2].Icon, TMsgIcon::Error);
        QVERIFY(QTest::qWaitFor([&] { return !f.Main().isVisible(); }));
        QCOMPARE(f.app->ExitCode(), 1);
        QVERIFY(!f.Dm().IBDatabase.Connected());

        f.Finish();
        const QString log = f.LogText();
        const QStringList lines = ReencipherLines(log);
        QVERIFY(lines.contains(QStringLiteral("Kennwort im Zugangsdatensatz 1 wurde neu verschlüsselt")));
        // The log shows how far the run came: a refused write after its line, a refused decipherment before.
        QCOMPARE(lines.contains(QStringLiteral("Kennwort im Zugangsdatensatz 2 wurde neu verschlüsselt")), !undecipherable);
        QVERIFY(!log.contains(QStringLiteral("Zugangsdatensatz 3 wurde")));
        QCOMPARE(lines.last(), QStringLiteral("Rollback der Kennwortänderung"));
        const QString logged = error.chopped(error.endsWith(QLatin1Char('.')) ? 1 : 0);
        QVERIFY(log.contains(logged));
        QVERIFY(log.indexOf(logged) < log.indexOf(QStringLiteral("Rollback der Kennwortänderung")));
        // The record that cannot be deciphered is named before the error, its password nowhere.
        const QString culprit = QStringLiteral("Zugangsdatensatz 2 (ID 2, UserID bert, Projekt Zwei) konnte nicht entschlüsselt werden");
        QCOMPARE(log.contains(culprit), undecipherable);
        if (undecipherable) QVERIFY(log.indexOf(culprit) < log.indexOf(logged));
        QVERIFY(!log.contains(QStringLiteral("klar text!")));

        // The database keeps the old digest and every old stored form: the old password still reveals them.
        QCOMPARE(f.CommittedDigest(), DigestOf(kOld));
        const auto after = f.Committed(QStringLiteral("select ID, KENNWORT, PROJEKTID from TBLZUGANGSDATEN order by ID"));
        QCOMPARE(after, before);
        QCOMPARE(ClearOf(after[0].at(1).toString(), kOld), QStringLiteral("erstes"));
        QCOMPARE(ClearOf(after[2].at(1).toString(), kOld), QStringLiteral("drittes"));
    }

    void recordsWithoutPasswordAreCarriedOver() {
        VaultFixture f;
        f.SeedMaster(kOld);
        f.SeedProject(1, QStringLiteral("Eins"));
        f.SeedAccess(1, 1, QStringLiteral("anna"), QString());     // saved without a password
        f.SeedAccess(2, 1, QStringLiteral("bert"), StoredFormOf(QStringLiteral("zweites"), kOld));
        f.SeedAccess(3, 1, QStringLiteral("carl"), QVariant());    // never had one
        QVERIFY(f.app->Start());
        f.dialogs.AnswerMessage(mbNo);
        f.dialogs.AnswerInput(kOld);
        f.OpenMasterWindow([&](TfrmMasterKW &w) { VaultFixture::TypeAndSave(w, kNew, kNew); });
        QCOMPARE(f.MessageTexts().size(), 1);  // the backup question only
        QVERIFY(f.Main().isVisible());
        QCOMPARE(f.CommittedDigest(), DigestOf(kNew));
        const auto rows = f.Committed(QStringLiteral("select KENNWORT from TBLZUGANGSDATEN order by ID"));
        QCOMPARE(rows[0].first().toString(), QString());
        QVERIFY(!rows[0].first().isNull());
        QCOMPARE(ClearOf(rows[1].first().toString(), kNew), QStringLiteral("zweites"));
        QVERIFY(rows[2].first().isNull());
        QVERIFY(f.WaitForLog(QStringLiteral("Zugangsdatensatz 3 ohne Kennwort")));
        QVERIFY(f.LogText().contains(QStringLiteral("Kennwort im Zugangsdatensatz 2 wurde neu verschlüsselt")));
    }

    void aRowThatCannotBeSavedRollsTheChangeBack() {
        VaultFixture f;
        f.SeedMaster(kOld);
        f.SeedProject(1, QStringLiteral("Eins"));
        const QString stored = StoredFormOf(QStringLiteral("erstes"), kOld);
        f.SeedAccess(1, 1, QStringLiteral("anna"), stored);
        f.Exec(QStringLiteral("create exception E_GESPERRT 'Einstellungen gesperrt'"));
        f.Exec(QStringLiteral("create trigger TBLALLGEMEIN_SPERRE for TBLALLGEMEIN before update as begin exception E_GESPERRT; end"));
        QVERIFY(f.app->Start());
        f.dialogs.AnswerMessage(mbNo);
        f.dialogs.AnswerInput(kOld);
        f.OpenMasterWindow([&](TfrmMasterKW &w) { VaultFixture::TypeAndSave(w, kNew, kNew); });
        const auto messages = f.dialogs.Messages();
        QCOMPARE(messages.size(), 3);
        QCOMPARE(messages[1].Text, QStringLiteral("Masterkennwort konnte nicht geändert werden -> siehe Logdatei!"));
        QCOMPARE(messages[1].Caption, QStringLiteral("Programmabbruch"));
        QVERIFY(messages[2].Text.contains(QStringLiteral("Einstellungen gesperrt")));
        QVERIFY(QTest::qWaitFor([&] { return !f.Main().isVisible(); }));
        QCOMPARE(f.app->ExitCode(), 1);
        f.Finish();
        QVERIFY(f.LogText().contains(QStringLiteral("Rollback der Kennwortänderung")));
        QVERIFY(!f.LogText().contains(QStringLiteral("Anfang: Neuverschlüsselung")));
        QCOMPARE(f.CommittedDigest(), DigestOf(kOld));
        QCOMPARE(f.CommittedValue(QStringLiteral("select KENNWORT from TBLZUGANGSDATEN")).toString(), stored);
    }
};

QTEST_MAIN(TestMasterPassword)
#include "test_master_password.moc"
