#include "planning/window/TermineTab.h"

#include <QGridLayout>
#include <QHeaderView>

#include "planning/core/PlanningRules.h"
#include "platform/window/TextEntry.h"
#include "store/window/Looks.h"

TTermineTab::TTermineTab(QWidget *page, QMenu *popup, TDataModule1 &dm, TShell &shell, TProjectList &projects)
    : TDetailTab(page, popup, dm, shell, projects, dm.IBDataSetTermine, dm.DataSourceTermine) {
    // The tool buttons carry no hints.
    BuildFrame("ToolBarTermine",
               {{{"BtnInsertTermine", QString()},
                 {"BtnEditTermine", QString()},
                 {"BtnTermineAbbrechen", QString()},
                 {"BtnDeleteTermine", QString()}}},
               "PanelTermine", "DBAdvGridTermine",
               {{QStringLiteral("TERMINDATUM"), QStringLiteral("Termin")},
                {QStringLiteral("BESCHREIBUNG"), QStringLiteral("Beschreibung")}});
    auto *grid = new QGridLayout(EntryPanel);
    auto *dateLabel = new QLabel(QStringLiteral("Termin"), EntryPanel);
    PlannerDatePickerTermin = new TPlannerDatePicker(source_, EntryPanel);
    PlannerDatePickerTermin->setObjectName(QStringLiteral("PlannerDatePickerTermin"));
    const QString dateHint = QStringLiteral("An welchem Datum ist dieser Termin?");
    PlannerDatePickerTermin->setToolTip(dateHint);
    PlannerDatePickerTermin->Edit()->setToolTip(dateHint);
    PlannerDatePickerTermin->setFixedWidth(110);
    dateLabel->setBuddy(PlannerDatePickerTermin);
    auto *descriptionLabel = new QLabel(QStringLiteral("Beschreibung Termin"), EntryPanel);
    DBAdvEditTerminbeschreibung = AddField(EntryPanel, "DBAdvEditTerminbeschreibung", QStringLiteral("BESCHREIBUNG"), 521,
                                           QStringLiteral("Hier bittte die Beschreibung des Termins eintragen"));
    DBAdvEditTerminbeschreibung->setMaxLength(80);
    descriptionLabel->setBuddy(DBAdvEditTerminbeschreibung);
    grid->addWidget(dateLabel, 0, 0);
    grid->addWidget(PlannerDatePickerTermin, 1, 0);
    grid->addWidget(descriptionLabel, 0, 1);
    grid->addWidget(DBAdvEditTerminbeschreibung, 1, 1);
    grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding), 1, 2);
    grid->setColumnStretch(1, 521);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(2, 1);
    QWidget::setTabOrder(PlannerDatePickerTermin->Edit(), DBAdvEditTerminbeschreibung);

    AddPopupEntries({QStringLiteral("Termin hinzufügen"), QStringLiteral("Termin bearbeiten"),
                     QStringLiteral("Termin löschen"), QStringLiteral("Bearbeitung abbrechen")},
                    [this] { BtnDeleteTermineClick(); });
    disconnect(BtnInsert, &QAction::triggered, this, &TDetailTab::Add);
    connect(BtnInsert, &QAction::triggered, this, &TTermineTab::BtnInsertTermineClick);
    connect(BtnDelete, &QAction::triggered, this, &TTermineTab::BtnDeleteTermineClick);
    connect(Grid, &TDBGridView::CellClicked, this, &TTermineTab::DBAdvGridTermineClick);
    connect(source_, &TDataSource::StateChange, this, &TTermineTab::DataSourceTermineStateChange);
    // What the date field shows is always the current row: a save writes it.
    connect(ds_, &TIBDataSet::CurrentRowChanged, this, &TTermineTab::FillControls);
    connect(ds_, &TIBDataSet::RowsReset, this, &TTermineTab::FillControls);
    connect(ds_, &TIBDataSet::StateChanged, this, [this] {
        if (ds_->State() == TDataSetState::dsBrowse) FillControls();
    });
    ds_->BeforePost = [this] { IBDataSetTermineBeforePost(); };
    ds_->AfterPost = [this] { IBDataSetTermineAfterPost(); };
    DataSourceTermineStateChange();
    FillControls();
}

TTermineTab::~TTermineTab() {
    ds_->BeforePost = nullptr;
    ds_->AfterPost = nullptr;
}

void TTermineTab::BtnInsertTermineClick() {
    Add();
    if (ds_->State() == TDataSetState::dsInsert) PlannerDatePickerTermin->Clear();
}

void TTermineTab::BtnDeleteTermineClick() {
    bool deleted = false;
    try {
        deleted = DeleteCurrentRecord(*ds_, dm_.IBTransaction, QStringLiteral("BESCHREIBUNG"),
                                      planning::AppointmentDeleteTexts(), shell_);
    } catch (const std::exception &e) {
        shell_.ShowError(e);
    }
    // The deleted appointment's marker must not outlive it.
    if (deleted && LoadCalendarMarks) links::Guard(LoadCalendarMarks);
}

void TTermineTab::AdvTabSheetTermineShow() {
    const auto w = planning::AppointmentColumnWidths(Grid->width(), Grid->CellWidthFor(QStringLiteral("00.00.0000")));
    for (int i = 0; i < 2; ++i) Grid->horizontalHeader()->resizeSection(i, w[size_t(i)]);
    FillControls();
}

void TTermineTab::FillControls() {
    if (!dm_.ProjekteVorhanden) return;
    // A record the user has changed keeps what the field shows.
    if (IsEditing(ds_->State()) && ds_->Modified()) return;
    const int f = ds_->FieldIndex(QStringLiteral("TERMINDATUM"));
    const bool rows = ds_->Active() && !ds_->IsEmpty() && f >= 0;
    PlannerDatePickerTermin->SetDate(rows ? planning::ShownAppointmentDate(ds_->CurrentValue(f)) : QDate());
}

void TTermineTab::IBDataSetTermineBeforePost() {
    planning::WriteAppointment(*ds_, CurrentProjectId(), PlannerDatePickerTermin->Text());
}

void TTermineTab::DataSourceTermineStateChange() {
    const TDetailEnabling e =
        planning::PlanningEnabling(planning::TPlanningKind::Appointment, ds_->State(), dm_.ProjekteVorhanden);
    if (!e.Touch) return;
    SetLook(DBAdvEditTerminbeschreibung, e.FieldsOpen);
    PlannerDatePickerTermin->SetOpen(e.FieldsOpen);
    BtnInsert->setEnabled(e.Insert);
    BtnEdit->setEnabled(e.Edit);
    BtnDelete->setEnabled(e.Delete);
    if (e.Save) shell_.SetSaveEnabled(*e.Save);
}
