// Whatever the user does, KENNWORT holds nothing but stored forms made under
// the stored master digest, each the encipherment of the password typed last
// and saved for its record; a typed clear password never reaches the record.

#include <QtTest>

#include "VaultFixture.h"

namespace {
const QString kMaster = QStringLiteral("Haupt-Kennwort");
const QString kAnna = QStringLiteral("annas Kennwort");

struct Run : VaultFixture {
    Run() {
        SeedMaster(kMaster);
        SeedProject(1, QStringLiteral("Eins"));
        SeedAccess(1, 1, QStringLiteral("anna"), StoredFormOf(kAnna, kMaster));
        // The database refuses the user ID "verboten", as it may refuse any write.
        Exec(QStringLiteral("create exception E_VERBOTEN 'UserID verboten'"));
        Exec(QStringLiteral("create trigger ZUGANG_VERBOTEN for TBLZUGANGSDATEN before insert or update as "
                            "begin if (new.USERID = 'verboten') then exception E_VERBOTEN; end"));
        started = app->Start();
        Main().AdvPageControl->setCurrentWidget(Main().AdvTabSheetZugangsdaten);
        Main().activateWindow();
        QApplication::setActiveWindow(&Main());
    }
    void Press(QAction *button) { QTest::mouseClick(Tab().ToolBarZugangsdaten->widgetForAction(button), Qt::LeftButton); }
    void Retype(QLineEdit *box, const QString &text) {
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        TypeText(box, text);
    }
    QString master = kMaster;
    bool started = false;
};
}  // namespace

class TestPasswordInvariant : public QObject {
    Q_OBJECT
private slots:
    void everyStoredPasswordIsTheLastOneTypedAndSaved_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");  // user=clear, ... as committed at the end
        QTest::newRow("add, type, save in the box") << "add user:neu pw:eins save" << "anna=annas Kennwort,neu=eins";
        QTest::newRow("add, type, leave, save") << "add user:neu pw:eins leave save" << "anna=annas Kennwort,neu=eins";
        QTest::newRow("edit during insert keeps the typed password")
            << "add user:neu pw:KlarText99 remark edit save" << "anna=annas Kennwort,neu=KlarText99";
        QTest::newRow("edit, type, save") << "edit pw:zwei save" << "anna=zwei";
        QTest::newRow("edit twice from the context menu") << "edit pw:zwei menuedit save" << "anna=zwei";
        QTest::newRow("edit, type, cancel") << "edit pw:zwei leave cancel save" << "anna=annas Kennwort";
        QTest::newRow("remark only") << "edit remark save" << "anna=annas Kennwort";
        QTest::newRow("refused save, then saved again")
            << "add user:verboten pw:drei save user:erlaubt save" << "anna=annas Kennwort,erlaubt=drei";
        QTest::newRow("refused edit, then saved again")
            << "edit user:verboten pw:vier leave save user:anna save" << "anna=vier";
        QTest::newRow("saved from another tab") << "add user:neu pw:fuenf tab save" << "anna=annas Kennwort,neu=fuenf";
        QTest::newRow("reveal while editing shows the stored one") << "edit pw:sechs reveal save" << "anna=sechs";
        QTest::newRow("a later record typed into without the password box")
            << "edit pw:sieben save add user:neu save edit user:anna2 save" << "anna=sieben,anna2=";
        QTest::newRow("master password change") << "edit pw:acht save master:Neues-Haupt" << "anna=acht";
        QTest::newRow("change, then a new record") << "master:Neues-Haupt add user:neu pw:neun save"
                                                   << "anna=annas Kennwort,neu=neun";
    }
    void everyStoredPasswordIsTheLastOneTypedAndSaved() {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        Run r;
        QVERIFY(r.started);
        TAccessDataTab &tab = r.Tab();
        for (const QString &step : steps.split(QLatin1Char(' '))) {
            const QString arg = step.section(QLatin1Char(':'), 1);
            if (step == QLatin1String("add")) {
                r.Press(tab.BtnInsertZugangsdaten);
            } else if (step == QLatin1String("edit")) {
                r.Press(tab.BtnEditZugangsdaten);
            } else if (step == QLatin1String("menuedit")) {
                tab.Zugangsdatenbearbeiten1->trigger();
            } else if (step.startsWith(QLatin1String("user:"))) {
                r.Retype(tab.DBEditUserID, arg);
            } else if (step.startsWith(QLatin1String("pw:"))) {
                r.Retype(tab.DBEditKennwort, arg);
            } else if (step == QLatin1String("remark")) {
                tab.DBMemoBemerkung->setFocus(Qt::MouseFocusReason);
                TypeText(tab.DBMemoBemerkung, QStringLiteral(" mehr"));
            } else if (step == QLatin1String("leave")) {
                tab.DBEditUserID->setFocus(Qt::TabFocusReason);
            } else if (step == QLatin1String("cancel")) {
                r.Press(tab.BtnZugangsdatenAbbrechen);
            } else if (step == QLatin1String("tab")) {
                r.Main().AdvPageControl->setCurrentWidget(r.Main().AdvTabSheetTelefon);
            } else if (step == QLatin1String("save")) {
                r.Main().BtnSave->trigger();
                r.Main().AdvPageControl->setCurrentWidget(r.Main().AdvTabSheetZugangsdaten);
            } else if (step == QLatin1String("reveal")) {
                const QString stored = r.Dm().IBDataSetZugangsdaten->FieldByName(QStringLiteral("KENNWORT")).AsString();
                QCOMPARE(r.Reveal(r.master, true), std::optional<QString>(ClearOf(stored, r.master)));
            } else if (step.startsWith(QLatin1String("master:"))) {
                r.dialogs.AnswerMessage(mbNo);
                r.dialogs.AnswerInput(r.master);
                r.OpenMasterWindow([&](TfrmMasterKW &w) { VaultFixture::TypeAndSave(w, arg, arg); });
                r.master = arg;
            } else {
                QFAIL(qPrintable(step));
            }
        }
        QVERIFY2(r.Dm().IBDataSetZugangsdaten->State() == TDataSetState::dsBrowse, qPrintable(r.MessageTexts().join(QLatin1Char('|'))));
        QCOMPARE(r.CommittedDigest(), DigestOf(r.master));

        QStringList seen;
        for (const TRowValues &row :
             r.Committed(QStringLiteral("select USERID, KENNWORT from TBLZUGANGSDATEN order by USERID"))) {
            const QString stored = row.at(1).toString();
            if (stored.isEmpty()) {
                seen << row.at(0).toString() + QLatin1Char('=');
                continue;
            }
            const QString clear = ClearOf(stored, r.master);
            QCOMPARE(StoredFormOf(clear, r.master).size(), stored.size());  // one encipherment, not two
            seen << row.at(0).toString() + QLatin1Char('=') + clear;
        }
        QCOMPARE(seen.join(QLatin1Char(',')), expected);
        // The grid shows stored forms only.
        const int rows = r.Main().DBAdvGridZugangsdaten->model()->rowCount();
        for (int i = 0; i < rows; ++i) {
            const QString shown = r.Main().DBAdvGridZugangsdaten->model()->index(i, 2).data().toString();
            QVERIFY2(shown.isEmpty() || ClearOf(shown, r.master).size() < shown.size(), qPrintable(shown));
        }
    }

    void theGridAndTheRevealIgnoreWhatIsBeingTyped() {
        Run r;
        QVERIFY(r.started);
        TAccessDataTab &tab = r.Tab();
        const QString before = r.Dm().IBDataSetZugangsdaten->FieldByName(QStringLiteral("KENNWORT")).AsString();
        r.Press(tab.BtnEditZugangsdaten);
        r.Retype(tab.DBEditKennwort, QStringLiteral("getippt"));
        QCOMPARE(r.Main().DBAdvGridZugangsdaten->model()->index(0, 2).data().toString(), before);
        QCOMPARE(r.Dm().IBDataSetZugangsdaten->FieldByName(QStringLiteral("KENNWORT")).AsString(), before);
        QCOMPARE(r.Reveal(kMaster, true), std::optional<QString>(kAnna));
        QCOMPARE(tab.DBEditKennwort->text(), QStringLiteral("getippt"));
    }
};

QTEST_MAIN(TestPasswordInvariant)
#include "test_password_invariant.moc"
