#pragma once
// The project list: adding, renaming, cancelling and deleting projects, the
// save command shared by every tab, the project count that locks the detail
// tabs while no project exists, and the re-query of the five detail tabs
// whenever another project becomes current.

#include <QAction>
#include <QObject>
#include <functional>

#include "store/window/DataLinks.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"

// The main window's controls the project list switches.
struct TProjectControls {
    QAction *BtnInsert = nullptr;
    QAction *BtnSave = nullptr;
    QAction *BtnEdit = nullptr;
    QAction *BtnDelete = nullptr;
    TDBGridView *DBGridProjekte = nullptr;
    std::function<void(const QString &)> SetStatePanel;  // status panel 1
};

class TProjectList : public QObject {
    Q_OBJECT
public:
    TProjectList(TDataModule1 &dm, TShell &shell, TProjectControls controls, QObject *parent = nullptr);
    ~TProjectList() override;

    // Commands.
    void BtnInsertClick();
    void BtnEditClick();
    void BtnProjektAbbrechenClick();
    void BtnSaveClick();
    void BtnDeleteClick();
    void DBGridProjekteCellClick();

    // Hooks and handlers of the project dataset.
    void IBDataSetProjektAfterPost();
    void IBDataSetProjektAfterScroll();
    void DataSourceProjektStateChange();

    // Counts the projects, sets ProjekteVorhanden and runs the detail tabs'
    // state handlers so that they follow the flag.
    void CountProjekte();
    // Limits the five detail datasets to the current project.
    void FilterDetailsByProjekt();

    // Clears the picture of the access-data tab (set by that tab).
    std::function<void()> ClearScreenshot;
    // Ends input in the access-data fields before the save command posts an
    // access record (set by the access-data tab; runs the password box's
    // leave rule, whichever tab is shown).
    std::function<void()> EndAccessDataInput;
    // Opens the master password window (set by the start-up).
    std::function<void()> ShowMasterPasswordWindow;
    // Rebuilds the calendar's markers (set by the calendar).
    std::function<void()> LoadCalendarMarks;
    // The show handlers of the to-do and appointment tabs.
    std::function<void()> ToDoShow, TermineShow;

    // The per-project select statement of a detail table.
    static QStringList DetailSelect(const QString &table, const QString &projectId);
    // The current project's name in the program's upper case.
    QString ProjectNameUpper() const;

private:
    bool MasterPasswordExists() const;
    void StartTypingName();
    bool RequireMasterPassword();

    TDataModule1 &dm_;
    TShell &shell_;
    TProjectControls controls_;
};
