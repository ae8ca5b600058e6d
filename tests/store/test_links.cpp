// Widgets bound to fields: what the user types reaches the record, and only
// through the dataset's own rules.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include "StoreFixture.h"
#include "store/window/DataLinks.h"
#include "support/window/Typing.h"

class TestLinks : public QObject {
    Q_OBJECT

    QStringList reported;

    static void Seed(StoreFixture &f) {
        f.Exec(QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Eins')"));
        f.Exec(QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (2, 'Zwei')"));
        f.Exec(QStringLiteral("set generator GEN_TBLPROJEKT_ID to 2"));
    }

private slots:
    void init() {
        reported.clear();
        links::SetErrorReporter([this](const QString &m) { reported << m; });
    }

    void typingStartsAnEditAndThePostTakesTheText() {
        StoreFixture f;
        Seed(f);
        f.dm->OpenDatabase();
        TIBDataSet *ds = f.dm->IBDataSetProjekt;
        QLineEdit edit;
        new TDBEditLink(&edit, f.dm->DataSourceProjekt, QStringLiteral("PROJEKTNAME"));
        QCOMPARE(edit.text(), QStringLiteral("Eins"));
        edit.selectAll();
        TypeText(&edit, QStringLiteral("Büro"));
        QCOMPARE(ds->State(), TDataSetState::dsEdit);
        QVERIFY(ds->Modified());
        QCOMPARE(edit.text(), QStringLiteral("Büro"));
        ds->Post();
        QCOMPARE(f.Seen(QStringLiteral("select PROJEKTNAME from TBLPROJEKT where ID = 1")).toString(), QStringLiteral("Büro"));
        // Moving to another row shows that row.
        ds->MoveTo(1);
        QCOMPARE(edit.text(), QStringLiteral("Zwei"));
    }

    void aStateHandlerRunWithoutAChangeKeepsWhatIsTyped() {
        StoreFixture f;
        Seed(f);
        f.dm->OpenDatabase();
        QLineEdit edit;
        new TDBEditLink(&edit, f.dm->DataSourceProjekt, QStringLiteral("PROJEKTNAME"));
        f.dm->IBDataSetProjekt->Insert();
        TypeText(&edit, QStringLiteral("getippt"));
        f.dm->DataSourceProjekt->NotifyStateChange();
        QCOMPARE(edit.text(), QStringLiteral("getippt"));
        f.dm->IBDataSetProjekt->Post();
        QCOMPARE(f.Seen(QStringLiteral("select count(*) from TBLPROJEKT where PROJEKTNAME = 'getippt'")).toInt(), 1);
    }

    void aReadOnlyControlDoesNotEdit() {
        StoreFixture f;
        Seed(f);
        f.dm->OpenDatabase();
        QLineEdit edit;
        edit.setReadOnly(true);
        new TDBEditLink(&edit, f.dm->DataSourceProjekt, QStringLiteral("PROJEKTNAME"));
        TypeText(&edit, QStringLiteral("x"));
        QCOMPARE(f.dm->IBDataSetProjekt->State(), TDataSetState::dsBrowse);
        QCOMPARE(edit.text(), QStringLiteral("Eins"));
    }

    void aValueSetByCodeIsShownAndWinsOverNothingTyped() {
        StoreFixture f;
        Seed(f);
        f.dm->OpenDatabase();
        QLineEdit edit;
        new TDBEditLink(&edit, f.dm->DataSourceProjekt, QStringLiteral("PROJEKTNAME"));
        f.dm->IBDataSetProjekt->Edit();
        f.dm->IBDataSetProjekt->FieldByName(QStringLiteral("PROJEKTNAME")).SetValue(QStringLiteral("vom Programm"));
        QCOMPARE(edit.text(), QStringLiteral("vom Programm"));
        f.dm->IBDataSetProjekt->Post();
        QCOMPARE(f.Seen(QStringLiteral("select PROJEKTNAME from TBLPROJEKT where ID = 1")).toString(),
                 QStringLiteral("vom Programm"));
    }

    void charactersOutsideTheCodePageAreRefusedWithAMessage() {
        StoreFixture f;
        Seed(f);
        f.dm->OpenDatabase();
        QLineEdit edit;
        new TDBEditLink(&edit, f.dm->DataSourceProjekt, QStringLiteral("PROJEKTNAME"));
        edit.setCursorPosition(4);
        TypeText(&edit, QStringLiteral("€Ω"));
        QCOMPARE(edit.text(), QStringLiteral("Eins€"));
        QCOMPARE(reported.size(), 0);  // the box waits until the key event is over
        QCoreApplication::processEvents();
        QCOMPARE(reported.size(), 1);
        QVERIFY(reported.first().contains(QStringLiteral("U+03A9")));
        f.dm->IBDataSetProjekt->Post();
        QCOMPARE(f.Seen(QStringLiteral("select PROJEKTNAME from TBLPROJEKT where ID = 1")).toString(), QStringLiteral("Eins€"));
    }

    void memosStoreCrLfLineEnds() {
        StoreFixture f;
        f.dm->OpenDatabase();
        TIBDataSet *g = f.dm->IBDataSetAllgemein;
        QPlainTextEdit memo;
        new TDBMemoLink(&memo, f.dm->DataSourceAllgemein, QStringLiteral("PASSPHRASE"));
        TypeText(&memo, QStringLiteral("erste\nzweite"));
        QCOMPARE(g->State(), TDataSetState::dsEdit);
        g->Post();
        QCOMPARE(f.Seen(QStringLiteral("select cast(PASSPHRASE as varchar(100)) from TBLALLGEMEIN")).toString(),
                 QStringLiteral("erste\r\nzweite"));
        QCOMPARE(memo.toPlainText(), QStringLiteral("erste\nzweite"));
    }

    void theGridFollowsTheDataSetAndPostsWhenTheUserMovesAway() {
        StoreFixture f;
        Seed(f);
        f.dm->OpenDatabase();
        TIBDataSet *ds = f.dm->IBDataSetProjekt;
        TDBGridView grid;
        grid.SetDataSource(f.dm->DataSourceProjekt, {{QStringLiteral("PROJEKTNAME"), QStringLiteral("Projektname"), false}});
        grid.resize(200, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.model()->rowCount(), 2);
        QCOMPARE(grid.currentIndex().row(), 0);
        QCOMPARE(grid.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Projektname"));

        // Not editable while browsing.
        QVERIFY(!(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEditable));
        ds->Edit();
        QVERIFY(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEditable);
        grid.setFocus();
        TypeText(&grid, QStringLiteral("N"));  // the first key opens the cell editor
        QVERIFY(QApplication::focusWidget() != &grid);
        TypeText(QApplication::focusWidget(), QStringLiteral("eu"));
        QVERIFY(ds->Modified());
        // The user clicks the other row: the rename is written.
        grid.setCurrentIndex(grid.model()->index(1, 0));
        QCOMPARE(ds->RecNo(), 1);
        QCOMPARE(ds->State(), TDataSetState::dsBrowse);
        QCOMPARE(f.Seen(QStringLiteral("select PROJEKTNAME from TBLPROJEKT where ID = 1")).toString(), QStringLiteral("Neu"));

        // An insert appears as a row and vanishes again on cancel.
        ds->Insert();
        QCOMPARE(grid.model()->rowCount(), 3);
        QCOMPARE(grid.currentIndex().row(), 1);
        ds->Cancel();
        QCOMPARE(grid.model()->rowCount(), 2);
        QCOMPARE(grid.currentIndex().row(), 1);
    }
};

QTEST_MAIN(TestLinks)
#include "test_links.moc"
