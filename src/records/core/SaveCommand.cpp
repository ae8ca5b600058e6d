#include "records/core/SaveCommand.h"

#include <optional>

#include "platform/core/Dialogs.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"

bool SaveAll(TDataModule1 &dm, TShell &shell, const TSaveSteps &steps) {
    std::optional<TWaitCursor> wait(std::in_place);
    try {
        if (IsEditing(dm.IBDataSetProjekt->State())) dm.IBDataSetProjekt->Post();
        if (IsEditing(dm.IBDataSetZugangsdaten->State())) {
            if (steps.EndAccessDataInput) steps.EndAccessDataInput();
            dm.IBDataSetZugangsdaten->Post();
        }
        if (IsEditing(dm.IBDataSetTelefon->State())) dm.IBDataSetTelefon->Post();
        if (IsEditing(dm.IBDataSetEmail->State())) dm.IBDataSetEmail->Post();
        if (IsEditing(dm.IBDataSetTermine->State())) {
            dm.IBDataSetTermine->Post();
            if (steps.LoadCalendarMarks) steps.LoadCalendarMarks();
        }
        if (IsEditing(dm.IBDataSetToDo->State())) {
            dm.IBDataSetToDo->Post();
            if (steps.LoadCalendarMarks) steps.LoadCalendarMarks();
        }
    } catch (const std::exception &e) {
        // The remaining steps are skipped; the end of the command still runs.
        wait.reset();
        bool pending = false;
        for (TIBDataSet *ds : dm.DataSets()) pending = pending || IsEditing(ds->State());
        shell.SetSaveEnabled(pending);
        shell.ShowError(e);
        return false;
    }
    wait.reset();
    shell.SetSaveEnabled(false);
    return true;
}
