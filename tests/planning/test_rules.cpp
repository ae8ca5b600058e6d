// The planning rules without windows: shown dates, progress stops and their
// coupling, the before-save values, the enabling tables, the delete texts
// and the month's marker statements and list, against a real database.

#include <QtTest>

#include "planning/core/CalendarMarks.h"
#include "planning/core/PlanningRules.h"
#include "platform/core/GermanFormat.h"
#include "store/StoreFixture.h"
#include "store/core/DatabaseError.h"

using namespace planning;
using Kind = ::TDateEntry::Kind;

Q_DECLARE_METATYPE(TDataSetState)
Q_DECLARE_METATYPE(planning::TPlanningKind)
Q_DECLARE_METATYPE(::TDateEntry::Kind)

namespace {
// Two projects with a to-do and an appointment each, plus what the marker
// statements must leave out.
QStringList Seed() {
    return {
        QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Büro')"),
        QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (2, 'garten')"),
        QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, BESCHREIBUNG, PROJEKTID) values (1, '2007-11-14', 'Zahnarzt', 1)"),
        QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, BESCHREIBUNG, PROJEKTID) values (2, '2007-11-01', 'Erster', 2)"),
        QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, BESCHREIBUNG, PROJEKTID) values (3, '2007-12-01', 'Grenze', 2)"),
        QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, BESCHREIBUNG, PROJEKTID) values (4, '2007-12-02', 'Danach', 2)"),
        QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, BESCHREIBUNG, PROJEKTID) values (5, '2007-10-31', 'Davor', 2)"),
        QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, BESCHREIBUNG, PROJEKTID) values (6, '2007-11-20', 'Ohne Projekt', NULL)"),
        QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, BESCHREIBUNG, PROJEKTID) values (7, NULL, 'Ohne Datum', 1)"),
        QStringLiteral("insert into TBLTODO (ID, BESCHREIBUNG, FORTSCHRITT, ERLEDIGT, BISTERMIN, PROJEKTID) values (1, 'offen', 50, 0, '2007-11-14', 2)"),
        QStringLiteral("insert into TBLTODO (ID, BESCHREIBUNG, FORTSCHRITT, ERLEDIGT, BISTERMIN, PROJEKTID) values (2, 'fertig', 100, 1, '2007-11-15', 2)"),
        QStringLiteral("insert into TBLTODO (ID, BESCHREIBUNG, FORTSCHRITT, ERLEDIGT, BISTERMIN, PROJEKTID) values (3, 'kein Datum', 0, 0, NULL, 1)"),
        QStringLiteral("insert into TBLTODO (ID, BESCHREIBUNG, FORTSCHRITT, ERLEDIGT, BISTERMIN, PROJEKTID) values (4, 'später', 25, 0, '2007-11-30', 1)"),
        QStringLiteral("set generator GEN_TBLTERMINE_ID to 7"),
        QStringLiteral("set generator GEN_TBLTODO_ID to 4"),
    };
}

struct PlanningStore : StoreFixture {
    PlanningStore() {
        for (const QString &s : Seed()) Exec(s);
    }
};
}  // namespace

class TestPlanningRules : public QObject {
    Q_OBJECT
private slots:
    void shownDueDates_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QDate>("shown");
        QTest::newRow("none") << QVariant() << QDate();
        QTest::newRow("long ago") << QVariant(QDate(1899, 12, 30)) << QDate();
        QTest::newRow("the threshold itself") << QVariant(QDate(2000, 1, 1)) << QDate();
        QTest::newRow("the day after") << QVariant(QDate(2000, 1, 2)) << QDate(2000, 1, 2);
        QTest::newRow("a time of day") << QVariant(QDateTime(QDate(2007, 11, 14), QTime(9, 30))) << QDate(2007, 11, 14);
    }
    void shownDueDates() {
        QFETCH(QVariant, stored);
        QFETCH(QDate, shown);
        QCOMPARE(ShownDueDate(stored), shown);
    }

    void appointmentsShowEveryDate() {
        QCOMPARE(ShownAppointmentDate(QVariant(QDate(1999, 5, 1))), QDate(1999, 5, 1));
        QCOMPARE(ShownAppointmentDate(QVariant()), QDate());
    }

    void typedDates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QDate>("date");
        QTest::newRow("empty") << QString() << Kind::Empty << QDate();
        QTest::newRow("blanks") << QStringLiteral("  ") << Kind::Empty << QDate();
        QTest::newRow("dd.MM.yyyy") << QStringLiteral("05.06.2007") << Kind::Date << QDate(2007, 6, 5);
        QTest::newRow("d.M.yy") << QStringLiteral("5.6.07") << Kind::Date << QDate(2007, 6, 5);
        QTest::newRow("d.M.yy before 1930") << QStringLiteral("1.1.29") << Kind::Date << QDate(2029, 1, 1);
        QTest::newRow("d.M.yy from 1930") << QStringLiteral("1.1.30") << Kind::Date << QDate(1930, 1, 1);
        QTest::newRow("no 30 February") << QStringLiteral("30.02.2008") << Kind::Invalid << QDate();
        QTest::newRow("letters") << QStringLiteral("morgen") << Kind::Invalid << QDate();
        QTest::newRow("ISO") << QStringLiteral("2007-06-05") << Kind::Invalid << QDate();
        QTest::newRow("three-digit year") << QStringLiteral("1.1.200") << Kind::Invalid << QDate();
    }
    void typedDates() {
        QFETCH(QString, text);
        QFETCH(Kind, kind);
        QFETCH(QDate, date);
        const TDateEntry e = ParseDateEntry(text);
        QCOMPARE(e.kind, kind);
        QCOMPARE(e.date, date);
    }

    void progressLandsOnStops_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("stop");
        for (auto [v, s] : {std::pair{-5, 0}, {0, 0}, {12, 0}, {13, 25}, {37, 25}, {38, 50}, {74, 75}, {99, 100}, {130, 100}})
            QTest::newRow(qPrintable(QString::number(v))) << v << s;
    }
    void progressLandsOnStops() {
        QFETCH(int, value);
        QFETCH(int, stop);
        QCOMPARE(SnapProgress(value), stop);
    }

    void progressAndDoneCouple() {
        QVERIFY(DoneForProgress(100));
        QVERIFY(!DoneForProgress(75));
        QVERIFY(!DoneForProgress(0));
        QCOMPARE(ProgressForDone(true), 100);
        QCOMPARE(ProgressForDone(false), 0);
        // The fill's step 5: only 1 and 0 override what the slider set.
        QCOMPARE(DoneShown(1, false), true);
        QCOMPARE(DoneShown(0, true), false);
        QCOMPARE(DoneShown(QVariant(), true), true);
        QCOMPARE(DoneShown(7, false), false);
    }

    void columnWidths() {
        const std::array<int, 4> todo{374, 44, 260, 66};
        QCOMPARE(ToDoColumnWidths(748), todo);
        const std::array<int, 4> odd{374, 44, 261, 66};
        QCOMPARE(ToDoColumnWidths(749), odd);  // "Beschreibung" gets W / 2 rounded down
        const std::array<int, 2> dates{66, 678};
        QCOMPARE(AppointmentColumnWidths(748), dates);
        // A font that needs more for a date widens it, never narrows it.
        QCOMPARE(ToDoColumnWidths(748, 80), (std::array<int, 4>{374, 44, 246, 80}));
        QCOMPARE(ToDoColumnWidths(748, 50), todo);
        QCOMPARE(AppointmentColumnWidths(748, 80), (std::array<int, 2>{80, 664}));
    }

    void enablingTables_data() {
        QTest::addColumn<planning::TPlanningKind>("kind");
        QTest::addColumn<TDataSetState>("state");
        QTest::addColumn<bool>("projects");
        QTest::addColumn<QString>("expected");  // touch open insert edit delete save(-,0,1)
        using S = TDataSetState;
        using K = planning::TPlanningKind;
        for (K k : {K::ToDo, K::Appointment}) {
            const char *n = k == K::ToDo ? "to-do " : "appointment ";
            for (S s : {S::dsInactive, S::dsBrowse, S::dsEdit, S::dsInsert})
                QTest::newRow(qPrintable(QString::fromLatin1(n) + StateName(s) + QStringLiteral(" no project")))
                    << k << s << false << QStringLiteral("10000-");
            QTest::newRow(qPrintable(QString::fromLatin1(n) + QStringLiteral("Inactive"))) << k << S::dsInactive << true << QStringLiteral("0");
            QTest::newRow(qPrintable(QString::fromLatin1(n) + QStringLiteral("Edit"))) << k << S::dsEdit << true << QStringLiteral("111011");
            QTest::newRow(qPrintable(QString::fromLatin1(n) + QStringLiteral("Insert"))) << k << S::dsInsert << true << QStringLiteral("111101");
        }
        QTest::newRow("to-do Browse enables save") << K::ToDo << S::dsBrowse << true << QStringLiteral("101111");
        QTest::newRow("appointment Browse leaves save") << K::Appointment << S::dsBrowse << true << QStringLiteral("10111-");
    }
    void enablingTables() {
        QFETCH(planning::TPlanningKind, kind);
        QFETCH(TDataSetState, state);
        QFETCH(bool, projects);
        QFETCH(QString, expected);
        const TDetailEnabling e = PlanningEnabling(kind, state, projects);
        QString got = QString::number(int(e.Touch));
        if (e.Touch)
            got += QString::number(int(e.FieldsOpen)) + QString::number(int(e.Insert)) + QString::number(int(e.Edit)) +
                   QString::number(int(e.Delete)) + (e.Save ? QString::number(int(*e.Save)) : QStringLiteral("-"));
        QCOMPARE(got, expected);
    }

    void deleteTexts() {
        const TDeleteTexts t = ToDoDeleteTexts();
        QCOMPARE(t.NothingToDelete, QStringLiteral("Kein ToDo-Item zum Löschen vorhanden"));
        QCOMPARE(t.Question + QStringLiteral("PRüFEN gelöscht werden?"), QStringLiteral("Soll das ToDo-Item PRüFEN gelöscht werden?"));
        QCOMPARE(t.LogPrefix + QStringLiteral("X") + t.LogSuffix, QStringLiteral("ToDo-Item X wurde gelöscht"));
        QCOMPARE(t.StatusPrefix + QStringLiteral("X") + t.StatusSuffix, QStringLiteral("ToDo-Item X wurde gelöscht"));
        const TDeleteTexts a = AppointmentDeleteTexts();
        QCOMPARE(a.NothingToDelete, QStringLiteral("Kein Termin zum Löschen vorhanden"));
        QCOMPARE(a.Question, QStringLiteral("Soll der Termin "));
        QCOMPARE(a.LogPrefix + QStringLiteral("X") + a.LogSuffix, QStringLiteral("Termin X wurde gelöscht"));
        QCOMPARE(a.StatusPrefix + QStringLiteral("X") + a.StatusSuffix, QStringLiteral("Termin X wurde gelöscht"));
    }

    void theStatementsForNovember2007() {
        const TMonthBounds b = MonthBounds(QDate(2007, 11, 23));
        QCOMPARE(b.from, QDate(2007, 11, 1));
        QCOMPARE(b.to, QDate(2007, 12, 1));
        QCOMPARE(AppointmentMarksSql(b),
                 (QStringList{"select tblprojekt.projektname, tbltermine.projektid, tbltermine.beschreibung, tbltermine.termindatum ",
                              "from tblprojekt, tbltermine ", "where tblprojekt.id = tbltermine.projektid and ",
                              "tbltermine.termindatum >= '01.11.2007' and ", "tbltermine.termindatum <= '01.12.2007'"}));
        QCOMPARE(OpenToDoMarksSql(b),
                 (QStringList{"select tblprojekt.projektname, tbltodo.projektid, tbltodo.beschreibung, tbltodo.bistermin, tbltodo.erledigt ",
                              "from tblprojekt, tbltodo ", "where tblprojekt.id = tbltodo.projektid and ",
                              "tbltodo.erledigt = 0 and ", "tbltodo.bistermin >= '01.11.2007' and ",
                              "tbltodo.bistermin <= '01.12.2007'"}));
        QCOMPARE(MonthBounds(QDate(2007, 12, 31)).to, QDate(2008, 1, 1));
    }

    // Appointments first, in row order; done and undated to-dos, undated and
    // orphaned appointments never; both bounds inclusive; all projects.
    void theMonthsMarks() {
        PlanningStore f;
        f.dm->Connect();
        const QList<TCalendarMark> marks = LoadMonthMarks(*f.dm, QDate(2007, 11, 5));
        QStringList got;
        for (const TCalendarMark &m : marks)
            got << de::DateText(m.date) + QLatin1Char(' ') +
                       (m.kind == TCalendarMark::Kind::Appointment ? QStringLiteral("A ") : QStringLiteral("T ")) + m.hint;
        // The server's row order within a statement is its own: compare sets per kind.
        QStringList appointments = got.filter(QStringLiteral(" A ")), todos = got.filter(QStringLiteral(" T "));
        QCOMPARE(got.mid(0, appointments.size()), appointments);
        appointments.sort();
        todos.sort();
        QCOMPARE(appointments, (QStringList{"01.11.2007 A TERMIN: garten: Erster", "01.12.2007 A TERMIN: garten: Grenze",
                                            "14.11.2007 A TERMIN: Büro: Zahnarzt"}));
        QCOMPARE(todos, (QStringList{"14.11.2007 T ToDo: garten: offen", "30.11.2007 T ToDo: Büro: später"}));
        // The work query keeps the last statement, as every user of it expects.
        QVERIFY(f.dm->IBQueryZugangsdaten->SelectText().contains(QStringLiteral("tbltodo.erledigt = 0")));
        QVERIFY(LoadMonthMarks(*f.dm, QDate(2007, 9, 1)).isEmpty());
    }

    // An empty date field leaves a stored date alone, the threshold's old
    // dates included; the other values always come from the controls.
    void theToDoBeforeSaveValues() {
        PlanningStore f;
        f.Exec(QStringLiteral("update TBLTODO set BISTERMIN = '1999-12-31' where ID = 4"));
        f.dm->OpenDatabase();
        TIBDataSet &ds = *f.dm->IBDataSetToDo;
        ds.Close();
        ds.SelectSQL = QStringList{QStringLiteral("select * from tbltodo where id = 4")};
        ds.Open();
        QCOMPARE(ShownDueDate(ds.FieldByName(QStringLiteral("BISTERMIN")).Value()), QDate());
        ds.BeforePost = [&] { WriteToDo(ds, 2, {QString(), 100, true}); };
        ds.Edit();
        ds.Post();
        f.dm->IBTransaction.CommitRetaining();
        QCOMPARE(f.Committed(QStringLiteral("select BISTERMIN from TBLTODO where ID = 4")).toDate(), QDate(1999, 12, 31));
        QCOMPARE(f.Committed(QStringLiteral("select FORTSCHRITT || '/' || ERLEDIGT || '/' || PROJEKTID from TBLTODO where ID = 4")).toString(),
                 QStringLiteral("100/1/2"));

        ds.BeforePost = [&] { WriteToDo(ds, 2, {QStringLiteral("3.4.08"), 25, false}); };
        ds.Edit();
        ds.Post();
        f.dm->IBTransaction.CommitRetaining();
        QCOMPARE(f.Committed(QStringLiteral("select BISTERMIN from TBLTODO where ID = 4")).toDate(), QDate(2008, 4, 3));

        // A text that is no date: nothing set, the record stays in editing.
        ds.BeforePost = [&] { WriteToDo(ds, 1, {QStringLiteral("31.13.2008"), 50, false}); };
        ds.Edit();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.Post());
        QCOMPARE(ds.State(), TDataSetState::dsEdit);
        QCOMPARE(ds.FieldByName(QStringLiteral("PROJEKTID")).AsInteger(), 2);
        QCOMPARE(ds.FieldByName(QStringLiteral("FORTSCHRITT")).AsInteger(), 25);
        ds.Cancel();
        QCOMPARE(f.Committed(QStringLiteral("select FORTSCHRITT from TBLTODO where ID = 4")).toInt(), 25);
    }

    void theAppointmentBeforeSaveValues() {
        PlanningStore f;
        f.dm->OpenDatabase();
        TIBDataSet &ds = *f.dm->IBDataSetTermine;
        ds.Close();
        ds.SelectSQL = QStringList{QStringLiteral("select * from tbltermine where projektid = 1")};
        ds.Open();
        ds.BeforePost = [&] { WriteAppointment(ds, 1, QString()); };
        ds.Insert();
        ds.Post();
        f.dm->IBTransaction.CommitRetaining();
        const QString id = ds.FieldByName(QStringLiteral("ID")).AsString();
        QVERIFY(!id.isEmpty());
        QVERIFY(f.Committed(QStringLiteral("select TERMINDATUM from TBLTERMINE where ID = ") + id).isNull());
        QCOMPARE(f.Committed(QStringLiteral("select PROJEKTID from TBLTERMINE where ID = ") + id).toInt(), 1);
        ds.BeforePost = [&] { WriteAppointment(ds, 1, QStringLiteral("24.12.2026")); };
        ds.Edit();
        ds.Post();
        f.dm->IBTransaction.CommitRetaining();
        QCOMPARE(f.Committed(QStringLiteral("select TERMINDATUM from TBLTERMINE where ID = ") + id).toDate(), QDate(2026, 12, 24));
    }
};

QTEST_GUILESS_MAIN(TestPlanningRules)
#include "test_rules.moc"
