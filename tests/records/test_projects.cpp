// The project list and the save command, driven through the real window.

#include <QtTest>

#include "RecordsFixture.h"
#include "planning/window/PlannerCalendar.h"
#include "store/window/Looks.h"

namespace {
const QString kTwoProjects[] = {
    QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Büro')"),
    QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (2, 'Garten')"),
    QStringLiteral("insert into TBLEMAIL (ID, EMAILADRESSE, PROJEKTID) values (1, 'buero@x.de', 1)"),
    QStringLiteral("insert into TBLEMAIL (ID, EMAILADRESSE, PROJEKTID) values (2, 'garten@x.de', 2)"),
    QStringLiteral("insert into TBLTELEFON (ID, TELEFONNUMMER, NAME, PROJEKTID) values (1, '0301', 'Meier', 1)"),
    QStringLiteral("set generator GEN_TBLPROJEKT_ID to 2"),
    QStringLiteral("set generator GEN_TBLEMAIL_ID to 2"),
    QStringLiteral("set generator GEN_TBLTELEFON_ID to 1"),
};
QStringList TwoProjects() { return QStringList(std::begin(kTwoProjects), std::end(kTwoProjects)); }
}  // namespace

class TestProjects : public QObject {
    Q_OBJECT
private slots:
    void withoutAMasterPasswordTheWindowOpensInstead() {
        AppFixture f;  // the installed database: no master password yet
        QVERIFY(f.app->Start());
        f.dialogs.AnswerModal([](QDialog *) {});
        RecordsFixture::Click(f.Main().BtnInsert);
        const auto calls = f.dialogs.Calls;
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls.at(0).Text, QStringLiteral("Ein Masterkennwort muss zu Beginn eingegeben werden"));
        QCOMPARE(calls.at(0).Caption, QStringLiteral("Hinweis"));
        QCOMPARE(calls.at(0).Buttons, int(mbOK));
        QCOMPARE(calls.at(1).Kind, QStringLiteral("modal"));
        QCOMPARE(calls.at(1).Caption, QStringLiteral("Masterkennwort"));
        QCOMPARE(f.Dm().IBDataSetProjekt->State(), TDataSetState::dsBrowse);
        f.dialogs.AnswerModal([](QDialog *) {});
        RecordsFixture::Click(f.Main().BtnEdit);  // renaming needs it too
        QCOMPARE(f.Dm().IBDataSetProjekt->State(), TDataSetState::dsBrowse);
    }

    void theFirstSavedProjectUnlocksTheDetailTabs() {
        RecordsFixture f;
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        // No project: every detail tab locked, whatever its dataset's state.
        QVERIFY(!f.Dm().ProjekteVorhanden);
        QVERIFY(!f.Email().BtnInsert->isEnabled() && !f.Email().BtnEdit->isEnabled() && !f.Email().BtnDelete->isEnabled());
        QVERIFY(!f.Telefon().BtnInsert->isEnabled());
        QVERIFY(!IsOpenLook(f.Telefon().DBAdvEditTelefonName) && f.Telefon().DBAdvEditTelefonName->isReadOnly());
        QCOMPARE(w.StatusBarMain->PanelText(1), QStringLiteral("Browse"));

        RecordsFixture::Click(w.BtnInsert);
        QCOMPARE(f.Dm().IBDataSetProjekt->State(), TDataSetState::dsInsert);
        QCOMPARE(w.StatusBarMain->PanelText(1), QStringLiteral("Insert"));
        QVERIFY(!w.BtnInsert->isEnabled() && w.BtnSave->isEnabled() && !w.BtnEdit->isEnabled() && !w.BtnDelete->isEnabled());
        f.TypeProjectName(QStringLiteral("Büro"));
        RecordsFixture::Click(w.BtnSave);

        QCOMPARE(f.Dm().IBDataSetProjekt->State(), TDataSetState::dsBrowse);
        QVERIFY(!w.BtnSave->isEnabled());
        QCOMPARE(f.Committed(QStringLiteral("select PROJEKTNAME from TBLPROJEKT")).toString(), QStringLiteral("Büro"));
        QVERIFY(f.Dm().ProjekteVorhanden);
        QVERIFY(f.Email().BtnInsert->isEnabled() && f.Telefon().BtnInsert->isEnabled());
        QVERIFY(f.WaitForLog(QStringLiteral(": Projekt BüRO wurde gesichert\r\n")));
    }

    void deletingAskesForTheNameInUpperCaseAndCascades() {
        RecordsFixture f(TwoProjects());
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        f.dialogs.AnswerMessage(mbNo);
        RecordsFixture::Click(w.BtnDelete);
        QCOMPARE(f.dialogs.Messages().last().Text, QStringLiteral("Soll das gesamte Projekt BüRO gelöscht werden?"));
        QCOMPARE(f.dialogs.Messages().last().Icon, TMsgIcon::Question);
        QCOMPARE(w.CurrentStatusMessage(), QStringLiteral("Löschaktion wurde abgebrochen"));
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLPROJEKT")).toInt(), 2);

        f.dialogs.AnswerMessage(mbYes);
        RecordsFixture::Click(w.BtnDelete);
        QCOMPARE(w.CurrentStatusMessage(),
                 QStringLiteral("komplettes Projekt BüRO wurde gelöscht (mit Löschweitergabe an Detaildatensätze)"));
        QVERIFY(f.WaitForLog(QStringLiteral(": Projekt BüRO wurde gelöscht\r\n")));
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLEMAIL where PROJEKTID = 1")).toInt(), 0);
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLTELEFON")).toInt(), 0);
        // The next project is current and the detail tabs show its rows.
        QCOMPARE(f.Dm().IBDataSetProjekt->FieldByName(QStringLiteral("PROJEKTNAME")).AsString(), QStringLiteral("Garten"));
        QCOMPARE(f.Dm().IBDataSetEmail->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QStringLiteral("garten@x.de"));

        // The last project: list empty, detail tabs empty and locked.
        f.dialogs.AnswerMessage(mbYes);
        RecordsFixture::Click(w.BtnDelete);
        QVERIFY(f.Dm().IBDataSetProjekt->IsEmpty());
        QVERIFY(!f.Dm().ProjekteVorhanden);
        QVERIFY(!f.Email().BtnInsert->isEnabled());
        for (TIBDataSet *ds : f.Dm().DataSets()) QCOMPARE(ds->State(), TDataSetState::dsBrowse);
        QVERIFY(f.Dm().IBDataSetEmail->IsEmpty() && f.Dm().IBDataSetTelefon->IsEmpty());
        QVERIFY(f.WaitForLog(QStringLiteral(": Projekt GARTEN wurde gelöscht\r\n")));

        // Nothing left to delete.
        RecordsFixture::Click(w.BtnDelete);
        QCOMPARE(w.CurrentStatusMessage(), QStringLiteral("Kein Projekt zum Löschen vorhanden"));
        QCOMPARE(f.dialogs.Unexpected, 0);
    }

    void renameThenClickAway() {
        RecordsFixture f(TwoProjects());
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        // Unchanged: the click cancels the rename, nothing is written or logged.
        RecordsFixture::Click(w.BtnEdit);
        QCOMPARE(w.StatusBarMain->PanelText(1), QStringLiteral("Edit"));
        RecordsFixture::ClickRow(w.DBGridProjekte, 1);
        QCOMPARE(f.Dm().IBDataSetProjekt->State(), TDataSetState::dsBrowse);
        QCOMPARE(f.Dm().IBDataSetProjekt->RecNo(), 1);
        // Changed: the click writes the new name.
        RecordsFixture::Click(w.BtnEdit);
        w.DBGridProjekte->selectAll();
        f.TypeProjectName(QStringLiteral("Terrasse"));
        RecordsFixture::ClickRow(w.DBGridProjekte, 0);
        QCOMPARE(f.Dm().IBDataSetProjekt->RecNo(), 0);
        QCOMPARE(f.Committed(QStringLiteral("select PROJEKTNAME from TBLPROJEKT where ID = 2")).toString(), QStringLiteral("Terrasse"));
        QVERIFY(f.WaitForLog(QStringLiteral("Projekt TERRASSE wurde gesichert")));
        QVERIFY(!f.LogText().contains(QStringLiteral("Projekt GARTEN wurde gesichert")));
    }

    void aCancelledInsertUsesOneKeyAndReturnsToThePreviousProject() {
        RecordsFixture f(TwoProjects());
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        RecordsFixture::ClickRow(w.DBGridProjekte, 1);
        QCOMPARE(f.Dm().IBDataSetEmail->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QStringLiteral("garten@x.de"));
        RecordsFixture::Click(w.BtnInsert);
        QVERIFY(f.Dm().IBDataSetEmail->IsEmpty());  // the new project has no rows yet
        RecordsFixture::Click(w.BtnProjektAbbrechen);
        QCOMPARE(f.Dm().IBDataSetProjekt->RecordCount(), 2);
        QCOMPARE(f.Dm().IBDataSetProjekt->FieldByName(QStringLiteral("PROJEKTNAME")).AsString(), QStringLiteral("Garten"));
        QCOMPARE(f.Dm().IBDataSetEmail->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QStringLiteral("garten@x.de"));
        QCOMPARE(f.Committed(QStringLiteral("select GEN_ID(GEN_TBLPROJEKT_ID, 0) from RDB$DATABASE")).toInt(), 3);
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLPROJEKT")).toInt(), 2);
    }

    void aDetailRowSavedWithItsNewProjectBelongsToIt() {
        RecordsFixture f(TwoProjects());
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        RecordsFixture::Click(w.BtnInsert);
        f.TypeProjectName(QStringLiteral("Neu"));
        w.AdvPageControl->setCurrentWidget(w.AdvTabSheetEmail);
        RecordsFixture::Click(f.Email().BtnInsert);
        TypeText(f.Email().DBAdvEditEmailadresse, QStringLiteral("neu@x.de"));
        RecordsFixture::Click(w.BtnSave);
        QCOMPARE(f.Committed(QStringLiteral("select p.PROJEKTNAME from TBLEMAIL e join TBLPROJEKT p on p.ID = e.PROJEKTID "
                                            "where e.EMAILADRESSE = 'neu@x.de'"))
                     .toString(),
                 QStringLiteral("Neu"));
        QVERIFY(f.WaitForLog(QStringLiteral(": Emaildaten zu Projekt NEU wurden gesichert\r\n")));
        QVERIFY(!w.BtnSave->isEnabled());
    }

    void theSaveCommandWithNothingPendingOnlyDisablesTheButton() {
        RecordsFixture f(TwoProjects());
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        w.SetSaveEnabled(true);
        const QString before = f.LogText();
        w.BtnSave->trigger();
        QVERIFY(!w.BtnSave->isEnabled());
        QTest::qWait(50);
        QCOMPARE(f.LogText(), before);
        QCOMPARE(f.dialogs.Calls.size(), 0);
    }

    void aFailedStepSkipsTheRestAndStillEndsTheCommand() {
        RecordsFixture f(TwoProjects());
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        // The phone row is refused by the database (a column it lacks).
        f.Dm().IBDataSetTelefon->InsertSQL = {QStringLiteral("insert into TBLTELEFON (ID, FAX) values (:ID, :NAME)")};
        f.Dm().IBDataSetTelefon->Insert();
        f.Dm().IBDataSetEmail->Insert();
        w.BtnSave->trigger();
        QCOMPARE(f.dialogs.Messages().size(), 1);
        QCOMPARE(f.dialogs.Messages().first().Caption, QStringLiteral("Tresoro"));
        QCOMPARE(f.dialogs.Messages().first().Icon, TMsgIcon::Error);
        QVERIFY(f.dialogs.Messages().first().Text.contains(QStringLiteral("FAX")));
        QCOMPARE(f.Dm().IBDataSetTelefon->State(), TDataSetState::dsInsert);
        QCOMPARE(f.Dm().IBDataSetEmail->State(), TDataSetState::dsInsert);  // skipped, not lost
        QVERIFY(w.BtnSave->isEnabled());  // the records still wait: the user can save again
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        f.Dm().IBDataSetTelefon->Cancel();
        w.BtnSave->trigger();
        QCOMPARE(f.Dm().IBDataSetEmail->State(), TDataSetState::dsBrowse);
        QVERIFY(!w.BtnSave->isEnabled());
    }

    void enterSavesAndEscapeCancelsTheNameBeingTyped() {
        RecordsFixture f(TwoProjects());
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        RecordsFixture::Click(w.BtnInsert);
        f.TypeProjectName(QStringLiteral("Keller"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(f.Dm().IBDataSetProjekt->State(), TDataSetState::dsBrowse);
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLPROJEKT where PROJEKTNAME = 'Keller'")).toInt(), 1);

        RecordsFixture::Click(w.BtnEdit);
        f.TypeProjectName(QStringLiteral("Dachboden"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_COMPARE(f.Dm().IBDataSetProjekt->State(), TDataSetState::dsBrowse);
        QCOMPARE(f.Dm().IBDataSetProjekt->FieldByName(QStringLiteral("PROJEKTNAME")).AsString(), QStringLiteral("Keller"));
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLPROJEKT where PROJEKTNAME = 'Dachboden'")).toInt(), 0);
    }

    void theProjectStateTable_data() {
        QTest::addColumn<int>("command");  // 0 nothing, 1 edit, 2 insert
        QTest::addColumn<QString>("panel");
        QTest::addColumn<bool>("gridOpen");
        QTest::addColumn<bool>("insert");
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("edit");
        QTest::addColumn<bool>("del");
        QTest::newRow("Browse") << 0 << "Browse" << false << true << true << true << true;
        QTest::newRow("Edit") << 1 << "Edit" << true << false << true << false << true;
        QTest::newRow("Insert") << 2 << "Insert" << true << false << true << false << false;
    }
    void theProjectStateTable() {
        QFETCH(int, command);
        QFETCH(QString, panel);
        QFETCH(bool, gridOpen);
        QFETCH(bool, insert);
        QFETCH(bool, save);
        QFETCH(bool, edit);
        QFETCH(bool, del);
        RecordsFixture f(TwoProjects());
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        if (command == 1) RecordsFixture::Click(w.BtnEdit);
        if (command == 2) RecordsFixture::Click(w.BtnInsert);
        if (command == 0) f.Dm().DataSourceProjekt->NotifyStateChange();  // the handler in Browse state
        QCOMPARE(w.StatusBarMain->PanelText(1), panel);
        QCOMPARE(IsOpenLook(w.DBGridProjekte), gridOpen);
        QCOMPARE(w.BtnInsert->isEnabled(), insert);
        QCOMPARE(w.BtnSave->isEnabled(), save);
        QCOMPARE(w.BtnEdit->isEnabled(), edit);
        QCOMPARE(w.BtnDelete->isEnabled(), del);
        QVERIFY(w.BtnProjektAbbrechen->isEnabled());
        for (QAction *a : w.PopupMenuProjektliste->actions()) QVERIFY(a->isEnabled());
    }
};

QTEST_MAIN(TestProjects)
#include "test_projects.moc"
