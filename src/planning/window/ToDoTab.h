#pragma once
// The tab "ToDo": the current project's to-do items with description, due
// date, progress in stops of 25 % and the done flag. Date, progress and
// done are unbound controls, filled from the current row and written back
// by the before-save hook.

#include <QCheckBox>
#include <QSlider>

#include "planning/window/PlannerDatePicker.h"
#include "records/window/DetailTab.h"

class TToDoTab : public TDetailTab {
    Q_OBJECT
public:
    TToDoTab(QWidget *page, QMenu *popup, TDataModule1 &dm, TShell &shell, TProjectList &projects);
    ~TToDoTab() override;

    void BtnInsertToDoClick();
    void BtnEditToDoClick() { EditRecord(); }
    void BtnToDoAbbrechenClick() { CancelRecord(); }
    void BtnDeleteToDoClick();
    void AdvTabSheetToDoShow();
    void DBAdvGridToDoClick() { AdvTabSheetToDoShow(); }
    void VrTrackBarToDoChange();
    void ToDoErledigtClick();
    void IBDataSetToDoBeforePost();
    void IBDataSetToDoAfterPost() { AfterSave(QStringLiteral("ToDodaten")); }
    void DataSourceToDoStateChange();

    // Rebuilds the calendar's markers (set by the host).
    std::function<void()> LoadCalendarMarks;

    QLineEdit *DBAdvEditToDoItem = nullptr;
    TPlannerDatePicker *PlannerDatePickerToDo = nullptr;
    QSlider *VrTrackBarToDo = nullptr;
    QCheckBox *ToDoErledigt = nullptr;

private:
    // The fill without the column widths: the controls show the current row.
    void FillControls();
    TDBSliderLink *sliderLink_ = nullptr;
    TDBCheckBoxLink *boxLink_ = nullptr;
};
