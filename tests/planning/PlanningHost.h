#pragma once
// The started program with the to-do and appointment tabs and the calendar's
// markers on the main window's pages: the main window's own when it builds
// them, otherwise built here and wired as it wires its other tabs.

#include "planning/window/CalendarMarksView.h"
#include "planning/window/PlannerCalendar.h"
#include "planning/window/TermineTab.h"
#include "planning/window/ToDoTab.h"
#include "records/RecordsFixture.h"

struct PlanningHost : RecordsFixture {
    explicit PlanningHost(const QStringList &seed = {}) : RecordsFixture(seed) {}

    bool Start() {
        if (!RecordsFixture::Start()) return false;
        TfrmMain &w = Main();
        // Once the main window builds these itself, they are used as they are.
        Marks = w.findChild<TCalendarMarksView *>();
        ToDo = w.AdvTabSheetToDo->findChild<TToDoTab *>(QString(), Qt::FindDirectChildrenOnly);
        Termine = w.AdvTabSheetTermine->findChild<TTermineTab *>(QString(), Qt::FindDirectChildrenOnly);
        if (Marks && ToDo && Termine) return true;
        Marks = new TCalendarMarksView(w.PlannerCalendar, Dm(), &w);
        TCalendarMarksView::BuildLegend(w.PopupMenuKalender);
        w.LoadCalendarMarks = [this] { Marks->LoadCalendarMarks(); };
        ToDo = new TToDoTab(w.AdvTabSheetToDo, w.PopupMenuToDo, Dm(), w, Projects());
        Termine = new TTermineTab(w.AdvTabSheetTermine, w.PopupMenuTermine, Dm(), w, Projects());
        ToDo->LoadCalendarMarks = w.LoadCalendarMarks;
        Termine->LoadCalendarMarks = w.LoadCalendarMarks;
        Projects().ToDoShow = [this] { ToDo->AdvTabSheetToDoShow(); };
        Projects().TermineShow = [this] { Termine->AdvTabSheetTermineShow(); };
        w.LoadCalendarMarks();
        return true;
    }

    void Show(QWidget *page) {
        Main().AdvPageControl->setCurrentWidget(page);
        QApplication::processEvents();
        if (page == Main().AdvTabSheetToDo) ToDo->AdvTabSheetToDoShow();
        if (page == Main().AdvTabSheetTermine) Termine->AdvTabSheetTermineShow();
    }
    TPlannerCalendar &Calendar() { return *Main().PlannerCalendar; }
    void Save() { Click(Main().BtnSave); }
    // A statement in the program's own transaction, committed.
    void Exec(const QString &sql) {
        TSqlStatement s(Dm().IBTransaction, sql);
        s.Execute();
        Dm().IBTransaction.CommitRetaining();
    }

    TCalendarMarksView *Marks = nullptr;
    TToDoTab *ToDo = nullptr;
    TTermineTab *Termine = nullptr;
};
