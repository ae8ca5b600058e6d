#include "records/window/ProjectList.h"

#include "records/core/DetailKinds.h"
#include "records/core/ProjectRules.h"
#include "records/core/SaveCommand.h"

#include <QApplication>
#include <optional>

#include "platform/core/Dialogs.h"
#include "platform/core/GermanFormat.h"
#include "store/window/Looks.h"
#include "store/core/Workflow.h"

TProjectList::TProjectList(TDataModule1 &dm, TShell &shell, TProjectControls controls, QObject *parent)
    : QObject(parent), dm_(dm), shell_(shell), controls_(std::move(controls)) {
    dm_.IBDataSetProjekt->AfterScroll = [this] { IBDataSetProjektAfterScroll(); };
    dm_.IBDataSetProjekt->AfterPost = [this] { IBDataSetProjektAfterPost(); };
    connect(dm_.DataSourceProjekt, &TDataSource::StateChange, this, &TProjectList::DataSourceProjektStateChange);
    if (controls_.DBGridProjekte) {
        TDBGridView *grid = controls_.DBGridProjekte;
        grid->SetEditorMaxLength(100);
        connect(grid, &TDBGridView::CellClicked, this, [this] { DBGridProjekteCellClick(); });
        connect(grid, &TDBGridView::EditorAccepted, this, [this] { BtnSaveClick(); });
        connect(grid, &TDBGridView::EditorCancelled, this, [this] { BtnProjektAbbrechenClick(); });
    }
}

TProjectList::~TProjectList() {
    dm_.IBDataSetProjekt->AfterScroll = nullptr;
    dm_.IBDataSetProjekt->AfterPost = nullptr;
}

QStringList TProjectList::DetailSelect(const QString &table, const QString &projectId) {
    return ::DetailSelect(table, projectId);
}

QString TProjectList::ProjectNameUpper() const { return projects::NameUpper(dm_); }

// --- the master password test of add and rename -------------------------------

bool TProjectList::MasterPasswordExists() const {
    TIBDataSet *g = dm_.IBDataSetAllgemein;
    const int f = g->FieldIndex(QStringLiteral("MASTERKENNWORT"));
    return g->Active() && f >= 0 && !g->IsEmpty() && !g->CurrentValue(f).toString().isEmpty();
}

bool TProjectList::RequireMasterPassword() {
    if (MasterPasswordExists()) return true;
    TDialogs::Current().MessageBox(QStringLiteral("Ein Masterkennwort muss zu Beginn eingegeben werden"),
                                   QStringLiteral("Hinweis"), TMsgIcon::None, mbOK);
    if (ShowMasterPasswordWindow) ShowMasterPasswordWindow();
    return false;
}

void TProjectList::BtnInsertClick() {
    try {
        if (!RequireMasterPassword()) return;
        dm_.IBDataSetProjekt->Insert();
        StartTypingName();
    } catch (const std::exception &e) {
        shell_.ShowError(e);
    }
}

void TProjectList::BtnEditClick() {
    try {
        if (!RequireMasterPassword()) return;
        dm_.IBDataSetProjekt->Edit();
        StartTypingName();
    } catch (const std::exception &e) {
        shell_.ShowError(e);
    }
}

void TProjectList::StartTypingName() {
    // The name is typed into the list itself: put the cursor there at once.
    TDBGridView *grid = controls_.DBGridProjekte;
    if (!grid || !IsEditing(dm_.IBDataSetProjekt->State()) || !grid->isVisible()) return;
    grid->setFocus(Qt::OtherFocusReason);
    const QModelIndex cell = grid->model()->index(dm_.IBDataSetProjekt->RecNo(), 0);
    if (cell.isValid()) grid->edit(cell);
}

void TProjectList::BtnProjektAbbrechenClick() {
    try {
        dm_.IBDataSetProjekt->Cancel();
    } catch (const std::exception &e) {
        shell_.ShowError(e);
    }
}

// --- the save command -----------------------------------------------------------

void TProjectList::BtnSaveClick() { SaveAll(dm_, shell_, {EndAccessDataInput, LoadCalendarMarks}); }

void TProjectList::IBDataSetProjektAfterPost() { projects::AfterPost(dm_, shell_); }

// --- delete ---------------------------------------------------------------------

void TProjectList::BtnDeleteClick() {
    try {
        const TDeleteTexts texts{QStringLiteral("Kein Projekt zum Löschen vorhanden"),
                                 QStringLiteral("Soll das gesamte Projekt "),
                                 QStringLiteral("Projekt "),
                                 QStringLiteral(" wurde gelöscht"),
                                 QStringLiteral("komplettes Projekt "),
                                 QStringLiteral(" wurde gelöscht (mit Löschweitergabe an Detaildatensätze)")};
        if (!DeleteCurrentRecord(*dm_.IBDataSetProjekt, dm_.IBTransaction, QStringLiteral("PROJEKTNAME"), texts, shell_,
                                 [this] { CountProjekte(); }))
            return;
        // Let the status bar and the grid repaint; the user's input waits.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (dm_.IBDataSetProjekt->IsEmpty()) dm_.OpenDatabase();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } catch (const std::exception &e) {
        shell_.ShowError(e);
    }
}

// --- the current project ----------------------------------------------------------

void TProjectList::IBDataSetProjektAfterScroll() { FilterDetailsByProjekt(); }

void TProjectList::DBGridProjekteCellClick() {
    if (ToDoShow) ToDoShow();
    if (TermineShow) TermineShow();
}

void TProjectList::CountProjekte() { projects::CountProjekte(dm_); }

void TProjectList::FilterDetailsByProjekt() {
    if (dm_.IBDataSetProjekt->FieldByName(QStringLiteral("ID")).AsString().isEmpty()) return;
    if (ClearScreenshot) ClearScreenshot();
    ::FilterDetailsByProjekt(dm_);
}

// --- enabling ---------------------------------------------------------------------

void TProjectList::DataSourceProjektStateChange() {
    const TDataSetState state = dm_.IBDataSetProjekt->State();
    if (state == TDataSetState::dsInactive) return;
    const bool browse = state == TDataSetState::dsBrowse;
    const bool insert = state == TDataSetState::dsInsert;
    if (controls_.SetStatePanel) controls_.SetStatePanel(StateName(state));
    if (controls_.DBGridProjekte) SetLook(controls_.DBGridProjekte, !browse);
    if (controls_.BtnInsert) controls_.BtnInsert->setEnabled(browse);
    if (controls_.BtnSave) controls_.BtnSave->setEnabled(true);
    if (controls_.BtnEdit) controls_.BtnEdit->setEnabled(browse);
    if (controls_.BtnDelete) controls_.BtnDelete->setEnabled(!insert);
}
