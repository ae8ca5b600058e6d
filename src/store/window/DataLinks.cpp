#include "store/window/DataLinks.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include "platform/core/Cp1252.h"
#include "platform/core/GermanFormat.h"



namespace {

// Puts the dataset into editing for typed input; false when it cannot be.
bool StartEditing(TDataSource *source, bool readOnly) {
    TIBDataSet *ds = source ? source->DataSet() : nullptr;
    if (!ds || !ds->Active() || readOnly) return false;
    if (IsEditing(ds->State())) return true;
    if (!source->AutoEdit) return false;
    return links::Guard([ds] { ds->Edit(); }) && IsEditing(ds->State());
}

}  // namespace

// --- TFieldLink ----------------------------------------------------------------

TFieldLink::TFieldLink(QWidget *widget, TDataSource *source, const QString &fieldName)
    : QObject(widget), widget_(widget), source_(source), field_(fieldName) {}

void TFieldLink::Start() {
    if (source_->DataSet()) source_->DataSet()->RegisterLink(this);
    connect(source_, &TDataSource::DataChange, this, [this](int field) {
        TIBDataSet *ds = source_ ? source_->DataSet() : nullptr;
        if (quiet_ || !ds) return;
        // Typed text a show-only link keeps must survive its field's changes.
        if (!writes_ && pending_ && IsEditing(ds->State())) return;
        if (field < 0 || field == ds->FieldIndex(field_)) Load();
    });
    connect(source_, &TDataSource::StateChange, this, [this] {
        // A handler run without a change of state must not drop what is typed.
        TIBDataSet *ds = source_ ? source_->DataSet() : nullptr;
        if (quiet_ || (pending_ && ds && IsEditing(ds->State()))) return;
        Load();
    });
    Load();
}

TFieldLink::~TFieldLink() {
    if (source_ && source_->DataSet()) source_->DataSet()->UnregisterLink(this);
}

void TFieldLink::Load() {
    if (!widget_) return;
    TIBDataSet *ds = source_ ? source_->DataSet() : nullptr;
    const int f = ds ? ds->FieldIndex(field_) : -1;
    const QString text = f >= 0 ? Shown(DisplayText(ds->CurrentValue(f))) : QString();
    pending_ = false;
    lastGood_ = text;
    if (WidgetText() != text) {
        quiet_ = true;
        SetWidgetText(text);
        quiet_ = false;
    }
}

void TFieldLink::OnUserText(const QString &text) {
    if (quiet_ || !widget_ || text == lastGood_) return;
    const qsizetype bad = cp1252::FirstUnencodable(text);
    if (bad >= 0) {
        const int cursor = qMax(0, CursorPosition() - 1);
        quiet_ = true;
        SetWidgetText(lastGood_);
        SetCursorPosition(qMin(cursor, int(lastGood_.size())));
        quiet_ = false;
        links::ReportRefusal(widget_, cp1252::UnencodableMessage(text.at(bad)));
        return;
    }
    lastGood_ = text;
    quiet_ = true;  // entering edit state must not reload the typed text away
    const bool editing = StartEditing(source_, WidgetReadOnly());
    quiet_ = false;
    if (!editing) return;
    pending_ = true;
    source_->DataSet()->SetModified(true);
}

QString TFieldLink::ControlText() const {
    TIBDataSet *ds = source_ ? source_->DataSet() : nullptr;
    if (ds && ds->ControlsDisabled()) {
        const int f = ds->FieldIndex(field_);
        return f >= 0 ? DisplayText(ds->CurrentValue(f)) : QString();
    }
    return Stored(WidgetText());
}

void TFieldLink::UpdateRecord() {
    if (!pending_ || !widget_ || !writes_) return;
    TIBDataSet *ds = source_ ? source_->DataSet() : nullptr;
    pending_ = false;
    if (!ds || !IsEditing(ds->State())) return;
    quiet_ = true;
    try {
        ds->FieldByName(field_).SetValue(Stored(WidgetText()));
    } catch (...) {
        quiet_ = false;
        throw;
    }
    quiet_ = false;
}

// --- TDBEditLink ------------------------------------------------------------------

TDBEditLink::TDBEditLink(QLineEdit *edit, TDataSource *source, const QString &fieldName)
    : TFieldLink(edit, source, fieldName), edit_(edit) {
    connect(edit, &QLineEdit::textEdited, this, &TDBEditLink::OnUserText);
    connect(edit, &QLineEdit::editingFinished, this, [this] { links::Guard([this] { UpdateRecord(); }); });
    Start();
}

QString TDBEditLink::WidgetText() const { return edit_ ? edit_->text() : QString(); }
void TDBEditLink::SetWidgetText(const QString &shown) { edit_->setText(shown); }
bool TDBEditLink::WidgetReadOnly() const { return edit_->isReadOnly(); }
int TDBEditLink::CursorPosition() const { return edit_->cursorPosition(); }
void TDBEditLink::SetCursorPosition(int position) { edit_->setCursorPosition(position); }

// --- TDBMemoLink ------------------------------------------------------------------

TDBMemoLink::TDBMemoLink(QPlainTextEdit *memo, TDataSource *source, const QString &fieldName)
    : TFieldLink(memo, source, fieldName), memo_(memo) {
    connect(memo, &QPlainTextEdit::textChanged, this, [this] { OnUserText(WidgetText()); });
    memo->installEventFilter(this);
    Start();
}

QString TDBMemoLink::StoredText(const QPlainTextEdit *memo) { return MemoToStored(memo->toPlainText()); }

bool TDBMemoLink::eventFilter(QObject *watched, QEvent *event) {
    if (watched == memo_ && event->type() == QEvent::FocusOut) links::Guard([this] { UpdateRecord(); });
    return QObject::eventFilter(watched, event);
}

QString TDBMemoLink::WidgetText() const { return memo_ ? memo_->toPlainText() : QString(); }
void TDBMemoLink::SetWidgetText(const QString &shown) { memo_->setPlainText(shown); }
bool TDBMemoLink::WidgetReadOnly() const { return memo_->isReadOnly(); }
int TDBMemoLink::CursorPosition() const { return memo_->textCursor().position(); }

void TDBMemoLink::SetCursorPosition(int position) {
    QTextCursor c = memo_->textCursor();
    c.setPosition(position);
    memo_->setTextCursor(c);
}

// --- TDBGridModel ---------------------------------------------------------------

TDBGridModel::TDBGridModel(TDataSource *source, QVector<TGridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), source_(source), columns_(std::move(columns)) {
    TIBDataSet *ds = source->DataSet();
    count_ = ds->RecordCount();
    connect(ds, &TIBDataSet::RowsReset, this, [this, ds] {
        beginResetModel();
        count_ = ds->RecordCount();
        endResetModel();
    });
    connect(ds, &TIBDataSet::RowInserted, this, [this](int row) {
        beginInsertRows({}, row, row);
        ++count_;
        endInsertRows();
    });
    connect(ds, &TIBDataSet::RowRemoved, this, [this](int row) {
        beginRemoveRows({}, row, row);
        --count_;
        endRemoveRows();
    });
    connect(ds, &TIBDataSet::RowUpdated, this, [this](int row) {
        if (row >= 0 && row < count_) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(ds, &TIBDataSet::StateChanged, this, [this, ds] {
        // Editability follows the state; only the current row can change.
        const int row = ds->RecNo();
        if (row >= 0 && row < count_) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

int TDBGridModel::FieldOf(int column) const {
    TIBDataSet *ds = source_ ? source_->DataSet() : nullptr;
    if (!ds || column < 0 || column >= columns_.size()) return -1;
    return ds->FieldIndex(columns_.at(column).FieldName);
}

int TDBGridModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : count_; }

int TDBGridModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

QVariant TDBGridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return QVariant();
    TIBDataSet *ds = source_ ? source_->DataSet() : nullptr;
    const int f = FieldOf(index.column());
    if (!ds || f < 0 || index.row() >= ds->RecordCount()) return QVariant();
    QString text = DisplayText(ds->RowValue(index.row(), f));
    if (role == Qt::DisplayRole) text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return QVariant();
    if (orientation == Qt::Horizontal && section >= 0 && section < columns_.size()) return columns_.at(section).Title;
    return QVariant();
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    TIBDataSet *ds = source_ ? source_->DataSet() : nullptr;
    if (ds && index.isValid() && !columns_.at(index.column()).ReadOnly && IsEditing(ds->State()) &&
        index.row() == ds->RecNo())
        f |= Qt::ItemIsEditable;
    return f;
}

bool TDBGridModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    TIBDataSet *ds = source_->DataSet();
    const int f = FieldOf(index.column());
    if (f < 0) return false;
    const QString text = value.toString();
    if (DisplayText(ds->CurrentValue(f)) == text && !ds->Modified()) return true;
    return links::Guard([&] { ds->Fields(f).SetValue(text); });
}

// --- TDBGridView ---------------------------------------------------------------

class TDBGridDelegate : public QStyledItemDelegate {
public:
    explicit TDBGridDelegate(TDBGridView *view) : QStyledItemDelegate(view), view_(view) {}

    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index == view_->currentIndex()) option->font.setBold(true);
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QWidget *w = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            TDataSource *source = view_->DataSource();
            edit->setMaxLength(view_->EditorMaxLength());
            auto *last = new QString;
            QObject::connect(edit, &QObject::destroyed, [last] { delete last; });
            QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, source, last](const QString &text) {
                const qsizetype bad = cp1252::FirstUnencodable(text);
                if (bad >= 0) {
                    edit->setText(*last);
                    links::ReportRefusal(edit, cp1252::UnencodableMessage(text.at(bad)));
                    return;
                }
                *last = text;
                if (source && source->DataSet()) source->DataSet()->SetModified(true);
            });
            *last = index.data(Qt::EditRole).toString();  // what setEditorData will show
        }
        return w;
    }

protected:
    bool eventFilter(QObject *editor, QEvent *event) override {
        // The refusal box takes the focus for a moment; the edit goes on afterwards.
        if ((event->type() == QEvent::FocusOut || event->type() == QEvent::Hide) && links::RefusalUnderWay()) return false;
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            const bool accept = key == Qt::Key_Return || key == Qt::Key_Enter;
            const bool cancel = key == Qt::Key_Escape;
            const bool handled = QStyledItemDelegate::eventFilter(editor, event);
            // Tell the view's owner once the editor has committed or closed.
            if (accept) QMetaObject::invokeMethod(view_, &TDBGridView::EditorAccepted, Qt::QueuedConnection);
            if (cancel) QMetaObject::invokeMethod(view_, &TDBGridView::EditorCancelled, Qt::QueuedConnection);
            return handled;
        }
        return QStyledItemDelegate::eventFilter(editor, event);
    }

private:
    TDBGridView *view_;
};

THeadingFit FitHeading(const QString &text, const QFontMetrics &metrics, int width) {
    const QString shown = metrics.elidedText(text, Qt::ElideRight, qMax(0, width));
    return {shown, (shown == text ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter};
}

namespace {
// A heading wider than its column shows from its first letter, cut at the
// end; one that fits is centred. Measured and drawn here, in the header's
// own font and margins, so the two always agree.
class TGridHeader : public QHeaderView {
public:
    explicit TGridHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {
        setSectionsClickable(true);
        setHighlightSections(false);
        setTextElideMode(Qt::ElideRight);
    }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override {
        if (!rect.isValid()) return;
        QStyleOptionHeader opt;
        initStyleOptionForIndex(&opt, logicalIndex);
        opt.rect = rect;
        const QString text = opt.text;
        opt.text.clear();
        painter->save();
        style()->drawControl(QStyle::CE_Header, &opt, painter, this);
        const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, &opt, this);
        const QRect room = rect.adjusted(margin, 0, -margin, 0);
        const THeadingFit fit = FitHeading(text, opt.fontMetrics, room.width());
        painter->setClipRect(rect);
        painter->setPen(opt.palette.color(QPalette::ButtonText));
        painter->drawText(room, int(fit.Align), fit.Shown);
        painter->restore();
    }
};
}  // namespace

TDBGridView::TDBGridView(QWidget *parent) : QTableView(parent) {
    setHorizontalHeader(new TGridHeader(this));
    setItemDelegate(new TDBGridDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    verticalHeader()->hide();
    setWordWrap(false);
    // The whole heading is the tool tip (see the model).
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &i) { emit CellClicked(i.row(), i.column()); });
}

TDBGridView::~TDBGridView() {
    if (source_ && source_->DataSet()) source_->DataSet()->UnregisterLink(this);
}

int TDBGridView::CellWidthFor(const QString &sample) const {
    QFont bold = font();
    bold.setBold(true);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return QFontMetrics(bold).horizontalAdvance(sample) + 2 * margin + 2;  // and the grid line
}

void TDBGridView::SetRowHeight(int pixels) {
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(pixels);
}

void TDBGridView::SetDataSource(TDataSource *source, QVector<TGridColumn> columns) {
    if (source_ && source_->DataSet()) source_->DataSet()->UnregisterLink(this);
    source_ = source;
    TDBGridModel *old = model_;
    model_ = new TDBGridModel(source, std::move(columns), this);
    setModel(model_);
    delete old;
    TIBDataSet *ds = source->DataSet();
    ds->RegisterLink(this);
    // Rows coming and going move the view's current cell; that is not the
    // user choosing a row, so it must not move the dataset.
    auto hold = [this] { syncing_ = true; };
    auto release = [this] {
        syncing_ = false;
        SyncToDataSet();
    };
    connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this, hold);
    connect(model_, &QAbstractItemModel::rowsAboutToBeRemoved, this, hold);
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, hold);
    connect(model_, &QAbstractItemModel::rowsInserted, this, release);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, release);
    connect(model_, &QAbstractItemModel::modelReset, this, release);
    connect(ds, &TIBDataSet::CurrentRowChanged, this, [this] { SyncToDataSet(); });
    connect(ds, &TIBDataSet::RowsReset, this, [this] { SyncToDataSet(); });
    connect(ds, &TIBDataSet::StateChanged, this, [this] {
        // Leaving Edit or Insert closes an open cell editor.
        if (source_ && !IsEditing(source_->State()) && state() == QAbstractItemView::EditingState)
            closePersistentEditor(currentIndex());
    });
    SyncToDataSet();
}

void TDBGridView::SyncToDataSet() {
    if (!source_ || !model_) return;
    const int row = source_->DataSet()->RecNo();
    syncing_ = true;
    if (row < 0 || row >= model_->rowCount()) {
        setCurrentIndex(QModelIndex());
    } else {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        setCurrentIndex(model_->index(row, column));
    }
    syncing_ = false;
    viewport()->update();
}

void TDBGridView::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QTableView::currentChanged(current, previous);
    viewport()->update();
    if (syncing_ || !source_ || !current.isValid()) return;
    TIBDataSet *ds = source_->DataSet();
    if (current.row() == ds->RecNo()) return;
    const int target = current.row();
    links::Guard([ds, target] { ds->MoveTo(target); });
    // Whatever happened (post, cancel, failure), show the dataset's row.
    QMetaObject::invokeMethod(this, [this] { SyncToDataSet(); }, Qt::QueuedConnection);
}

void TDBGridView::keyPressEvent(QKeyEvent *event) {
    // Escape in the grid itself abandons the record being edited.
    if (event->key() == Qt::Key_Escape && source_ && IsEditing(source_->State()) &&
        isSignalConnected(QMetaMethod::fromSignal(&TDBGridView::EditorCancelled))) {
        emit EditorCancelled();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TDBGridView::UpdateRecord() {
    if (state() != QAbstractItemView::EditingState) return;
    // The open cell editor lives on the viewport.
    const auto editors = viewport()->findChildren<QLineEdit *>();
    for (QLineEdit *e : editors) commitData(e);
}
