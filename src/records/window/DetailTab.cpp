#include "records/window/DetailTab.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "app/window/icons/ImageListMain.h"
#include "platform/window/KeyHints.h"
#include "store/window/Looks.h"
#include "records/core/ProjectRules.h"
#include "records/window/TabFrame.h"
#include "store/core/Workflow.h"

TDetailTab::TDetailTab(QWidget *page, QMenu *popup, TDataModule1 &dm, TShell &shell, TProjectList &projects,
                       TIBDataSet *ds, TDataSource *source)
    : QObject(page), page_(page), popup_(popup), dm_(dm), shell_(shell), projects_(projects), ds_(ds), source_(source) {}

void TDetailTab::BuildFrame(const char *toolBarName, const std::array<std::pair<const char *, QString>, 4> &buttons,
                            const char *panelName, const char *gridName, QVector<TGridColumn> columns) {
    auto *layout = new QVBoxLayout(page_);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    ToolBar = new QToolBar(page_);
    ToolBar->setObjectName(QString::fromLatin1(toolBarName));
    const tabframe::TButtons made = tabframe::BuildToolBar(
        ToolBar, {{{buttons[0].first, buttons[0].second}, {buttons[1].first, buttons[1].second},
                   {buttons[2].first, buttons[2].second}, {buttons[3].first, buttons[3].second}}});
    BtnInsert = made.Insert;
    BtnEdit = made.Edit;
    BtnAbbrechen = made.Cancel;
    BtnDelete = made.Delete;
    layout->addWidget(ToolBar);

    Splitter = new QSplitter(Qt::Vertical, page_);
    Splitter->setObjectName(QString::fromLatin1(toolBarName) + QStringLiteral("Splitter"));
    Splitter->setChildrenCollapsible(false);
    EntryPanel = new QWidget(Splitter);
    EntryPanel->setObjectName(QString::fromLatin1(panelName));
    EntryPanel->setMinimumHeight(68);
    Grid = new TDBGridView(Splitter);
    Grid->setObjectName(QString::fromLatin1(gridName));
    Grid->SetDataSource(source_, std::move(columns));
    Grid->SetRowHeight(22);
    Grid->setFocusPolicy(Qt::ClickFocus);  // skipped by the Tab key
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    SetGridLook(Grid);
    Splitter->addWidget(EntryPanel);
    Splitter->addWidget(Grid);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({68, 400});
    layout->addWidget(Splitter, 1);

    tabframe::InstallKeys(page_, made, Grid);
    connect(BtnInsert, &QAction::triggered, this, &TDetailTab::Add);
    connect(BtnEdit, &QAction::triggered, this, &TDetailTab::EditRecord);
    connect(BtnAbbrechen, &QAction::triggered, this, &TDetailTab::CancelRecord);
    connect(source_, &TDataSource::StateChange, this, &TDetailTab::ApplyStateRules);
    // The grid carries the tab's context menu too.
    keyhints::AttachContextMenu(Grid, popup_);
}

QLineEdit *TDetailTab::AddField(QWidget *parent, const char *name, const QString &field, int width, const QString &hint) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(40);
    // As wide as designed where there is room, narrower in a small window.
    edit->setMinimumWidth(qMin(width, 120));
    edit->setMaximumWidth(width);
    edit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    edit->setToolTip(hint);
    new TDBEditLink(edit, source_, field);
    Fields << edit;
    return edit;
}

void TDetailTab::AddPopupEntries(const std::array<QString, 4> &captions, std::function<void()> onDelete) {
    // Entries stay enabled and run the button's handler; without a project
    // there is nothing a new or changed record could belong to.
    auto guarded = [this](std::function<void()> handler) {
        return [this, handler = std::move(handler)] {
            if (!dm_.ProjekteVorhanden) {
                shell_.StatusMessage(QStringLiteral("Kein Projekt vorhanden: bitte zuerst ein Projekt anlegen"));
                return;
            }
            handler();
        };
    };
    tabframe::AddPopupEntries(popup_, {{{"", captions[0], guarded([this] { Add(); })},
                                        {"", captions[1], guarded([this] { EditRecord(); })},
                                        {"", captions[2], guarded(std::move(onDelete))},
                                        {"", captions[3], [this] { CancelRecord(); }}}});
}

QVariant TDetailTab::CurrentProjectId() const { return dm_.IBDataSetProjekt->FieldByName(QStringLiteral("ID")).Value(); }

void TDetailTab::Add() {
    links::Guard([this] { ds_->Insert(); });
}

void TDetailTab::EditRecord() {
    links::Guard([this] { ds_->Edit(); });
}

void TDetailTab::CancelRecord() {
    links::Guard([this] { ds_->Cancel(); });
}

bool TDetailTab::DeleteRecord(const QString &keyField, const QString &nothingToDelete, const QString &question,
                              const QString &what) {
    try {
        const QString done = QStringLiteral(" wurde gelöscht");
        return DeleteCurrentRecord(*ds_, dm_.IBTransaction, keyField, {nothingToDelete, question, what, done, what, done},
                                   shell_);
    } catch (const std::exception &e) {
        shell_.ShowError(e);
        return false;
    }
}

void TDetailTab::ApplyStateRules() {
    QList<QWidget *> fields;
    for (QLineEdit *field : Fields) fields << field;
    tabframe::Apply(Enabling->Row(ds_->State(), dm_.ProjekteVorhanden), fields, {BtnInsert, BtnEdit, BtnAbbrechen, BtnDelete},
                    shell_);
}

void TDetailTab::AfterSave(const QString &what) { projects::DetailAfterPost(dm_, shell_, what); }

// --- e-mail ---------------------------------------------------------------------

TEmailTab::TEmailTab(QWidget *page, QMenu *popup, TDataModule1 &dm, TShell &shell, TProjectList &projects)
    : TDetailTab(page, popup, dm, shell, projects, dm.IBDataSetEmail, dm.DataSourceEmail) {
    BuildFrame("ToolBarEmail",
               {{{"BtnInsertEmail", QStringLiteral("Emailadresse hinzufügen")},
                 {"BtnEditEmail", QStringLiteral("Emailadresse bearbeiten")},
                 {"BtnEmailAbbrechen", QStringLiteral("Bearbeitung/Erfassung abbrechen")},
                 {"BtnDeleteEmail", QStringLiteral("Emailadresse löschen")}}},
               "PanelEmailErfassen", "DBAdvGridEmail", {{QStringLiteral("EMAILADRESSE"), QStringLiteral("Emailadresse")}});
    auto *grid = new QGridLayout(EntryPanel);
    auto *label = new QLabel(QStringLiteral("Emailadresse"), EntryPanel);
    DBAdvEditEmailadresse = AddField(EntryPanel, "DBAdvEditEmailadresse", QStringLiteral("EMAILADRESSE"), 633,
                                     QStringLiteral("Hier die Emailadresse eingeben "));
    label->setBuddy(DBAdvEditEmailadresse);
    grid->addWidget(label, 0, 0);
    grid->addWidget(DBAdvEditEmailadresse, 1, 0);
    grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding), 1, 1);
    grid->setColumnStretch(0, 633);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    AddPopupEntries({QStringLiteral("Email hinzufügen"), QStringLiteral("Email bearbeiten"),
                     QStringLiteral("Email löschen"), QStringLiteral("Bearbeitung abbrechen")},
                    [this] { BtnDeleteEmailClick(); });
    connect(BtnDelete, &QAction::triggered, this, &TEmailTab::BtnDeleteEmailClick);
    ds_->BeforePost = [this] { IBDataSetEmailBeforePost(); };
    ds_->AfterPost = [this] { IBDataSetEmailAfterPost(); };
}

TEmailTab::~TEmailTab() {
    ds_->BeforePost = nullptr;
    ds_->AfterPost = nullptr;
}

void TEmailTab::IBDataSetEmailBeforePost() {
    ds_->FieldByName(QStringLiteral("PROJEKTID")).SetValue(CurrentProjectId());
    ds_->FieldByName(QStringLiteral("EMAILADRESSE")).SetValue(DBAdvEditEmailadresse->text());
}

void TEmailTab::BtnDeleteEmailClick() {
    DeleteRecord(QStringLiteral("EMAILADRESSE"), QStringLiteral("Keine Emailadresse zum Löschen vorhanden"),
                 QStringLiteral("Soll die Emailadresse "), QStringLiteral("Emailadresse "));
}

void TEmailTab::AdvTabSheetEmailShow() { Grid->horizontalHeader()->resizeSection(0, Grid->width() - 4); }

// --- phone ----------------------------------------------------------------------

TTelefonTab::TTelefonTab(QWidget *page, QMenu *popup, TDataModule1 &dm, TShell &shell, TProjectList &projects)
    : TDetailTab(page, popup, dm, shell, projects, dm.IBDataSetTelefon, dm.DataSourceTelefon) {
    BuildFrame("ToolBarTelefon",
               {{{"BtnInsertTelefon", QStringLiteral("Telefonnummer hinzufügen")},
                 {"BtnEditTelefon", QStringLiteral("Telefonnummer bearbeiten")},
                 {"BtnTelefonAbbrechen", QStringLiteral("Bearbeitung/Erfassung abbrechen")},
                 {"BtnDeleteTelefon", QStringLiteral("Telefonnummer löschen")}}},
               "PanelTelefonDetails", "DBAdvGridTelefon",
               {{QStringLiteral("NAME"), QStringLiteral("Name")},
                {QStringLiteral("TELEFONNUMMER"), QStringLiteral("Telefonnummer")}});
    auto *grid = new QGridLayout(EntryPanel);
    auto *nameLabel = new QLabel(QStringLiteral("Name"), EntryPanel);
    auto *numberLabel = new QLabel(QStringLiteral("Telefonnummer"), EntryPanel);
    DBAdvEditTelefonName = AddField(EntryPanel, "DBAdvEditTelefonName", QStringLiteral("NAME"), 385,
                                    QStringLiteral("Name des Ansprechpartners eingeben"));
    DBAdvEditTelefonnummer = AddField(EntryPanel, "DBAdvEditTelefonnummer", QStringLiteral("TELEFONNUMMER"), 169,
                                      QStringLiteral("Telefonnummer des Ansprechpartners eingeben"));
    nameLabel->setBuddy(DBAdvEditTelefonName);
    numberLabel->setBuddy(DBAdvEditTelefonnummer);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(DBAdvEditTelefonName, 1, 0);
    grid->addWidget(numberLabel, 0, 1);
    grid->addWidget(DBAdvEditTelefonnummer, 1, 1);
    grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding), 1, 2);
    grid->setColumnStretch(0, 385);
    grid->setColumnStretch(1, 169);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(2, 1);
    QWidget::setTabOrder(DBAdvEditTelefonName, DBAdvEditTelefonnummer);
    AddPopupEntries({QStringLiteral("Telefonnummer hinzufügen"), QStringLiteral("Telefonnummer bearbeiten"),
                     QStringLiteral("Telefonnummer löschen"), QStringLiteral("Bearbeitung abbrechen")},
                    [this] { BtnDeleteTelefonClick(); });
    connect(BtnDelete, &QAction::triggered, this, &TTelefonTab::BtnDeleteTelefonClick);
    ds_->BeforePost = [this] { IBDataSetTelefonBeforePost(); };
    ds_->AfterPost = [this] { IBDataSetTelefonAfterPost(); };
}

TTelefonTab::~TTelefonTab() {
    ds_->BeforePost = nullptr;
    ds_->AfterPost = nullptr;
}

void TTelefonTab::IBDataSetTelefonBeforePost() {
    ds_->FieldByName(QStringLiteral("PROJEKTID")).SetValue(CurrentProjectId());
    ds_->FieldByName(QStringLiteral("TELEFONNUMMER")).SetValue(DBAdvEditTelefonnummer->text());
    ds_->FieldByName(QStringLiteral("NAME")).SetValue(DBAdvEditTelefonName->text());
}

void TTelefonTab::BtnDeleteTelefonClick() {
    if (DeleteRecord(QStringLiteral("TELEFONNUMMER"), QStringLiteral("Keine Telefonnummer zum Löschen vorhanden"),
                     QStringLiteral("Soll die Telefonnummer "), QStringLiteral("Telefonnummer ")))
        links::Guard([this] { projects_.FilterDetailsByProjekt(); });
}

void TTelefonTab::AdvTabSheetTelefonShow() {
    const int w = Grid->width();
    Grid->horizontalHeader()->resizeSection(0, w / 2);
    Grid->horizontalHeader()->resizeSection(1, w - w / 2 - 4);
}
