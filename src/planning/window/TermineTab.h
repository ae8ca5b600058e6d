#pragma once
// The tab "Termine": the current project's appointments, a date and a
// description each. The date is an unbound field, filled from the current
// row and written back by the before-save hook.

#include "planning/window/PlannerDatePicker.h"
#include "records/window/DetailTab.h"

class TTermineTab : public TDetailTab {
    Q_OBJECT
public:
    TTermineTab(QWidget *page, QMenu *popup, TDataModule1 &dm, TShell &shell, TProjectList &projects);
    ~TTermineTab() override;

    void BtnInsertTermineClick();
    void BtnEditTermineClick() { EditRecord(); }
    void BtnTermineAbbrechenClick() { CancelRecord(); }
    void BtnDeleteTermineClick();
    void AdvTabSheetTermineShow();
    void DBAdvGridTermineClick() { AdvTabSheetTermineShow(); }
    void IBDataSetTermineBeforePost();
    void IBDataSetTermineAfterPost() { AfterSave(QStringLiteral("Termindaten")); }
    void DataSourceTermineStateChange();

    // Rebuilds the calendar's markers (set by the host).
    std::function<void()> LoadCalendarMarks;

    TPlannerDatePicker *PlannerDatePickerTermin = nullptr;
    QLineEdit *DBAdvEditTerminbeschreibung = nullptr;

private:
    void FillControls();
};
