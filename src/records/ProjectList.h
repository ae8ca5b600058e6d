#pragma once
// The project list: the project count that locks the detail tabs while no
// project exists, and the re-query of the five detail tabs whenever another
// project becomes current.

#include <QObject>
#include <functional>

#include "store/DataModule.h"
#include "store/Shell.h"

class TProjectList : public QObject {
    Q_OBJECT
public:
    TProjectList(TDataModule1 &dm, TShell &shell, QObject *parent = nullptr);
    ~TProjectList() override;

    // Counts the projects, sets ProjekteVorhanden and runs the detail tabs'
    // state handlers so that they follow the flag.
    void CountProjekte();
    // Limits the five detail datasets to the current project.
    void FilterDetailsByProjekt();
    void IBDataSetProjektAfterScroll();

    // Clears the picture of the access-data tab (set by that tab).
    std::function<void()> ClearScreenshot;
    // Ends input in the access-data fields before the save command posts an
    // access record (set by the access-data tab; runs the password box's
    // leave rule, whichever tab is shown).
    std::function<void()> EndAccessDataInput;
    // Opens the master password window (set by the start-up).
    std::function<void()> ShowMasterPasswordWindow;

    // The per-project select statement of a detail table.
    static QStringList DetailSelect(const QString &table, const QString &projectId);

private:
    TDataModule1 &dm_;
    TShell &shell_;
};
