// The tabs "ToDo" and "Termine" and the calendar's markers, driven through
// the real window offscreen; stored values read on a connection of their own.

#include <QHeaderView>
#include <QMenu>
#include <QtTest>

#include "PlanningHost.h"
#include "planning/core/PlanningRules.h"
#include "platform/core/GermanFormat.h"
#include "store/window/Looks.h"

namespace {
QStringList Seed() {
    return {
        QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Büro')"),
        QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (2, 'Garten')"),
        QStringLiteral("insert into TBLTODO (ID, BESCHREIBUNG, FORTSCHRITT, ERLEDIGT, BISTERMIN, PROJEKTID) values (1, 'prüfen', 50, 0, '2007-11-14', 1)"),
        QStringLiteral("insert into TBLTODO (ID, BESCHREIBUNG, FORTSCHRITT, ERLEDIGT, BISTERMIN, PROJEKTID) values (2, 'fertig', 100, 1, '2007-11-20', 1)"),
        QStringLiteral("insert into TBLTODO (ID, BESCHREIBUNG, FORTSCHRITT, ERLEDIGT, BISTERMIN, PROJEKTID) values (3, 'alt', 75, 0, '1999-12-31', 1)"),
        QStringLiteral("insert into TBLTODO (ID, BESCHREIBUNG, FORTSCHRITT, ERLEDIGT, BISTERMIN, PROJEKTID) values (4, 'Beet', 0, 0, '2007-11-21', 2)"),
        QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, BESCHREIBUNG, PROJEKTID) values (1, '2007-11-14', 'Zahnarzt', 1)"),
        QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, BESCHREIBUNG, PROJEKTID) values (2, '2007-11-28', 'Steuer', 1)"),
        QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, BESCHREIBUNG, PROJEKTID) values (3, '2007-12-05', 'Markt', 2)"),
        QStringLiteral("set generator GEN_TBLTODO_ID to 4"),
        QStringLiteral("set generator GEN_TBLTERMINE_ID to 3"),
        QStringLiteral("set generator GEN_TBLPROJEKT_ID to 2"),
    };
}

QStringList ActionTexts(const QMenu *menu) {
    QStringList t;
    for (const QAction *a : menu->actions()) t << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return t;
}

// Row `row` of the to-do list, by its description.
int RowOf(TIBDataSet *ds, const QString &description) {
    for (int r = 0; r < ds->RecordCount(); ++r)
        if (ds->RowValue(r, ds->FieldIndex(QStringLiteral("BESCHREIBUNG"))).toString() == description) return r;
    return -1;
}

// The date-field texts of the to-do controls, slider position and box.
QString Shown(TToDoTab &t) {
    return t.PlannerDatePickerToDo->Text() + QLatin1Char('|') + QString::number(t.VrTrackBarToDo->value()) +
           QLatin1Char('|') + (t.ToDoErledigt->isChecked() ? QLatin1Char('x') : QLatin1Char('-'));
}
// What the to-do controls must show for the dataset's current row.
QString CurrentRow(TIBDataSet *ds) {
    const QDate d = planning::ShownDueDate(ds->FieldByName(QStringLiteral("BISTERMIN")).Value());
    return (d.isValid() ? de::DateText(d) : QString()) + QLatin1Char('|') +
           QString::number(ds->FieldByName(QStringLiteral("FORTSCHRITT")).AsInteger()) + QLatin1Char('|') +
           (ds->FieldByName(QStringLiteral("ERLEDIGT")).AsInteger() == 1 ? QLatin1Char('x') : QLatin1Char('-'));
}
}  // namespace

class TestPlanningTabs : public QObject {
    Q_OBJECT
private slots:
    void theControlsAndTheirTexts() {
        PlanningHost f(Seed());
        QVERIFY(f.Start());
        TToDoTab &t = *f.ToDo;
        QCOMPARE(t.BtnInsert->objectName(), QStringLiteral("BtnInsertToDo"));
        QCOMPARE(t.BtnInsert->toolTip(), QStringLiteral("ToDo-Eintrag hinzufügen"));
        QCOMPARE(t.BtnEdit->toolTip(), QStringLiteral("ToDo-Eintrag bearbeiten"));
        QCOMPARE(t.BtnAbbrechen->toolTip(), QStringLiteral("Bearbeitung/Erfassung abbrechen"));
        QCOMPARE(t.BtnDelete->toolTip(), QStringLiteral("ToDo-Eintrag löschen"));
        QCOMPARE(t.PlannerDatePickerToDo->toolTip(), QStringLiteral("Bis zu welchem Terrmin muss das ToDo-Item erledigt sein?"));
        QCOMPARE(t.VrTrackBarToDo->toolTip(), QStringLiteral("Fortschritt eingeben (0, 25, 50, 75 oder 100%)"));
        QCOMPARE(t.ToDoErledigt->text(), QStringLiteral("Erledigt"));
        QCOMPARE(t.ToDoErledigt->toolTip(), QStringLiteral("Ist das ToDo-Item erledigt (= 100% Fortschritt)?"));
        QCOMPARE(t.DBAdvEditToDoItem->toolTip(), QStringLiteral("Geben Sie eine Beschreibung für das ToDo-Item ein"));
        QCOMPARE(t.DBAdvEditToDoItem->maxLength(), 80);
        QVERIFY(!(t.VrTrackBarToDo->focusPolicy() & Qt::TabFocus));
        QCOMPARE(ActionTexts(f.Main().PopupMenuToDo),
                 (QStringList{"ToDo-Eintrag hinzufügen", "ToDo-Eintrag bearbeiten", "ToDo-Eintrag löschen", "Bearbeitung abbrechen"}));
        QCOMPARE(t.Grid->objectName(), QStringLiteral("DBAdvGridToDo"));
        QStringList headers;
        for (int c = 0; c < t.Grid->model()->columnCount(); ++c) headers << t.Grid->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"Beschreibung", "Erledigt", "Fortschritt", "Endtermin"}));

        TTermineTab &a = *f.Termine;
        QCOMPARE(a.BtnInsert->objectName(), QStringLiteral("BtnInsertTermine"));
        for (QAction *b : {a.BtnInsert, a.BtnEdit, a.BtnAbbrechen, a.BtnDelete}) QVERIFY2(b->toolTip().isEmpty(), qPrintable(b->toolTip()));
        QCOMPARE(a.PlannerDatePickerTermin->toolTip(), QStringLiteral("An welchem Datum ist dieser Termin?"));
        QCOMPARE(a.DBAdvEditTerminbeschreibung->toolTip(), QStringLiteral("Hier bittte die Beschreibung des Termins eintragen"));
        QCOMPARE(a.DBAdvEditTerminbeschreibung->maxLength(), 80);
        QCOMPARE(ActionTexts(f.Main().PopupMenuTermine),
                 (QStringList{"Termin hinzufügen", "Termin bearbeiten", "Termin löschen", "Bearbeitung abbrechen"}));
        QCOMPARE(ActionTexts(f.Main().PopupMenuKalender), (QStringList{"Legende:", "-", "Termin", "ToDo-Eintrag"}));
    }

    void columnWidthsFollowTheList() {
        PlanningHost f(Seed());
        QVERIFY(f.Start());
        f.Show(f.Main().AdvTabSheetToDo);
        f.ToDo->Grid->setFixedWidth(748);
        f.ToDo->AdvTabSheetToDoShow();
        QHeaderView *h = f.ToDo->Grid->horizontalHeader();
        // 66 for the date, or what a whole bold date needs in the desktop's
        // font, taken from "Fortschritt".
        const int date = qMax(66, f.ToDo->Grid->CellWidthFor(QStringLiteral("00.00.0000")));
        QFont bold = f.ToDo->Grid->font();
        bold.setBold(true);
        QVERIFY(date > QFontMetrics(bold).horizontalAdvance(QStringLiteral("17.12.2026")));
        QCOMPARE((QList<int>{h->sectionSize(0), h->sectionSize(1), h->sectionSize(2), h->sectionSize(3)}),
                 (QList<int>{374, 44, 260 - (date - 66), date}));
        f.Show(f.Main().AdvTabSheetTermine);
        f.Termine->Grid->setFixedWidth(748);
        f.Termine->AdvTabSheetTermineShow();
        h = f.Termine->Grid->horizontalHeader();
        QCOMPARE((QList<int>{h->sectionSize(0), h->sectionSize(1)}), (QList<int>{date, 744 - date}));
    }

    // The fill shows the stored values as they are, and follows every move of
    // the current row; old dates up to 1.1.2000 show empty.
    void theFillShowsTheCurrentRow() {
        PlanningHost f(Seed());
        QVERIFY(f.Start());
        f.Show(f.Main().AdvTabSheetToDo);
        TToDoTab &t = *f.ToDo;
        TIBDataSet *ds = f.Dm().IBDataSetToDo;
        RecordsFixture::ClickRow(t.Grid, RowOf(ds, QStringLiteral("fertig")));
        QCOMPARE(Shown(t), QStringLiteral("20.11.2007|100|x"));
        RecordsFixture::ClickRow(t.Grid, RowOf(ds, QStringLiteral("prüfen")));
        QCOMPARE(Shown(t), QStringLiteral("14.11.2007|50|-"));
        RecordsFixture::ClickRow(t.Grid, RowOf(ds, QStringLiteral("alt")));
        QCOMPARE(Shown(t), QStringLiteral("|75|-"));
        // Moving without a click (the program) refills too.
        ds->MoveTo(RowOf(ds, QStringLiteral("fertig")));
        QCOMPARE(Shown(t), QStringLiteral("20.11.2007|100|x"));
        // Another project: its rows, and an empty project empties the controls.
        RecordsFixture::ClickRow(f.Main().DBGridProjekte, 1);
        QCOMPARE(Shown(t), QStringLiteral("21.11.2007|0|-"));
        f.Exec(QStringLiteral("delete from TBLTODO where PROJEKTID = 2"));
        f.Projects().FilterDetailsByProjekt();
        QCOMPARE(Shown(t), QStringLiteral("|0|-"));
    }

    void sliderAndBoxKeepEachOtherInStep() {
        PlanningHost f(Seed());
        QVERIFY(f.Start());
        f.Show(f.Main().AdvTabSheetToDo);
        TToDoTab &t = *f.ToDo;
        TIBDataSet *ds = f.Dm().IBDataSetToDo;
        RecordsFixture::ClickRow(t.Grid, RowOf(ds, QStringLiteral("fertig")));
        RecordsFixture::Click(t.BtnEdit);
        t.VrTrackBarToDo->setFocus();
        QTest::keyClick(t.VrTrackBarToDo, Qt::Key_Left);  // one stop down
        QCOMPARE(Shown(t), QStringLiteral("20.11.2007|75|-"));
        QVERIFY(ds->Modified());
        QTest::keyClick(t.VrTrackBarToDo, Qt::Key_Right);
        QCOMPARE(Shown(t), QStringLiteral("20.11.2007|100|x"));
        QTest::mouseClick(t.ToDoErledigt, Qt::LeftButton);  // clearing the box: slider to 0
        QCOMPARE(Shown(t), QStringLiteral("20.11.2007|0|-"));
        QTest::mouseClick(t.ToDoErledigt, Qt::LeftButton);  // ticking it: 100
        QCOMPARE(Shown(t), QStringLiteral("20.11.2007|100|x"));
        // A drag lands on the nearest stop.
        t.VrTrackBarToDo->setSliderDown(true);
        t.VrTrackBarToDo->triggerAction(QAbstractSlider::SliderMove);
        t.VrTrackBarToDo->setSliderPosition(60);
        t.VrTrackBarToDo->triggerAction(QAbstractSlider::SliderMove);
        t.VrTrackBarToDo->setSliderDown(false);
        QCOMPARE(t.VrTrackBarToDo->value() % 25, 0);
        // Moving to another row writes the change: the slider counted as input.
        QTest::keyClick(t.VrTrackBarToDo, Qt::Key_End);
        QTest::keyClick(t.VrTrackBarToDo, Qt::Key_Left);
        RecordsFixture::ClickRow(t.Grid, RowOf(ds, QStringLiteral("prüfen")));
        QCOMPARE(f.Committed(QStringLiteral("select FORTSCHRITT || '/' || ERLEDIGT from TBLTODO where ID = 2")).toString(),
                 QStringLiteral("75/0"));
        // A box changed by the program (the fill) never moves the slider:
        // stored 50 with done 1 shows both as stored.
        f.Exec(QStringLiteral("update TBLTODO set ERLEDIGT = 1 where ID = 1"));
        f.Projects().FilterDetailsByProjekt();
        ds->MoveTo(RowOf(ds, QStringLiteral("prüfen")));
        QCOMPARE(Shown(t), QStringLiteral("14.11.2007|50|x"));
    }

    // The add posts a changed record first: with its own values, not with
    // the cleared controls of the new one.
    void addKeepsTheValuesOfTheRecordItPosts() {
        PlanningHost f(Seed());
        QVERIFY(f.Start());
        f.Show(f.Main().AdvTabSheetToDo);
        TToDoTab &t = *f.ToDo;
        TIBDataSet *ds = f.Dm().IBDataSetToDo;
        RecordsFixture::ClickRow(t.Grid, RowOf(ds, QStringLiteral("prüfen")));
        RecordsFixture::Click(t.BtnEdit);
        t.VrTrackBarToDo->setFocus();
        QTest::keyClick(t.VrTrackBarToDo, Qt::Key_Right);
        // Looking at another tab and back keeps what the user changed.
        f.Show(f.Main().AdvTabSheetTermine);
        f.Show(f.Main().AdvTabSheetToDo);
        QCOMPARE(Shown(t), QStringLiteral("14.11.2007|75|-"));
        RecordsFixture::Click(t.BtnInsert);
        QCOMPARE(ds->State(), TDataSetState::dsInsert);
        QCOMPARE(Shown(t), QStringLiteral("|0|-"));
        QCOMPARE(f.Committed(QStringLiteral("select FORTSCHRITT || '/' || ERLEDIGT || '/' || BISTERMIN from TBLTODO where ID = 1")).toString(),
                 QStringLiteral("75/0/2007-11-14"));
        // Cancelling the insert shows the row that is current again.
        RecordsFixture::Click(t.BtnAbbrechen);
        QCOMPARE(Shown(t), CurrentRow(ds));
    }

    // Leaving a date field that holds no date says so at once.
    void leavingANonDateIsRefused() {
        PlanningHost f(Seed());
        QVERIFY(f.Start());
        f.Show(f.Main().AdvTabSheetTermine);
        TTermineTab &a = *f.Termine;
        RecordsFixture::Click(a.BtnEdit);
        QLineEdit *e = a.PlannerDatePickerTermin->Edit();
        f.Main().activateWindow();
        e->setFocus();
        QTRY_VERIFY(e->hasFocus());
        e->selectAll();
        TypeText(e, QStringLiteral("morgen"));
        f.dialogs.Clear();
        a.DBAdvEditTerminbeschreibung->setFocus();
        QTRY_COMPARE(f.dialogs.Messages().size(), 1);
        QCOMPARE(f.dialogs.Messages().first().Text,
                 QStringLiteral("\"morgen\" ist kein gültiges Datum. Bitte als TT.MM.JJJJ eingeben oder das Feld leeren."));
        QCOMPARE(f.Dm().IBDataSetTermine->State(), TDataSetState::dsEdit);
        QCOMPARE(e->text(), QStringLiteral("morgen"));  // kept for correcting
    }

    // In Browse the controls are locked; the to-do tab enables the save
    // button in Browse, the appointment tab leaves it.
    void enablingOfBothTabs() {
        PlanningHost f(Seed());
        QVERIFY(f.Start());
        TToDoTab &t = *f.ToDo;
        TTermineTab &a = *f.Termine;
        QVERIFY(!IsOpenLook(t.DBAdvEditToDoItem) && !IsOpenLook(t.PlannerDatePickerToDo->Edit()));
        QVERIFY(!t.VrTrackBarToDo->isEnabled() && !t.ToDoErledigt->isEnabled() && !t.PlannerDatePickerToDo->DropButton()->isEnabled());
        f.Main().SetSaveEnabled(false);
        f.Dm().DataSourceTermine->NotifyStateChange();
        QVERIFY(!f.Main().BtnSave->isEnabled());
        f.Dm().DataSourceToDo->NotifyStateChange();
        QVERIFY(f.Main().BtnSave->isEnabled());
        RecordsFixture::Click(a.BtnEdit);
        QVERIFY(IsOpenLook(a.DBAdvEditTerminbeschreibung) && IsOpenLook(a.PlannerDatePickerTermin->Edit()));
        QVERIFY(a.BtnInsert->isEnabled() && !a.BtnEdit->isEnabled() && a.BtnDelete->isEnabled());
        RecordsFixture::Click(t.BtnInsert);
        QVERIFY(t.VrTrackBarToDo->isEnabled() && t.ToDoErledigt->isEnabled() && IsOpenLook(t.DBAdvEditToDoItem));
        QVERIFY(t.BtnInsert->isEnabled() && t.BtnEdit->isEnabled() && !t.BtnDelete->isEnabled());
    }

    void withoutAProjectEverythingIsLocked() {
        PlanningHost f;
        QVERIFY(f.Start());
        for (TDetailTab *tab : {static_cast<TDetailTab *>(f.ToDo), static_cast<TDetailTab *>(f.Termine)})
            QVERIFY(!tab->BtnInsert->isEnabled() && !tab->BtnEdit->isEnabled() && !tab->BtnDelete->isEnabled());
        QVERIFY(!f.ToDo->VrTrackBarToDo->isEnabled() && !f.ToDo->ToDoErledigt->isEnabled());
        QVERIFY(!IsOpenLook(f.ToDo->PlannerDatePickerToDo->Edit()) && !IsOpenLook(f.Termine->PlannerDatePickerTermin->Edit()));
        // Whatever the state: even an insert forced on the dataset stays locked.
        f.Dm().IBDataSetToDo->Insert();
        QVERIFY(!f.ToDo->VrTrackBarToDo->isEnabled() && !IsOpenLook(f.ToDo->DBAdvEditToDoItem));
        f.Dm().IBDataSetToDo->Cancel();
    }

    // A due date up to 1.1.2000 shows empty and survives a save; a new row
    // without a date stays without and is never marked.
    void oldAndMissingDatesSurviveASave() {
        PlanningHost f(Seed());
        QVERIFY(f.Start());
        f.Show(f.Main().AdvTabSheetToDo);
        TToDoTab &t = *f.ToDo;
        TIBDataSet *ds = f.Dm().IBDataSetToDo;
        RecordsFixture::ClickRow(t.Grid, RowOf(ds, QStringLiteral("alt")));
        RecordsFixture::Click(t.BtnEdit);
        t.DBAdvEditToDoItem->selectAll();
        TypeText(t.DBAdvEditToDoItem, QStringLiteral("älter"));
        f.Save();
        QCOMPARE(f.Committed(QStringLiteral("select BESCHREIBUNG || ' ' || BISTERMIN from TBLTODO where ID = 3")).toString(),
                 QStringLiteral("älter 1999-12-31"));
        QVERIFY(f.WaitForLog(QStringLiteral(": ToDodaten zu Projekt BüRO wurden gesichert\r\n")));

        f.Calendar().SetSelectedDate(QDate(2007, 11, 1));
        const int before = f.Calendar().MarkerCount();
        RecordsFixture::Click(t.BtnInsert);
        QCOMPARE(Shown(t), QStringLiteral("|0|-"));
        TypeText(t.DBAdvEditToDoItem, QStringLiteral("ohne Datum"));
        f.Save();
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLTODO where BESCHREIBUNG = 'ohne Datum' and BISTERMIN is null and PROJEKTID = 1 and FORTSCHRITT = 0 and ERLEDIGT = 0")).toInt(), 1);
        QCOMPARE(f.Calendar().MarkerCount(), before);
        QVERIFY(t.PlannerDatePickerToDo->Text().isEmpty());
        const int row = RowOf(ds, QStringLiteral("ohne Datum"));
        QCOMPARE(t.Grid->model()->index(row, 3).data().toString(), QString());

        // Appointments: a date emptied by hand leaves the stored one.
        f.Show(f.Main().AdvTabSheetTermine);
        TTermineTab &a = *f.Termine;
        TIBDataSet *dt = f.Dm().IBDataSetTermine;
        dt->MoveTo(RowOf(dt, QStringLiteral("Zahnarzt")));
        RecordsFixture::Click(a.BtnEdit);
        a.PlannerDatePickerTermin->Edit()->setFocus();
        a.PlannerDatePickerTermin->Edit()->selectAll();
        QTest::keyClick(a.PlannerDatePickerTermin->Edit(), Qt::Key_Delete);
        QVERIFY(a.PlannerDatePickerTermin->Text().isEmpty());
        f.Save();
        QCOMPARE(f.Committed(QStringLiteral("select TERMINDATUM from TBLTERMINE where ID = 1")).toDate(), QDate(2007, 11, 14));
        QCOMPARE(a.PlannerDatePickerTermin->Text(), QStringLiteral("14.11.2007"));
    }

    // Typed dates in both forms; a text that is no date is refused, the
    // record stays in editing and nothing is written.
    void typedAndPickedDates() {
        PlanningHost f(Seed());
        QVERIFY(f.Start());
        f.Show(f.Main().AdvTabSheetTermine);
        TTermineTab &a = *f.Termine;
        TIBDataSet *dt = f.Dm().IBDataSetTermine;
        dt->MoveTo(RowOf(dt, QStringLiteral("Steuer")));
        RecordsFixture::Click(a.BtnEdit);
        QLineEdit *e = a.PlannerDatePickerTermin->Edit();
        e->setFocus();
        e->selectAll();
        TypeText(e, QStringLiteral("31.11.07"));
        f.dialogs.Clear();
        f.Save();
        QCOMPARE(dt->State(), TDataSetState::dsEdit);
        QCOMPARE(f.dialogs.Messages().size(), 1);
        QCOMPARE(f.dialogs.Messages().first().Text,
                 QStringLiteral("\"31.11.07\" ist kein gültiges Datum. Bitte als TT.MM.JJJJ eingeben oder das Feld leeren."));
        QCOMPARE(f.dialogs.Messages().first().Icon, TMsgIcon::Error);
        QVERIFY(f.Main().BtnSave->isEnabled());
        QCOMPARE(f.Committed(QStringLiteral("select TERMINDATUM from TBLTERMINE where ID = 2")).toDate(), QDate(2007, 11, 28));

        e->selectAll();
        TypeText(e, QStringLiteral("3.12.07"));
        f.Save();
        QCOMPARE(dt->State(), TDataSetState::dsBrowse);
        QCOMPARE(f.Committed(QStringLiteral("select TERMINDATUM from TBLTERMINE where ID = 2")).toDate(), QDate(2007, 12, 3));
        QCOMPARE(e->text(), QStringLiteral("03.12.2007"));

        // The drop-down calendar: picking a day fills the field and closes it.
        RecordsFixture::Click(a.BtnEdit);
        QTest::mouseClick(a.PlannerDatePickerTermin->DropButton(), Qt::LeftButton);
        TPlannerCalendar *drop = a.PlannerDatePickerTermin->DropDown();
        QVERIFY(drop);
        QCOMPARE(drop->SelectedDate(), QDate(2007, 12, 3));
        QTest::mouseClick(drop, Qt::LeftButton, {}, drop->DayRect(QDate(2007, 12, 24)).center());
        QTRY_VERIFY(!a.PlannerDatePickerTermin->DropDown());
        QCOMPARE(e->text(), QStringLiteral("24.12.2007"));
        // By keyboard: F4 drops it down, Escape leaves the field alone, Enter takes the day.
        QTest::keyClick(e, Qt::Key_F4);
        QVERIFY(a.PlannerDatePickerTermin->DropDown());
        QTest::keyClick(a.PlannerDatePickerTermin->DropDown(), Qt::Key_Escape);
        QTRY_VERIFY(!a.PlannerDatePickerTermin->DropDown());
        QCOMPARE(e->text(), QStringLiteral("24.12.2007"));
        QTest::keyClick(e, Qt::Key_F4);
        QTest::keyClick(a.PlannerDatePickerTermin->DropDown(), Qt::Key_Right);
        QTest::keyClick(a.PlannerDatePickerTermin->DropDown(), Qt::Key_Return);
        QTRY_VERIFY(!a.PlannerDatePickerTermin->DropDown());
        QCOMPARE(e->text(), QStringLiteral("25.12.2007"));
        f.Save();
        QCOMPARE(f.Committed(QStringLiteral("select TERMINDATUM from TBLTERMINE where ID = 2")).toDate(), QDate(2007, 12, 25));
        // Locked in Browse: the button does not drop the calendar down.
        QTest::mouseClick(a.PlannerDatePickerTermin->DropButton(), Qt::LeftButton);
        QVERIFY(!a.PlannerDatePickerTermin->DropDown());
    }

    void deletesAskNameAndRebuildTheMarkers() {
        PlanningHost f(Seed());
        QVERIFY(f.Start());
        f.Show(f.Main().AdvTabSheetToDo);
        f.Calendar().SetSelectedDate(QDate(2007, 11, 1));
        TToDoTab &t = *f.ToDo;
        TIBDataSet *ds = f.Dm().IBDataSetToDo;
        ds->MoveTo(RowOf(ds, QStringLiteral("prüfen")));
        f.dialogs.AnswerMessage(mbNo);
        RecordsFixture::Click(t.BtnDelete);
        QCOMPARE(f.dialogs.Messages().last().Text, QStringLiteral("Soll das ToDo-Item PRüFEN gelöscht werden?"));
        QCOMPARE(f.dialogs.Messages().last().Icon, TMsgIcon::Question);
        QCOMPARE(f.Main().CurrentStatusMessage(), QStringLiteral("Löschaktion wurde abgebrochen"));

        // The appointment on the same day hides the to-do's circle: delete it first.
        f.Show(f.Main().AdvTabSheetTermine);
        TIBDataSet *dt = f.Dm().IBDataSetTermine;
        dt->MoveTo(RowOf(dt, QStringLiteral("Zahnarzt")));
        QCOMPARE(f.Calendar().MarkerOn(QDate(2007, 11, 14))->shape, TPlannerCalendar::Shape::Square);
        f.dialogs.AnswerMessage(mbYes);
        RecordsFixture::Click(f.Termine->BtnDelete);
        QCOMPARE(f.dialogs.Messages().last().Text, QStringLiteral("Soll der Termin ZAHNARZT gelöscht werden?"));
        QCOMPARE(f.Main().CurrentStatusMessage(), QStringLiteral("Termin ZAHNARZT wurde gelöscht"));
        QVERIFY(f.WaitForLog(QStringLiteral(": Termin ZAHNARZT wurde gelöscht\r\n")));
        QCOMPARE(f.Calendar().MarkerOn(QDate(2007, 11, 14))->shape, TPlannerCalendar::Shape::Circle);
        QCOMPARE(f.Calendar().HintAt(QDate(2007, 11, 14)), QStringLiteral("ToDo: Büro: prüfen"));
        QVERIFY(f.Committed(QStringLiteral("select ID from TBLTERMINE where ID = 1")).isNull());
        // The date field shows the row that is current now.
        QCOMPARE(f.Termine->PlannerDatePickerTermin->Text(), de::DateText(dt->FieldByName(QStringLiteral("TERMINDATUM")).AsDateTime().date()));

        f.Show(f.Main().AdvTabSheetToDo);
        ds->MoveTo(RowOf(ds, QStringLiteral("prüfen")));
        f.dialogs.AnswerMessage(mbYes);
        RecordsFixture::Click(t.BtnDelete);
        QCOMPARE(f.Main().CurrentStatusMessage(), QStringLiteral("ToDo-Item PRüFEN wurde gelöscht"));
        QVERIFY(f.WaitForLog(QStringLiteral(": ToDo-Item PRüFEN wurde gelöscht\r\n")));
        QVERIFY(!f.Calendar().MarkerOn(QDate(2007, 11, 14)));

        // A row without a description: nothing to delete.
        f.Exec(QStringLiteral("update TBLTODO set BESCHREIBUNG = NULL"));
        f.Projects().FilterDetailsByProjekt();
        f.dialogs.Clear();
        RecordsFixture::Click(t.BtnDelete);
        QCOMPARE(f.dialogs.Messages().size(), 0);
        QCOMPARE(f.Main().CurrentStatusMessage(), QStringLiteral("Kein ToDo-Item zum Löschen vorhanden"));
        f.Show(f.Main().AdvTabSheetTermine);
        f.Exec(QStringLiteral("delete from TBLTERMINE"));
        f.Projects().FilterDetailsByProjekt();
        RecordsFixture::Click(f.Termine->BtnDelete);
        QCOMPARE(f.Main().CurrentStatusMessage(), QStringLiteral("Kein Termin zum Löschen vorhanden"));
    }

    // The markers: all projects, appointments win their day, done to-dos
    // never; paging and the today line rebuild them; a save rebuilds them.
    void theCalendarMarkers() {
        PlanningHost f(Seed());
        QVERIFY(f.Start());
        TPlannerCalendar &c = f.Calendar();
        c.SetSelectedDate(QDate(2007, 11, 1));
        using Shape = TPlannerCalendar::Shape;
        QCOMPARE(c.MarkerOn(QDate(2007, 11, 14))->shape, Shape::Square);
        QCOMPARE(c.HintAt(QDate(2007, 11, 14)), QStringLiteral("TERMIN: Büro: Zahnarzt"));
        QCOMPARE(c.MarkerOn(QDate(2007, 11, 14))->color, QColor(Qt::red));
        QCOMPARE(c.HintAt(QDate(2007, 11, 21)), QStringLiteral("ToDo: Garten: Beet"));  // another project
        QCOMPARE(c.MarkerOn(QDate(2007, 11, 21))->shape, Shape::Circle);
        QVERIFY(!c.MarkerOn(QDate(2007, 11, 20)));  // done
        QVERIFY(!c.MarkerOn(QDate(1999, 12, 31)));

        c.SetSelectedDate(QDate(2007, 12, 1));  // paging
        QCOMPARE(c.HintAt(QDate(2007, 12, 5)), QStringLiteral("TERMIN: Garten: Markt"));
        QVERIFY(!c.MarkerOn(QDate(2007, 11, 14)));
        c.SetToday(QDate(2007, 11, 9));
        QTest::mouseClick(&c, Qt::LeftButton, {}, c.ButtonRect(TPlannerCalendar::Button::TodayLine).center());
        QCOMPARE(c.ShownMonth(), 11);
        QVERIFY(c.MarkerOn(QDate(2007, 11, 14)));

        // Ticking a to-do done takes its circle away at the save.
        f.Show(f.Main().AdvTabSheetToDo);
        RecordsFixture::ClickRow(f.Main().DBGridProjekte, 1);
        RecordsFixture::Click(f.ToDo->BtnEdit);
        QTest::mouseClick(f.ToDo->ToDoErledigt, Qt::LeftButton);
        QVERIFY(c.MarkerOn(QDate(2007, 11, 21)));
        f.Save();
        QVERIFY(!c.MarkerOn(QDate(2007, 11, 21)));
        QCOMPARE(f.Committed(QStringLiteral("select FORTSCHRITT || '/' || ERLEDIGT from TBLTODO where ID = 4")).toString(),
                 QStringLiteral("100/1"));

        // A new appointment saved shows up at once.
        f.Show(f.Main().AdvTabSheetTermine);
        RecordsFixture::Click(f.Termine->BtnInsert);
        QVERIFY(f.Termine->PlannerDatePickerTermin->Text().isEmpty());
        QLineEdit *e = f.Termine->PlannerDatePickerTermin->Edit();
        e->setFocus();
        TypeText(e, QStringLiteral("30.11.2007"));
        TypeText(f.Termine->DBAdvEditTerminbeschreibung, QStringLiteral("Ernte"));
        f.Save();
        QCOMPARE(c.HintAt(QDate(2007, 11, 30)), QStringLiteral("TERMIN: Garten: Ernte"));
        QVERIFY(f.WaitForLog(QStringLiteral(": Termindaten zu Projekt GARTEN wurden gesichert\r\n")));
    }
};

QTEST_MAIN(TestPlanningTabs)
#include "test_tabs.moc"
