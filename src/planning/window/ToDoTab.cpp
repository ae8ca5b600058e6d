#include "planning/window/ToDoTab.h"

#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

#include "planning/core/PlanningRules.h"
#include "platform/window/TextEntry.h"
#include "store/window/Looks.h"

namespace {

// "Erledigt": a check box, ticked for 1; read-only like the whole list.
class TDoneDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const bool ticked = cell.text.trimmed() == QStringLiteral("1");
        cell.text.clear();
        const QWidget *w = option.widget;
        QStyle *style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, w);
        QStyleOptionButton box;
        box.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
        const QSize size(style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w),
                         style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, w));
        box.rect = QRect(QPoint(0, 0), size);
        box.rect.moveCenter(option.rect.center());
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, w);
    }
};

// "Fortschritt": a blue bar filled to the percentage, the percentage as text.
class TProgressDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QString text = cell.text.trimmed();
        cell.text.clear();
        const QWidget *w = option.widget;
        QStyle *style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, w);
        if (text.isEmpty()) return;
        const int percent = qBound(0, text.toInt(), 100);
        const QRect frame = option.rect.adjusted(2, 3, -2, -3);
        painter->save();
        painter->setPen(QColor(0, 0, 128));
        painter->setBrush(Qt::white);
        painter->drawRect(frame.adjusted(0, 0, -1, -1));
        QRect fill = frame.adjusted(1, 1, -1, -1);
        fill.setWidth(fill.width() * percent / 100);
        painter->fillRect(fill, QColor(0, 0, 255));
        // Dark figures on the empty part, white ones on the bar.
        const QString label = QString::number(percent) + QLatin1Char('%');
        painter->setPen(Qt::black);
        painter->drawText(frame, Qt::AlignCenter, label);
        painter->setClipRect(fill);
        painter->setPen(Qt::white);
        painter->drawText(frame, Qt::AlignCenter, label);
        painter->restore();
    }
};

}  // namespace

TToDoTab::TToDoTab(QWidget *page, QMenu *popup, TDataModule1 &dm, TShell &shell, TProjectList &projects)
    : TDetailTab(page, popup, dm, shell, projects, dm.IBDataSetToDo, dm.DataSourceToDo) {
    BuildFrame("ToolBarToDo",
               {{{"BtnInsertToDo", QStringLiteral("ToDo-Eintrag hinzufügen")},
                 {"BtnEditToDo", QStringLiteral("ToDo-Eintrag bearbeiten")},
                 {"BtnToDoAbbrechen", QStringLiteral("Bearbeitung/Erfassung abbrechen")},
                 {"BtnDeleteToDo", QStringLiteral("ToDo-Eintrag löschen")}}},
               "PanelToDo", "DBAdvGridToDo",
               {{QStringLiteral("BESCHREIBUNG"), QStringLiteral("Beschreibung")},
                {QStringLiteral("ERLEDIGT"), QStringLiteral("Erledigt")},
                {QStringLiteral("FORTSCHRITT"), QStringLiteral("Fortschritt")},
                {QStringLiteral("BISTERMIN"), QStringLiteral("Endtermin")}});
    Grid->setItemDelegateForColumn(1, new TDoneDelegate(Grid));
    Grid->setItemDelegateForColumn(2, new TProgressDelegate(Grid));
    EntryPanel->setMinimumHeight(76);
    Splitter->setSizes({76, 400});

    auto *grid = new QGridLayout(EntryPanel);
    grid->setVerticalSpacing(1);
    auto *descriptionLabel = new QLabel(QStringLiteral("Beschreibung ToDo"), EntryPanel);
    DBAdvEditToDoItem = AddField(EntryPanel, "DBAdvEditToDoItem", QStringLiteral("BESCHREIBUNG"), 385,
                                 QStringLiteral("Geben Sie eine Beschreibung für das ToDo-Item ein"));
    DBAdvEditToDoItem->setMaxLength(80);
    descriptionLabel->setBuddy(DBAdvEditToDoItem);

    auto *dateLabel = new QLabel(QStringLiteral("Endtermin"), EntryPanel);
    PlannerDatePickerToDo = new TPlannerDatePicker(source_, EntryPanel);
    PlannerDatePickerToDo->setObjectName(QStringLiteral("PlannerDatePickerToDo"));
    const QString dateHint = QStringLiteral("Bis zu welchem Terrmin muss das ToDo-Item erledigt sein?");
    PlannerDatePickerToDo->setToolTip(dateHint);
    PlannerDatePickerToDo->Edit()->setToolTip(dateHint);
    PlannerDatePickerToDo->setFixedWidth(110);
    dateLabel->setBuddy(PlannerDatePickerToDo);

    // The Tab key skips the slider; Alt+F, the label's mnemonic, reaches it.
    auto *progressLabel = new QLabel(QStringLiteral("&Fortschritt"), EntryPanel);
    auto *progressBox = new QWidget(EntryPanel);
    auto *progressLayout = new QGridLayout(progressBox);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->setSpacing(0);
    VrTrackBarToDo = new QSlider(Qt::Horizontal, progressBox);
    VrTrackBarToDo->setObjectName(QStringLiteral("VrTrackBarToDo"));
    VrTrackBarToDo->setRange(0, 100);
    VrTrackBarToDo->setTickPosition(QSlider::TicksBelow);
    VrTrackBarToDo->setFocusPolicy(Qt::ClickFocus);  // the Tab key skips it; arrows move by a stop
    VrTrackBarToDo->setToolTip(QStringLiteral("Fortschritt eingeben (0, 25, 50, 75 oder 100%)"));
    sliderLink_ = new TDBSliderLink(VrTrackBarToDo, source_, 25);
    progressLayout->addWidget(VrTrackBarToDo, 0, 0, 1, 5);
    const char *stops[] = {"0%", "25%", "50%", "75%", "100%"};
    for (int i = 0; i < 5; ++i) {
        auto *l = new QLabel(QString::fromLatin1(stops[i]), progressBox);
        l->setAlignment(i == 0 ? Qt::AlignLeft : i == 4 ? Qt::AlignRight : Qt::AlignHCenter);
        QFont f = l->font();
        f.setPointSizeF(f.pointSizeF() * 0.85);
        l->setFont(f);
        progressLayout->addWidget(l, 1, i);
    }
    progressBox->setFixedWidth(180);
    progressLabel->setBuddy(VrTrackBarToDo);

    ToDoErledigt = new QCheckBox(QStringLiteral("Erledigt"), EntryPanel);
    ToDoErledigt->setObjectName(QStringLiteral("ToDoErledigt"));
    ToDoErledigt->setToolTip(QStringLiteral("Ist das ToDo-Item erledigt (= 100% Fortschritt)?"));
    boxLink_ = new TDBCheckBoxLink(ToDoErledigt, source_);

    grid->addWidget(descriptionLabel, 0, 0);
    grid->addWidget(DBAdvEditToDoItem, 1, 0);
    grid->addWidget(dateLabel, 0, 1);
    grid->addWidget(PlannerDatePickerToDo, 1, 1);
    grid->addWidget(progressLabel, 0, 2);
    grid->addWidget(progressBox, 1, 2, 2, 1, Qt::AlignTop);
    grid->addWidget(ToDoErledigt, 1, 3);
    grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding), 1, 4);
    grid->setColumnStretch(0, 385);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(3, 1);
    QWidget::setTabOrder(DBAdvEditToDoItem, PlannerDatePickerToDo->Edit());
    QWidget::setTabOrder(PlannerDatePickerToDo->Edit(), ToDoErledigt);

    AddPopupEntries({QStringLiteral("ToDo-Eintrag hinzufügen"), QStringLiteral("ToDo-Eintrag bearbeiten"),
                     QStringLiteral("ToDo-Eintrag löschen"), QStringLiteral("Bearbeitung abbrechen")},
                    [this] { BtnDeleteToDoClick(); });
    // The add button clears the unbound controls once the insert has started,
    // so that a changed record posted by the add keeps its own values.
    disconnect(BtnInsert, &QAction::triggered, this, &TDetailTab::Add);
    connect(BtnInsert, &QAction::triggered, this, &TToDoTab::BtnInsertToDoClick);
    connect(BtnDelete, &QAction::triggered, this, &TToDoTab::BtnDeleteToDoClick);
    connect(VrTrackBarToDo, &QSlider::valueChanged, this, &TToDoTab::VrTrackBarToDoChange);
    connect(boxLink_, &TDBCheckBoxLink::userToggled, this, &TToDoTab::ToDoErledigtClick);
    connect(Grid, &TDBGridView::CellClicked, this, &TToDoTab::DBAdvGridToDoClick);
    connect(source_, &TDataSource::StateChange, this, &TToDoTab::DataSourceToDoStateChange);
    // What the controls show is always the current row: a save writes it.
    connect(ds_, &TIBDataSet::CurrentRowChanged, this, &TToDoTab::FillControls);
    connect(ds_, &TIBDataSet::RowsReset, this, &TToDoTab::FillControls);
    connect(ds_, &TIBDataSet::StateChanged, this, [this] {
        if (ds_->State() == TDataSetState::dsBrowse) FillControls();
    });
    ds_->BeforePost = [this] { IBDataSetToDoBeforePost(); };
    ds_->AfterPost = [this] { IBDataSetToDoAfterPost(); };
    DataSourceToDoStateChange();
    FillControls();
}

TToDoTab::~TToDoTab() {
    ds_->BeforePost = nullptr;
    ds_->AfterPost = nullptr;
}

void TToDoTab::BtnInsertToDoClick() {
    Add();
    if (ds_->State() != TDataSetState::dsInsert) return;
    sliderLink_->SetPosition(0);
    PlannerDatePickerToDo->Clear();
}

void TToDoTab::BtnDeleteToDoClick() {
    bool deleted = false;
    try {
        deleted = DeleteCurrentRecord(*ds_, dm_.IBTransaction, QStringLiteral("BESCHREIBUNG"), planning::ToDoDeleteTexts(),
                                      shell_);
    } catch (const std::exception &e) {
        shell_.ShowError(e);
    }
    // The deleted item's marker must not outlive it.
    if (deleted && LoadCalendarMarks) links::Guard(LoadCalendarMarks);
}

void TToDoTab::AdvTabSheetToDoShow() {
    const auto w = planning::ToDoColumnWidths(Grid->width(), Grid->CellWidthFor(QStringLiteral("00.00.0000")));
    for (int i = 0; i < 4; ++i) Grid->horizontalHeader()->resizeSection(i, w[size_t(i)]);
    FillControls();
}

void TToDoTab::FillControls() {
    if (!dm_.ProjekteVorhanden) return;
    // A record the user has changed keeps what the controls show.
    if (IsEditing(ds_->State()) && ds_->Modified()) return;
    const bool rows = ds_->Active() && !ds_->IsEmpty();
    const auto value = [&](const char *field) {
        const int f = ds_->FieldIndex(QString::fromLatin1(field));
        return rows && f >= 0 ? ds_->CurrentValue(f) : QVariant();
    };
    PlannerDatePickerToDo->SetDate(planning::ShownDueDate(value("BISTERMIN")));
    const QVariant progress = value("FORTSCHRITT");
    sliderLink_->SetPosition(progress.isNull() ? 0 : progress.toInt());
    const bool fromSlider = planning::DoneForProgress(VrTrackBarToDo->value());
    boxLink_->SetChecked(fromSlider);
    boxLink_->SetChecked(planning::DoneShown(value("ERLEDIGT"), fromSlider));
    DBAdvEditToDoItem->update();
}

void TToDoTab::VrTrackBarToDoChange() { boxLink_->SetChecked(planning::DoneForProgress(VrTrackBarToDo->value())); }

void TToDoTab::ToDoErledigtClick() { sliderLink_->SetPosition(planning::ProgressForDone(ToDoErledigt->isChecked())); }

void TToDoTab::IBDataSetToDoBeforePost() {
    planning::WriteToDo(*ds_, CurrentProjectId(),
                        {PlannerDatePickerToDo->Text(), VrTrackBarToDo->value(), ToDoErledigt->isChecked()});
}

void TToDoTab::DataSourceToDoStateChange() {
    const TDetailEnabling e = planning::PlanningEnabling(planning::TPlanningKind::ToDo, ds_->State(), dm_.ProjekteVorhanden);
    if (!e.Touch) return;
    SetLook(DBAdvEditToDoItem, e.FieldsOpen);
    PlannerDatePickerToDo->SetOpen(e.FieldsOpen);
    for (QWidget *w : {static_cast<QWidget *>(VrTrackBarToDo), static_cast<QWidget *>(ToDoErledigt)}) {
        SetLook(w, e.FieldsOpen);
        w->setEnabled(e.FieldsOpen);
    }
    BtnInsert->setEnabled(e.Insert);
    BtnEdit->setEnabled(e.Edit);
    BtnDelete->setEnabled(e.Delete);
    if (e.Save) shell_.SetSaveEnabled(*e.Save);
}
