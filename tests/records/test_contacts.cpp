// The e-mail and phone tabs, driven through the real window.

#include <QHeaderView>
#include <QtTest>

#include "RecordsFixture.h"
#include "store/window/Looks.h"
#include "store/core/Workflow.h"

namespace {
QStringList Seed() {
    return {QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Büro')"),
            QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (2, 'Garten')"),
            QStringLiteral("insert into TBLEMAIL (ID, EMAILADRESSE, PROJEKTID) values (1, 'Buero@x.de', 1)"),
            QStringLiteral("insert into TBLEMAIL (ID, EMAILADRESSE, PROJEKTID) values (2, 'chef@x.de', 1)"),
            QStringLiteral("insert into TBLTELEFON (ID, TELEFONNUMMER, NAME, PROJEKTID) values (1, '030 1', 'Meier', 1)"),
            QStringLiteral("insert into TBLTELEFON (ID, TELEFONNUMMER, NAME, PROJEKTID) values (2, NULL, 'Ohne Nummer', 1)"),
            QStringLiteral("insert into TBLTELEFON (ID, TELEFONNUMMER, NAME, PROJEKTID) values (3, '030 3', 'Schulz', 1)"),
            QStringLiteral("insert into TBLZUGANGSDATEN (ID, USERID, PROJEKTID) values (1, 'u1', 1)"),
            QStringLiteral("insert into TBLZUGANGSDATEN (ID, USERID, PROJEKTID) values (2, 'u2', 1)"),
            QStringLiteral("set generator GEN_TBLPROJEKT_ID to 2"),
            QStringLiteral("set generator GEN_TBLEMAIL_ID to 2"),
            QStringLiteral("set generator GEN_TBLTELEFON_ID to 3")};
}
}  // namespace

Q_DECLARE_METATYPE(TDataSetState)

class TestContacts : public QObject {
    Q_OBJECT
private slots:
    void theSharedEnablingRules_data() {
        QTest::addColumn<TDataSetState>("state");
        QTest::addColumn<bool>("projects");
        QTest::addColumn<bool>("touch");
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("insert");
        QTest::addColumn<bool>("edit");
        QTest::addColumn<bool>("del");
        QTest::addColumn<int>("save");  // -1 unchanged, 0 off, 1 on
        using S = TDataSetState;
        QTest::newRow("no project, browse") << S::dsBrowse << false << true << false << false << false << false << -1;
        QTest::newRow("no project, insert") << S::dsInsert << false << true << false << false << false << false << -1;
        QTest::newRow("no project, inactive") << S::dsInactive << false << true << false << false << false << false << -1;
        QTest::newRow("browse") << S::dsBrowse << true << true << false << true << true << true << -1;
        QTest::newRow("edit") << S::dsEdit << true << true << true << true << false << true << 1;
        QTest::newRow("insert") << S::dsInsert << true << true << true << true << true << false << 1;
        QTest::newRow("inactive") << S::dsInactive << true << false << false << false << false << false << -1;
    }
    void theSharedEnablingRules() {
        QFETCH(TDataSetState, state);
        QFETCH(bool, projects);
        QFETCH(bool, touch);
        QFETCH(bool, open);
        QFETCH(bool, insert);
        QFETCH(bool, edit);
        QFETCH(bool, del);
        QFETCH(int, save);
        const TDetailEnabling e = DetailEnabling(state, projects);
        QCOMPARE(e.Touch, touch);
        if (!touch) return;
        QCOMPARE(e.FieldsOpen, open);
        QCOMPARE(e.Insert, insert);
        QCOMPARE(e.Edit, edit);
        QCOMPARE(e.Delete, del);
        QCOMPARE(e.Save.has_value() ? int(*e.Save) : -1, save);
    }

    void theTabsFollowTheirDataSets() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        TTelefonTab &t = f.Telefon();
        TfrmMain &w = f.Main();
        // Browse: locked fields refuse typing.
        QVERIFY(t.BtnInsert->isEnabled() && t.BtnEdit->isEnabled() && t.BtnDelete->isEnabled());
        TypeText(t.DBAdvEditTelefonName, QStringLiteral("x"));
        QCOMPARE(t.DBAdvEditTelefonName->text(), QStringLiteral("Meier"));
        QCOMPARE(f.Dm().IBDataSetTelefon->State(), TDataSetState::dsBrowse);
        // Edit.
        w.SetSaveEnabled(false);
        RecordsFixture::Click(t.BtnEdit);
        QVERIFY(IsOpenLook(t.DBAdvEditTelefonName) && IsOpenLook(t.DBAdvEditTelefonnummer));
        QVERIFY(t.BtnInsert->isEnabled() && !t.BtnEdit->isEnabled() && t.BtnDelete->isEnabled() && w.BtnSave->isEnabled());
        // Insert.
        RecordsFixture::Click(t.BtnInsert);
        QVERIFY(t.BtnInsert->isEnabled() && t.BtnEdit->isEnabled() && !t.BtnDelete->isEnabled());
        QVERIFY(!IsOpenLook(f.Email().DBAdvEditEmailadresse));  // the other tab keeps its own rules
    }

    void editOnAnEmptyListStartsAnInsert() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        RecordsFixture::ClickRow(f.Main().DBGridProjekte, 1);  // Garten: no e-mail addresses
        QVERIFY(f.Dm().IBDataSetEmail->IsEmpty());
        RecordsFixture::Click(f.Email().BtnEdit);
        QCOMPARE(f.Dm().IBDataSetEmail->State(), TDataSetState::dsInsert);
        QVERIFY(f.Email().BtnEdit->isEnabled() && !f.Email().BtnDelete->isEnabled());
    }

    void movingToAnotherPhoneRowWritesOnlyAChange() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        TTelefonTab &t = f.Telefon();
        f.Main().AdvPageControl->setCurrentWidget(f.Main().AdvTabSheetTelefon);
        RecordsFixture::Click(t.BtnEdit);
        RecordsFixture::ClickRow(t.Grid, 2);
        QCOMPARE(f.Dm().IBDataSetTelefon->State(), TDataSetState::dsBrowse);
        QTest::qWait(50);
        QVERIFY(!f.LogText().contains(QStringLiteral("Telefondaten")));

        RecordsFixture::Click(t.BtnEdit);
        t.DBAdvEditTelefonnummer->selectAll();
        TypeText(t.DBAdvEditTelefonnummer, QStringLiteral("040 9"));
        RecordsFixture::ClickRow(t.Grid, 0);
        QCOMPARE(f.Committed(QStringLiteral("select TELEFONNUMMER from TBLTELEFON where ID = 3")).toString(), QStringLiteral("040 9"));
        QVERIFY(f.WaitForLog(QStringLiteral(": Telefondaten zu Projekt BüRO wurden gesichert\r\n")));
    }

    void addDiscardsAnUntouchedNewRecord() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        RecordsFixture::Click(f.Email().BtnInsert);
        RecordsFixture::Click(f.Email().BtnInsert);
        QCOMPARE(f.Dm().IBDataSetEmail->State(), TDataSetState::dsInsert);
        QCOMPARE(f.Dm().IBDataSetEmail->RecordCount(), 3);  // two stored rows and one new one
    }

    void savingAnUntypedRecordStoresItsTextsAsTheyStand() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        RecordsFixture::Click(f.Email().BtnInsert);
        RecordsFixture::Click(f.Telefon().BtnInsert);
        RecordsFixture::Click(f.Main().BtnSave);
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLEMAIL where EMAILADRESSE = '' and PROJEKTID = 1")).toInt(), 1);
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLTELEFON where NAME = '' and TELEFONNUMMER = '' and PROJEKTID = 1"))
                     .toInt(),
                 1);
    }

    void aNewAddressBelongsToItsProjectOnly() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        RecordsFixture::ClickRow(f.Main().DBGridProjekte, 1);
        RecordsFixture::Click(f.Email().BtnInsert);
        TypeText(f.Email().DBAdvEditEmailadresse, QStringLiteral("Rosen@Garten.de"));
        RecordsFixture::Click(f.Main().BtnSave);
        QCOMPARE(f.Dm().IBDataSetEmail->RecordCount(), 1);
        RecordsFixture::ClickRow(f.Main().DBGridProjekte, 0);
        QCOMPARE(f.Dm().IBDataSetEmail->RecordCount(), 2);
        QCOMPARE(f.Committed(QStringLiteral("select PROJEKTID from TBLEMAIL where EMAILADRESSE = 'Rosen@Garten.de'")).toInt(), 2);
        QVERIFY(f.WaitForLog(QStringLiteral(": Emaildaten zu Projekt GARTEN wurden gesichert\r\n")));
    }

    void deletingAnAddress() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        f.Dm().IBDataSetTelefon->MoveTo(2);
        f.dialogs.AnswerMessage(mbNo);
        RecordsFixture::Click(f.Email().BtnDelete);
        QCOMPARE(f.dialogs.Messages().last().Text, QStringLiteral("Soll die Emailadresse BUERO@X.DE gelöscht werden?"));
        QCOMPARE(f.Main().CurrentStatusMessage(), QStringLiteral("Löschaktion wurde abgebrochen"));
        f.dialogs.AnswerMessage(mbYes);
        RecordsFixture::Click(f.Email().BtnDelete);
        QCOMPARE(f.Main().CurrentStatusMessage(), QStringLiteral("Emailadresse BUERO@X.DE wurde gelöscht"));
        QVERIFY(f.WaitForLog(QStringLiteral(": Emailadresse BUERO@X.DE wurde gelöscht\r\n")));
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLEMAIL where ID = 1")).toInt(), 0);
        // Only the e-mail grid changed: its next address is current, the phone tab stays where it was.
        QCOMPARE(f.Dm().IBDataSetEmail->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QStringLiteral("chef@x.de"));
        QCOMPARE(f.Dm().IBDataSetTelefon->RecNo(), 2);
    }

    void deletingANumber() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        TTelefonTab &t = f.Telefon();
        // A contact without a number cannot be deleted.
        f.Dm().IBDataSetTelefon->MoveTo(1);
        RecordsFixture::Click(t.BtnDelete);
        QCOMPARE(f.Main().CurrentStatusMessage(), QStringLiteral("Keine Telefonnummer zum Löschen vorhanden"));
        QCOMPARE(f.dialogs.Messages().size(), 0);

        f.Dm().IBDataSetTelefon->MoveTo(2);
        f.Dm().IBDataSetEmail->MoveTo(1);
        f.Dm().IBDataSetZugangsdaten->MoveTo(1);
        f.dialogs.AnswerMessage(mbYes);
        RecordsFixture::Click(t.BtnDelete);
        QCOMPARE(f.dialogs.Messages().last().Text, QStringLiteral("Soll die Telefonnummer 030 3 gelöscht werden?"));
        QCOMPARE(f.Main().CurrentStatusMessage(), QStringLiteral("Telefonnummer 030 3 wurde gelöscht"));
        QCOMPARE(f.Dm().IBDataSetTelefon->RecordCount(), 2);
        // Every detail tab was read again: their first rows are current.
        QCOMPARE(f.Dm().IBDataSetEmail->RecNo(), 0);
        QCOMPARE(f.Dm().IBDataSetZugangsdaten->RecNo(), 0);
        QVERIFY(f.WaitForLog(QStringLiteral(": Telefonnummer 030 3 wurde gelöscht\r\n")));
    }

    void deleteWhileInsertingDiscardsTheNewRecord() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        RecordsFixture::Click(f.Email().BtnInsert);
        TypeText(f.Email().DBAdvEditEmailadresse, QStringLiteral("neu@x.de"));
        emit f.Email().DBAdvEditEmailadresse->editingFinished();  // the user right-clicks the grid
        f.dialogs.AnswerMessage(mbYes);
        f.Main().PopupMenuEmail->actions().at(2)->trigger();  // "Email löschen"
        QCOMPARE(f.Main().PopupMenuEmail->actions().at(2)->text(), QStringLiteral("Email löschen"));
        QCOMPARE(f.dialogs.Messages().last().Text, QStringLiteral("Soll die Emailadresse NEU@X.DE gelöscht werden?"));
        QCOMPARE(f.Dm().IBDataSetEmail->State(), TDataSetState::dsBrowse);
        QCOMPARE(f.Dm().IBDataSetEmail->RecordCount(), 2);
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLEMAIL")).toInt(), 2);
        QCOMPARE(f.Main().CurrentStatusMessage(), QStringLiteral("Emailadresse NEU@X.DE wurde gelöscht"));
    }

    void charactersOutsideTheCodePageAreRefused() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        RecordsFixture::Click(f.Email().BtnInsert);
        TypeText(f.Email().DBAdvEditEmailadresse, QStringLiteral("a\u0142b"));  // ł
        QCoreApplication::processEvents();
        QCOMPARE(f.Email().DBAdvEditEmailadresse->text(), QStringLiteral("ab"));
        QCOMPARE(f.dialogs.Messages().size(), 1);
        QVERIFY(f.dialogs.Messages().first().Text.contains(QStringLiteral("U+0142")));
        QCOMPARE(f.dialogs.Messages().first().Icon, TMsgIcon::Error);
    }

    void theColumnsFillTheirGrids() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        for (int width : {956, 1250}) {
            w.resize(width, 600);
            w.AdvPageControl->setCurrentWidget(w.AdvTabSheetEmail);
            QApplication::processEvents();
            QCOMPARE(f.Email().Grid->horizontalHeader()->sectionSize(0), f.Email().Grid->width() - 4);
            w.AdvPageControl->setCurrentWidget(w.AdvTabSheetTelefon);
            QApplication::processEvents();
            const int W = f.Telefon().Grid->width();
            QCOMPARE(f.Telefon().Grid->horizontalHeader()->sectionSize(0), W / 2);
            QCOMPARE(f.Telefon().Grid->horizontalHeader()->sectionSize(1), W - W / 2 - 4);
        }
    }

    void theTabOrderOfThePhoneFields() {
        RecordsFixture f(Seed());
        QVERIFY(f.Start());
        QCOMPARE(f.Telefon().DBAdvEditTelefonName->nextInFocusChain(), f.Telefon().DBAdvEditTelefonnummer);
        QCOMPARE(f.Telefon().Grid->focusPolicy(), Qt::ClickFocus);
    }
};

QTEST_MAIN(TestContacts)
#include "test_contacts.moc"
