// The tab "Zugangsdaten": its state rules, when a typed password is
// enciphered, delete, the save command from another tab, and the reveal,
// which puts the clear password nowhere but into its own window.

#include <QtTest>

#include "platform/window/QtDialogs.h"
#include "VaultFixture.h"

namespace {
const QString kMaster = QStringLiteral("Haupt-Kennwort");

// A started program with a master password, one project and a record "anna".
struct Tab : VaultFixture {
    explicit Tab(const QString &annasPassword = QStringLiteral("annas Kennwort"), const QString &userId = QStringLiteral("anna")) {
        SeedMaster(kMaster);
        SeedProject(1, QStringLiteral("Eins"));
        SeedAccess(1, 1, userId, StoredFormOf(annasPassword, kMaster));
        started = app->Start();
        Main().AdvPageControl->setCurrentWidget(Main().AdvTabSheetZugangsdaten);
        Main().activateWindow();
        QApplication::setActiveWindow(&Main());
    }
    void Press(QAction *button) { QTest::mouseClick(Tab_().ToolBarZugangsdaten->widgetForAction(button), Qt::LeftButton); }
    TAccessDataTab &Tab_() { return VaultFixture::Tab(); }
    // Enters the password box and types, as a user does (the box keeps the focus).
    void TypePassword(const QString &text, bool replace = true) {
        QLineEdit *box = Tab_().DBEditKennwort;
        box->setFocus(Qt::MouseFocusReason);
        if (replace) box->selectAll();
        TypeText(box, text);
    }
    void LeavePasswordBox() { Tab_().DBEditUserID->setFocus(Qt::TabFocusReason); }
    QString StoredOf(const QString &userId) const {
        return CommittedValue(QStringLiteral("select KENNWORT from TBLZUGANGSDATEN where USERID = '%1'").arg(userId)).toString();
    }
    bool started = false;
};
}  // namespace

class TestAccessData : public QObject {
    Q_OBJECT
private slots:
    void theStateTable_data() {
        QTest::addColumn<bool>("projects");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("touched");
        QTest::addColumn<QString>("expected");  // open insert delete edit save decrypt import
        using S = TDataSetState;
        QTest::newRow("no project, browse") << false << int(S::dsBrowse) << true << "0000000";
        QTest::newRow("no project, insert") << false << int(S::dsInsert) << true << "0000000";
        QTest::newRow("no project, closed") << false << int(S::dsInactive) << true << "0000000";
        QTest::newRow("browse") << true << int(S::dsBrowse) << true << "0111010";
        QTest::newRow("edit") << true << int(S::dsEdit) << true << "1110111";
        QTest::newRow("insert") << true << int(S::dsInsert) << true << "1101101";
        QTest::newRow("closed") << true << int(S::dsInactive) << false << "";
    }
    void theStateTable() {
        QFETCH(bool, projects);
        QFETCH(int, state);
        QFETCH(bool, touched);
        QFETCH(QString, expected);
        const auto look = AccessDataLook(projects, TDataSetState(state));
        QCOMPARE(look.has_value(), touched);
        if (!look) return;
        QString got;
        for (bool b : {look->FieldsOpen, look->Insert, look->Delete, look->Edit, look->EnableSave, look->DecryptShown, look->Import})
            got += b ? QLatin1Char('1') : QLatin1Char('0');
        QCOMPARE(got, expected);
    }

    void theTabFollowsItsDataset() {
        Tab t;
        QVERIFY(t.started);
        TAccessDataTab &tab = t.Tab_();
        auto check = [&](bool open, bool insert, bool del, bool edit, bool decrypt) {
            for (QWidget *w : {static_cast<QWidget *>(tab.DBEditUserID), static_cast<QWidget *>(tab.DBEditKennwort),
                               static_cast<QWidget *>(tab.DBMemoBemerkung)})
                QCOMPARE(IsOpenLook(w), open);
            QCOMPARE(tab.DBEditKennwort->isReadOnly(), !open);
            QCOMPARE(tab.BtnInsertZugangsdaten->isEnabled(), insert);
            QCOMPARE(tab.BtnDeleteZugangsdaten->isEnabled(), del);
            QCOMPARE(tab.BtnEditZugangsdaten->isEnabled(), edit);
            QCOMPARE(!tab.SpeedButtonDecrypt->isHidden(), decrypt);
        };
        check(false, true, true, true, true);
        t.Press(tab.BtnEditZugangsdaten);
        check(true, true, true, false, true);
        QVERIFY(t.Main().BtnSave->isEnabled());
        t.Press(tab.BtnZugangsdatenAbbrechen);
        check(false, true, true, true, true);
        t.Press(tab.BtnInsertZugangsdaten);
        check(true, true, false, true, false);
        t.Press(tab.BtnZugangsdatenAbbrechen);
        // The input area keeps its layout when the reveal button hides.
        QCOMPARE(tab.PanelZugangsdatenImage->width(), 285);

        // Without a project everything is locked, whatever the context menu says.
        t.dialogs.AnswerMessage(mbYes);
        t.Main().BtnDelete->trigger();
        QVERIFY(!t.Dm().ProjekteVorhanden);
        check(false, false, false, false, false);
        tab.Zugangsdatenhinzufgen1->trigger();
        QCOMPARE(t.Dm().IBDataSetZugangsdaten->State(), TDataSetState::dsBrowse);
    }

    void whenATypedPasswordIsEnciphered_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("stored");  // "old", "new", "empty text", "none"
        QTest::newRow("edit, remark only") << "edit-remark" << "old";
        QTest::newRow("edit, password typed") << "edit-password" << "new";
        QTest::newRow("add, password typed") << "add-password" << "new";
        QTest::newRow("add after an unchanged edit, box never entered") << "add-after-edit" << "none";
        // Each record starts editing with the flag down: nothing typed, nothing stored.
        QTest::newRow("add after a typed password, box never entered") << "add-after-typed" << "none";
        QTest::newRow("edit, context menu edit again") << "edit-twice" << "new";
        // Another tab shown: the leave rule runs at the save instead of the focus move.
        QTest::newRow("add after an unchanged edit, saved from another tab") << "add-after-edit-other-tab" << "none";
    }
    void whenATypedPasswordIsEnciphered() {
        QFETCH(QString, how);
        QFETCH(QString, stored);
        Tab t;
        QVERIFY(t.started);
        TAccessDataTab &tab = t.Tab_();
        const QString before = t.StoredOf(QStringLiteral("anna"));
        QString user = QStringLiteral("anna");
        const QString typed = QStringLiteral(" Neues Wort ");
        if (how.startsWith(QLatin1String("edit"))) {
            t.Press(tab.BtnEditZugangsdaten);
            if (how == QLatin1String("edit-remark")) {
                tab.DBMemoBemerkung->setFocus();
                TypeText(tab.DBMemoBemerkung, QStringLiteral(" und mehr"));
            } else {
                t.TypePassword(typed);
                if (how == QLatin1String("edit-twice")) tab.Zugangsdatenbearbeiten1->trigger();
            }
        } else {
            if (how.startsWith(QLatin1String("add-after-edit"))) {
                t.Press(tab.BtnEditZugangsdaten);
                t.TypePassword(tab.DBEditKennwort->text(), true);  // the same text again
                t.LeavePasswordBox();
                t.Main().BtnSave->trigger();
            } else if (how == QLatin1String("add-after-typed")) {
                t.Press(tab.BtnInsertZugangsdaten);
                TypeText(tab.DBEditUserID, QStringLiteral("vorher"));
                t.TypePassword(QStringLiteral("vorheriges"));
                t.Main().BtnSave->trigger();
            }
            user = QStringLiteral("neu");
            t.Press(tab.BtnInsertZugangsdaten);
            tab.DBEditUserID->setFocus();
            TypeText(tab.DBEditUserID, user);
            if (how == QLatin1String("add-password")) t.TypePassword(typed);
            if (how.endsWith(QLatin1String("other-tab"))) t.Main().AdvPageControl->setCurrentWidget(t.Main().AdvTabSheetTelefon);
        }
        // Saved with the focus still where the typing ended.
        t.Main().BtnSave->trigger();
        QCOMPARE(t.Dm().IBDataSetZugangsdaten->State(), TDataSetState::dsBrowse);
        QCOMPARE(t.dialogs.Messages().size(), 0);
        const auto row = t.Committed(QStringLiteral("select KENNWORT, PROJEKTID from TBLZUGANGSDATEN where USERID = '%1'").arg(user));
        QCOMPARE(row.size(), 1);
        QCOMPARE(row.first().at(1).toInt(), 1);
        const QString now = row.first().at(0).toString();
        if (stored == QLatin1String("old")) {
            QCOMPARE(now, before);
        } else if (stored == QLatin1String("new")) {
            QVERIFY(now != before);
            QVERIFY(now.size() >= 24 && now.size() <= 76);
            QCOMPARE(ClearOf(now, kMaster), typed);
            QCOMPARE(t.Reveal(kMaster, true), std::optional<QString>(typed));
        } else if (stored == QLatin1String("empty text")) {
            QCOMPARE(now.size(), 24);
            QCOMPARE(ClearOf(now, kMaster), QString());
        } else {
            QVERIFY(row.first().at(0).isNull());
            // Nothing to reveal: said before the master password is asked for.
            t.dialogs.Clear();
            t.Tab_().SpeedButtonDecryptClick();
            QCOMPARE(t.MessageTexts(), QStringList{QStringLiteral("Für diesen Eintrag ist noch kein Kennwort gespeichert.")});
            QCOMPARE(t.dialogs.Messages().first().Caption, QStringLiteral("Hinweis"));
            QCOMPARE(t.dialogs.Calls.size(), 1);
        }
        // The grid shows the stored form under its heading.
        TDBGridView *grid = t.Main().DBAdvGridZugangsdaten;
        QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Kennwort (verschlüsselt)"));
        QCOMPARE(grid->model()->index(t.Dm().IBDataSetZugangsdaten->RecNo(), 2).data().toString(), now);
    }

    void savingFromAnotherTabStillEnciphers() {
        Tab t;
        QVERIFY(t.started);
        TAccessDataTab &tab = t.Tab_();
        t.Press(tab.BtnEditZugangsdaten);
        t.TypePassword(QStringLiteral("anderer Tab"));
        t.Main().AdvPageControl->setCurrentWidget(t.Main().AdvTabSheetEmail);
        t.Main().BtnSave->trigger();
        QCOMPARE(t.dialogs.Messages().size(), 0);
        QCOMPARE(ClearOf(t.StoredOf(QStringLiteral("anna")), kMaster), QStringLiteral("anderer Tab"));
    }

    void revealShowsExactlyTheStoredPassword_data() {
        QTest::addColumn<QString>("clear");
        QTest::newRow("spaces around") << QStringLiteral("  zwei Leer  ");
        QTest::newRow("letter case and umlauts") << QStringLiteral("ÄÖÜäöüß MiXeD");
        QTest::newRow("forty characters") << QStringLiteral("0123456789abcdefghijABCDEFGHIJ€°§$%&/()=");
        QTest::newRow("markup") << QStringLiteral("<b>fett</b>&amp;");
    }
    void revealShowsExactlyTheStoredPassword() {
        QFETCH(QString, clear);
        Tab t(clear);
        QVERIFY(t.started);
        const QString stored = t.Tab_().DBEditKennwort->text();
        QCOMPARE(t.Reveal(kMaster, true), std::optional<QString>(clear));
        QCOMPARE(t.MessageTexts(), QStringList{});
        QVERIFY(t.app->frmKennwort->width() >= TQtDialogs::CaptionWidth(t.app->frmKennwort->windowTitle()));
        // F3 in the tab does what the button does.
        QCOMPARE(t.Reveal(kMaster, true, true), std::optional<QString>(clear));
        // It went nowhere else: not the record, the box, the grid, the status bar, the log, the state.
        QCOMPARE(t.Tab_().DBEditKennwort->text(), stored);
        QCOMPARE(t.Dm().IBDataSetZugangsdaten->FieldByName(QStringLiteral("KENNWORT")).AsString(), stored);
        QCOMPARE(t.Dm().IBDataSetZugangsdaten->State(), TDataSetState::dsBrowse);
        QVERIFY(!t.Main().CurrentStatusMessage().contains(clear));
        QVERIFY(t.app->Vault.KlartextKennwort.isEmpty());
        QVERIFY(t.app->Vault.EingabeMasterkennwort.isEmpty());
        QVERIFY(t.app->frmKennwort->Label1->text().isEmpty());
        QVERIFY(t.app->frmInputMaster->EditInputMaster->text().isEmpty());
        t.Finish();
        QVERIFY(!t.LogText().contains(clear));
        QVERIFY(!t.LogText().contains(kMaster));
    }

    void revealRefusesAnyOtherEntry_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("wrong") << "wrong";
        QTest::newRow("letter case") << "case";
        QTest::newRow("empty") << "empty";
        QTest::newRow("cancel after a right one") << "cancel";
        QTest::newRow("close box after a right one") << "close";
        QTest::newRow("escape after a right one") << "escape";
    }
    void revealRefusesAnyOtherEntry() {
        QFETCH(QString, how);
        Tab t;
        QVERIFY(t.started);
        if (how == QLatin1String("wrong")) {
            QCOMPARE(t.Reveal(QStringLiteral("falsch"), false), std::nullopt);
        } else if (how == QLatin1String("case")) {
            QCOMPARE(t.Reveal(kMaster.toLower(), false), std::nullopt);
        } else if (how == QLatin1String("empty")) {
            QCOMPARE(t.Reveal(QString(), false), std::nullopt);
        } else {
            QVERIFY(t.Reveal(kMaster, true).has_value());
            if (how == QLatin1String("cancel")) {
                QCOMPARE(t.Reveal(std::nullopt, false), std::nullopt);
            } else {
                // Typed, then closed without OK.
                t.dialogs.AnswerModal([how](QDialog *d) {
                    auto *prompt = static_cast<TfrmInputMaster *>(d);
                    TypeText(prompt->EditInputMaster, kMaster);
                    if (how == QLatin1String("escape"))
                        QTest::keyClick(prompt->EditInputMaster, Qt::Key_Escape);
                    else
                        prompt->close();
                });
                QTest::mouseClick(t.Tab_().SpeedButtonDecrypt, Qt::LeftButton);
            }
        }
        const auto messages = t.dialogs.Messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().Text, QStringLiteral("falsches Masterkennwort!"));
        QCOMPARE(messages.first().Caption, QStringLiteral("Fehler"));
        QCOMPARE(messages.first().Icon, TMsgIcon::None);
        QCOMPARE(t.dialogs.Unexpected, 0);
    }

    void thePromptsHintPanel() {
        Tab t;
        QVERIFY(t.started);
        TfrmInputMaster &prompt = *t.app->frmInputMaster;
        t.dialogs.AnswerModal([&](QDialog *) {
            // 205 pixels at least, and room for the whole caption.
            QVERIFY(prompt.width() >= 205 && prompt.width() >= TQtDialogs::CaptionWidth(prompt.windowTitle()));
            QVERIFY(!prompt.HintOut());
            QTest::mouseClick(prompt.AdvToolPanelTabMaster, Qt::LeftButton);
            QVERIFY(prompt.HintOut());
            QVERIFY(QTest::qWaitFor([&] { return prompt.AdvToolPanelMasterHint->x() + prompt.AdvToolPanelMasterHint->width() ==
                                                 prompt.AdvToolPanelTabMaster->x(); }));
            QCOMPARE(prompt.DBMemoPassphrase->toPlainText(), QStringLiteral("alter Hinweis"));
            QTest::mouseClick(prompt.HintCloseButton, Qt::LeftButton);
            QVERIFY(!prompt.HintOut());
            QCOMPARE(prompt.EditInputMaster->maxLength(), 20);
            QCOMPARE(prompt.EditInputMaster->echoMode(), QLineEdit::Password);
            QVERIFY(prompt.BitBtnOK->isDefault());
            QTest::mouseClick(prompt.BitBtnCancel, Qt::LeftButton);
        });
        QTest::mouseClick(t.Tab_().SpeedButtonDecrypt, Qt::LeftButton);
        QCOMPARE(t.MessageTexts(), QStringList{QStringLiteral("falsches Masterkennwort!")});
    }

    void deleteNamesTheUserIdInUpperCase() {
        Tab t(QStringLiteral("x"), QStringLiteral("abc-ä"));
        QVERIFY(t.started);
        TAccessDataTab &tab = t.Tab_();
        t.dialogs.AnswerMessage(mbNo);
        t.Press(tab.BtnDeleteZugangsdaten);
        QCOMPARE(t.MessageTexts(), QStringList{QStringLiteral("Sollen die Zugangsdaten zu UserID ABC-ä gelöscht werden?")});
        QCOMPARE(t.dialogs.Messages().first().Icon, TMsgIcon::Question);
        QCOMPARE(t.Main().CurrentStatusMessage(), QStringLiteral("Löschaktion wurde abgebrochen"));
        t.dialogs.AnswerMessage(mbYes);
        tab.Zugangsdatenlschen1->trigger();
        QCOMPARE(t.Main().CurrentStatusMessage(), QStringLiteral("Zugangsdaten zu UserID ABC-ä wurden gelöscht"));
        QCOMPARE(t.CommittedValue(QStringLiteral("select count(*) from TBLZUGANGSDATEN")).toInt(), 0);
        QVERIFY(t.WaitForLog(QStringLiteral(": Zugangsdaten zu UserID ABC-ä wurden gelöscht")));
        t.Press(tab.BtnDeleteZugangsdaten);
        QCOMPARE(t.Main().CurrentStatusMessage(), QStringLiteral("Keine Zugangsdaten zum Löschen vorhanden"));
    }

    void thePasswordBoxTakesFortyTypedCharactersButShowsLongerStoredForms() {
        Tab t(QString(40, QLatin1Char('p')));
        QVERIFY(t.started);
        TAccessDataTab &tab = t.Tab_();
        QCOMPARE(tab.DBEditKennwort->text().size(), 76);
        t.Press(tab.BtnEditZugangsdaten);
        t.TypePassword(QString(45, QLatin1Char('q')));
        QCOMPARE(tab.DBEditKennwort->text(), QString(40, QLatin1Char('q')));
        t.Main().BtnSave->trigger();
        QCOMPARE(ClearOf(t.StoredOf(QStringLiteral("anna")), kMaster), QString(40, QLatin1Char('q')));
    }
};

QTEST_MAIN(TestAccessData)
#include "test_access_data.moc"
