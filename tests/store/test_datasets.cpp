// The dataset engine on the real database: state transitions, generators,
// the cascade, commit retaining and closing.

#include <QtTest>

#include "StoreFixture.h"

namespace {

enum class From { Browse, BrowseEmpty, Edit, Insert };
enum class Cmd { Add, Edit, Cancel, Save, MoveRow, Delete, Close };

}  // namespace

Q_DECLARE_METATYPE(From)
Q_DECLARE_METATYPE(Cmd)
Q_DECLARE_METATYPE(TDataSetState)

class TestDataSets : public QObject {
    Q_OBJECT

    // Two e-mail rows of project 1 (ids 1, 2), committed.
    static void Seed(StoreFixture &f) {
        f.Exec(QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'A')"));
        f.Exec(QStringLiteral("insert into TBLEMAIL (ID, EMAILADRESSE, PROJEKTID) values (1, 'a@x', 1)"));
        f.Exec(QStringLiteral("insert into TBLEMAIL (ID, EMAILADRESSE, PROJEKTID) values (2, 'b@x', 1)"));
        f.Exec(QStringLiteral("set generator GEN_TBLEMAIL_ID to 2"));
    }

private slots:
    void transitions_data() {
        QTest::addColumn<From>("from");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<Cmd>("cmd");
        QTest::addColumn<TDataSetState>("to");
        QTest::addColumn<int>("rowsInDb");   // rows of TBLEMAIL afterwards
        QTest::addColumn<bool>("changed");   // a row holds the typed value
        QTest::addColumn<int>("hooks");      // before-save and after-save calls (each)

        using S = TDataSetState;
        // from, modified, command -> state, rows, value written, hook calls
        QTest::newRow("browse add") << From::Browse << false << Cmd::Add << S::dsInsert << 2 << false << 0;
        QTest::newRow("browse edit") << From::Browse << false << Cmd::Edit << S::dsEdit << 2 << false << 0;
        QTest::newRow("empty edit starts insert") << From::BrowseEmpty << false << Cmd::Edit << S::dsInsert << 0 << false << 0;
        QTest::newRow("browse cancel") << From::Browse << false << Cmd::Cancel << S::dsBrowse << 2 << false << 0;
        QTest::newRow("browse delete") << From::Browse << false << Cmd::Delete << S::dsBrowse << 1 << false << 0;
        QTest::newRow("edit edit") << From::Edit << true << Cmd::Edit << S::dsEdit << 2 << false << 0;
        QTest::newRow("edit save unmodified") << From::Edit << false << Cmd::Save << S::dsBrowse << 2 << false << 1;
        QTest::newRow("edit save") << From::Edit << true << Cmd::Save << S::dsBrowse << 2 << true << 1;
        QTest::newRow("edit move modified") << From::Edit << true << Cmd::MoveRow << S::dsBrowse << 2 << true << 1;
        QTest::newRow("edit move unmodified") << From::Edit << false << Cmd::MoveRow << S::dsBrowse << 2 << false << 0;
        QTest::newRow("edit add modified") << From::Edit << true << Cmd::Add << S::dsInsert << 2 << true << 1;
        QTest::newRow("edit add unmodified") << From::Edit << false << Cmd::Add << S::dsInsert << 2 << false << 0;
        QTest::newRow("edit cancel") << From::Edit << true << Cmd::Cancel << S::dsBrowse << 2 << false << 0;
        QTest::newRow("edit delete") << From::Edit << true << Cmd::Delete << S::dsBrowse << 1 << false << 0;
        QTest::newRow("edit close") << From::Edit << true << Cmd::Close << S::dsInactive << 2 << false << 0;
        QTest::newRow("insert save unmodified") << From::Insert << false << Cmd::Save << S::dsBrowse << 3 << false << 1;
        QTest::newRow("insert save") << From::Insert << true << Cmd::Save << S::dsBrowse << 3 << true << 1;
        QTest::newRow("insert move modified") << From::Insert << true << Cmd::MoveRow << S::dsBrowse << 3 << true << 1;
        QTest::newRow("insert move unmodified") << From::Insert << false << Cmd::MoveRow << S::dsBrowse << 2 << false << 0;
        QTest::newRow("insert add unmodified") << From::Insert << false << Cmd::Add << S::dsInsert << 2 << false << 0;
        QTest::newRow("insert add modified") << From::Insert << true << Cmd::Add << S::dsInsert << 3 << true << 1;
        QTest::newRow("insert cancel") << From::Insert << true << Cmd::Cancel << S::dsBrowse << 2 << false << 0;
        QTest::newRow("insert delete discards") << From::Insert << true << Cmd::Delete << S::dsBrowse << 2 << false << 0;
        QTest::newRow("insert close") << From::Insert << true << Cmd::Close << S::dsInactive << 2 << false << 0;
    }

    void transitions() {
        QFETCH(From, from);
        QFETCH(bool, modified);
        QFETCH(Cmd, cmd);
        QFETCH(TDataSetState, to);
        QFETCH(int, rowsInDb);
        QFETCH(bool, changed);
        QFETCH(int, hooks);

        StoreFixture f;
        if (from != From::BrowseEmpty) Seed(f);
        TIBDataSet *ds = f.dm->IBDataSetEmail;
        ds->Open();
        int before = 0, after = 0, stateChanges = 0;
        ds->BeforePost = [&] { ++before; };
        ds->AfterPost = [&] { ++after; };
        if (from == From::Edit) ds->Edit();
        if (from == From::Insert) ds->Insert();
        if (modified) ds->FieldByName(QStringLiteral("EMAILADRESSE")).SetValue(QStringLiteral("typed"));
        QCOMPARE(ds->Modified(), modified);
        QObject::connect(f.dm->DataSourceEmail, &TDataSource::StateChange, [&] { ++stateChanges; });
        const TDataSetState start = ds->State();

        switch (cmd) {
        case Cmd::Add: ds->Insert(); break;
        case Cmd::Edit: ds->Edit(); break;
        case Cmd::Cancel: ds->Cancel(); break;
        case Cmd::Save: ds->Post(); break;
        case Cmd::MoveRow: ds->MoveTo(ds->RecNo() == 0 ? 1 : 0); break;
        case Cmd::Delete: ds->Delete(); break;
        case Cmd::Close: ds->Close(); break;
        }

        QCOMPARE(ds->State(), to);
        QCOMPARE(f.Seen(QStringLiteral("select count(*) from TBLEMAIL")).toInt(), rowsInDb);
        QCOMPARE(f.Seen(QStringLiteral("select count(*) from TBLEMAIL where EMAILADRESSE = 'typed'")).toInt() > 0, changed);
        QCOMPARE(before, hooks);
        QCOMPARE(after, hooks);
        // Every change of state is announced; none is announced twice.
        if (start == to && !(start == TDataSetState::dsInsert && cmd == Cmd::Add)) QCOMPARE(stateChanges, 0);
        if (start != to) QVERIFY(stateChanges >= 1);
        if (to == TDataSetState::dsBrowse) QVERIFY(!ds->Modified());
    }

    void insertPlacesTheRecordBeforeTheCurrentOneAndCancelRestoresIt() {
        StoreFixture f;
        Seed(f);
        TIBDataSet *ds = f.dm->IBDataSetEmail;
        ds->Open();
        ds->MoveTo(1);
        int scrolls = 0;
        ds->AfterScroll = [&] { ++scrolls; };
        ds->Insert();
        QCOMPARE(ds->RecNo(), 1);
        QCOMPARE(ds->RecordCount(), 3);
        QVERIFY(ds->FieldByName(QStringLiteral("EMAILADRESSE")).IsNull());
        ds->Cancel();
        QCOMPARE(ds->RecordCount(), 2);
        QCOMPARE(ds->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QStringLiteral("b@x"));
        QCOMPARE(scrolls, 2);  // the new record and the old one each became current
    }

    void movingAwayFromACancelledInsertLandsOnTheChosenRow() {
        StoreFixture f;
        Seed(f);
        TIBDataSet *ds = f.dm->IBDataSetEmail;
        ds->Open();
        ds->Insert();                // at 0, the rows are now new, a@x, b@x
        ds->MoveTo(2);               // the user picks b@x
        QCOMPARE(ds->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QStringLiteral("b@x"));
        QCOMPARE(ds->RecordCount(), 2);
    }

    void generatorsDrawAtTheirMoment() {
        StoreFixture f;
        f.dm->OpenDatabase();
        auto gen = [&](const char *name) {
            return f.Seen(QStringLiteral("SELECT GEN_ID(%1, 0) FROM RDB$DATABASE").arg(QLatin1String(name))).toLongLong();
        };
        TIBDataSet *projects = f.dm->IBDataSetProjekt;
        TIBDataSet *phones = f.dm->IBDataSetTelefon;

        // A project draws its key when the insert starts, so a cancel uses one up.
        const qint64 p0 = gen("GEN_TBLPROJEKT_ID");
        projects->Insert();
        QCOMPARE(projects->FieldByName(QStringLiteral("ID")).AsLargeInt(), p0 + 1);
        QVERIFY(!projects->Modified());
        projects->Cancel();
        QCOMPARE(gen("GEN_TBLPROJEKT_ID"), p0 + 1);

        // A detail row draws only when posted, before its before-save hook.
        const qint64 t0 = gen("GEN_TBLTELEFON_ID");
        phones->Insert();
        QVERIFY(phones->FieldByName(QStringLiteral("ID")).IsNull());
        phones->Cancel();
        QCOMPARE(gen("GEN_TBLTELEFON_ID"), t0);

        QVariant idInHook;
        phones->BeforePost = [&] { idInHook = phones->FieldByName(QStringLiteral("ID")).Value(); };
        phones->Insert();
        phones->FieldByName(QStringLiteral("NAME")).SetValue(QString(41, QLatin1Char('n')));  // too long: refused
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, phones->Post());
        QCOMPARE(idInHook.toLongLong(), t0 + 1);
        // A second attempt keeps the key it already has.
        phones->FieldByName(QStringLiteral("NAME")).SetValue(QStringLiteral("Meier"));
        phones->Post();
        QCOMPARE(gen("GEN_TBLTELEFON_ID"), t0 + 1);
        QCOMPARE(phones->FieldByName(QStringLiteral("ID")).AsLargeInt(), t0 + 1);
    }

    void deletingAProjectCascadesToEveryDetailTable() {
        StoreFixture f;
        f.Exec(QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (7, 'Weg')"));
        f.Exec(QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (8, 'Bleibt')"));
        for (int project : {7, 8}) {
            const QString p = QString::number(project);
            f.Exec(QStringLiteral("insert into TBLZUGANGSDATEN (ID, USERID, PROJEKTID) values (%1, 'u', %1)").arg(p));
            f.Exec(QStringLiteral("insert into TBLEMAIL (ID, EMAILADRESSE, PROJEKTID) values (%1, 'e', %1)").arg(p));
            f.Exec(QStringLiteral("insert into TBLTELEFON (ID, TELEFONNUMMER, PROJEKTID) values (%1, '1', %1)").arg(p));
            f.Exec(QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, PROJEKTID) values (%1, '01.07.2008', %1)").arg(p));
            f.Exec(QStringLiteral("insert into tbltodo (ID, BESCHREIBUNG, PROJEKTID) values (%1, 't', %1)").arg(p));
        }
        f.dm->OpenDatabase();
        TIBDataSet *projects = f.dm->IBDataSetProjekt;
        QCOMPARE(projects->FieldByName(QStringLiteral("PROJEKTNAME")).AsString(), QStringLiteral("Weg"));
        projects->Delete();
        f.dm->IBTransaction.CommitRetaining();
        QCOMPARE(projects->FieldByName(QStringLiteral("PROJEKTNAME")).AsString(), QStringLiteral("Bleibt"));
        for (const char *table : {"TBLZUGANGSDATEN", "TBLEMAIL", "TBLTELEFON", "TBLTERMINE", "TBLTODO"}) {
            QCOMPARE(f.Committed(QStringLiteral("select count(*) from %1 where PROJEKTID = 7").arg(QLatin1String(table))).toInt(), 0);
            QCOMPARE(f.Committed(QStringLiteral("select count(*) from %1 where PROJEKTID = 8").arg(QLatin1String(table))).toInt(), 1);
        }
    }

    void commitRetainingKeepsOpenDataSetsUsable() {
        StoreFixture f;
        Seed(f);
        f.dm->OpenDatabase();
        TIBDataSet *mails = f.dm->IBDataSetEmail;
        mails->Insert();
        mails->FieldByName(QStringLiteral("EMAILADRESSE")).SetValue(QStringLiteral("neu@x"));
        mails->Post();
        f.dm->IBTransaction.CommitRetaining();
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLEMAIL where EMAILADRESSE = 'neu@x'")).toInt(), 1);
        // The same datasets still read, move, refresh and write afterwards.
        QCOMPARE(mails->RecordCount(), 3);
        mails->Last();
        mails->Refresh();
        QCOMPARE(mails->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QStringLiteral("b@x"));
        mails->Edit();
        mails->FieldByName(QStringLiteral("EMAILADRESSE")).SetValue(QStringLiteral("c@x"));
        mails->Post();
        f.dm->IBTransaction.CommitRetaining();
        QCOMPARE(f.Committed(QStringLiteral("select EMAILADRESSE from TBLEMAIL where ID = 2")).toString(), QStringLiteral("c@x"));
    }

    void refreshReReadsTheCurrentRow() {
        StoreFixture f;
        Seed(f);
        TIBDataSet *mails = f.dm->IBDataSetEmail;
        mails->Open();
        f.Exec(QStringLiteral("update TBLEMAIL set EMAILADRESSE = 'anders@x' where ID = 1"));
        QCOMPARE(mails->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QStringLiteral("a@x"));
        mails->Refresh();
        QCOMPARE(mails->FieldByName(QStringLiteral("EMAILADRESSE")).AsString(), QStringLiteral("anders@x"));
        QCOMPARE(mails->RecordCount(), 2);
    }

    void closingTheConnectionDropsTheEditAndKeepsWhatWasWritten() {
        StoreFixture f;
        Seed(f);
        f.dm->OpenDatabase();
        TIBDataSet *mails = f.dm->IBDataSetEmail;
        mails->Edit();
        mails->FieldByName(QStringLiteral("EMAILADRESSE")).SetValue(QStringLiteral("geschrieben@x"));
        mails->Post();  // written, not yet committed
        mails->Edit();
        mails->FieldByName(QStringLiteral("EMAILADRESSE")).SetValue(QStringLiteral("verworfen@x"));
        int disconnected = 0;
        f.dm->OnAfterDisconnect = [&] { ++disconnected; };
        f.dm->CloseDatabase();
        QCOMPARE(disconnected, 1);
        for (TIBDataSet *ds : f.dm->DataSets()) QCOMPARE(ds->State(), TDataSetState::dsInactive);
        QCOMPARE(f.Committed(QStringLiteral("select EMAILADRESSE from TBLEMAIL where ID = 1")).toString(),
                 QStringLiteral("geschrieben@x"));
        // Reopening works on the same data module.
        f.dm->OpenDatabase();
        QCOMPARE(f.dm->IBDataSetEmail->RecordCount(), 2);
    }

    void openDatabaseReopensTheSevenDataSetsInOrder() {
        StoreFixture f;
        QStringList opened;
        for (TIBDataSet *ds : f.dm->DataSets())
            QObject::connect(ds, &TIBDataSet::StateChanged, [&opened, ds] {
                if (ds->State() == TDataSetState::dsBrowse) opened << ds->Name();
            });
        int connects = 0;
        f.dm->OnAfterConnect = [&] { ++connects; };
        f.dm->OpenDatabase();
        f.dm->OpenDatabase();
        QCOMPARE(connects, 1);
        const QStringList order{"IBDataSetProjekt", "IBDataSetZugangsdaten", "IBDataSetTelefon", "IBDataSetEmail",
                                "IBDataSetTermine", "IBDataSetToDo",         "IBDataSetAllgemein"};
        QCOMPARE(opened, order + order);
        QCOMPARE(f.dm->ProgramFolder, f.folder.Path());
        QCOMPARE(f.dm->IBDatabase.DatabaseName, f.folder.File(QStringLiteral("tresoro.gdb")));
    }

    void theGeneralSettingsRowIsFoundByItsEmptyDigest() {
        StoreFixture f;
        f.dm->OpenDatabase();
        TIBDataSet *g = f.dm->IBDataSetAllgemein;
        QCOMPARE(g->RecordCount(), 1);
        g->Edit();
        g->FieldByName(QStringLiteral("MASTERKENNWORT")).SetValue(QString(40, QLatin1Char('A')));
        g->FieldByName(QStringLiteral("PASSPHRASE")).SetValue(QStringLiteral("Zeile 1\r\nZeile 2 mit Ümlaut"));
        g->FieldByName(QStringLiteral("ZEITSTEMPEL")).SetValue(QDateTime(QDate(2026, 12, 10), QTime(9, 8, 7)));
        g->Post();
        f.dm->IBTransaction.CommitRetaining();
        QCOMPARE(f.Committed(QStringLiteral("select MASTERKENNWORT from TBLALLGEMEIN")).toString(), QString(40, QLatin1Char('A')));
        g->Refresh();
        QCOMPARE(g->FieldByName(QStringLiteral("PASSPHRASE")).AsString(), QStringLiteral("Zeile 1\r\nZeile 2 mit Ümlaut"));
        QCOMPARE(g->FieldByName(QStringLiteral("ZEITSTEMPEL")).AsDateTime(), QDateTime(QDate(2026, 12, 10), QTime(9, 8, 7)));
    }

    void blobsAndDatesRoundTrip() {
        StoreFixture f;
        f.Exec(QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'A')"));
        f.dm->OpenDatabase();
        TIBDataSet *acc = f.dm->IBDataSetZugangsdaten;
        QByteArray picture(200000, '\0');
        for (int i = 0; i < picture.size(); ++i) picture[i] = char(i * 31 % 251);
        acc->Insert();
        acc->FieldByName(QStringLiteral("SCREENSHOT")).SetValue(picture);
        acc->FieldByName(QStringLiteral("BESCHREIBUNG")).SetValue(QString(40000, QChar(0x20AC)));  // larger than one text parameter
        acc->FieldByName(QStringLiteral("PROJEKTID")).SetValue(1);
        acc->Post();
        TIBDataSet *dates = f.dm->IBDataSetToDo;
        dates->Insert();
        dates->FieldByName(QStringLiteral("BISTERMIN")).SetValue(QDate(2008, 7, 23));
        dates->FieldByName(QStringLiteral("FORTSCHRITT")).SetValue(75);
        dates->Post();
        f.dm->IBTransaction.CommitRetaining();
        f.dm->CloseDatabase();
        f.dm->OpenDatabase();
        QCOMPARE(acc->FieldByName(QStringLiteral("SCREENSHOT")).AsBytes(), picture);
        QCOMPARE(acc->FieldByName(QStringLiteral("BESCHREIBUNG")).AsString(), QString(40000, QChar(0x20AC)));
        QCOMPARE(dates->FieldByName(QStringLiteral("BISTERMIN")).AsString(), QStringLiteral("23.07.2008"));
        QCOMPARE(dates->FieldByName(QStringLiteral("FORTSCHRITT")).AsInteger(), 75);
        // Writing a record back without touching its picture keeps the picture.
        acc->Edit();
        acc->FieldByName(QStringLiteral("USERID")).SetValue(QStringLiteral("neu"));
        acc->Post();
        QCOMPARE(f.Seen(QStringLiteral("select octet_length(SCREENSHOT) from TBLZUGANGSDATEN")).toInt(), picture.size());
    }
};

QTEST_GUILESS_MAIN(TestDataSets)
#include "test_datasets.moc"
