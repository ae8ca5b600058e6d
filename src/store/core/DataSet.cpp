#include "store/core/DataSet.h"

#include "platform/core/GermanFormat.h"

QString StateName(TDataSetState state) {
    switch (state) {
    case TDataSetState::dsInactive: return QStringLiteral("Inactive");
    case TDataSetState::dsBrowse: return QStringLiteral("Browse");
    case TDataSetState::dsEdit: return QStringLiteral("Edit");
    case TDataSetState::dsInsert: return QStringLiteral("Insert");
    }
    return QString();
}

// --- TField -----------------------------------------------------------------

QString TField::FieldName() const { return ds_->FieldDefs().at(index_).Name; }
TFieldKind TField::Kind() const { return ds_->FieldDefs().at(index_).Kind; }
QVariant TField::Value() const { return ds_->CurrentValue(index_); }
void TField::SetValue(const QVariant &value) { ds_->SetCurrentValue(index_, value); }
bool TField::IsNull() const { return Value().isNull(); }

QString TField::AsString() const {
    const QVariant v = Value();
    if (v.isNull()) return QString();
    switch (v.typeId()) {
    case QMetaType::QDate: return de::DateText(v.toDate());
    case QMetaType::QDateTime: return de::DateTimeText(v.toDateTime());
    case QMetaType::QTime: return de::TimeText(v.toTime());
    case QMetaType::QByteArray: return QString::fromLatin1(v.toByteArray());
    default: return v.toString();
    }
}

int TField::AsInteger() const { return int(AsLargeInt()); }

qint64 TField::AsLargeInt() const {
    const QVariant v = Value();
    if (v.isNull()) return 0;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (!ok) throw EDatabaseError(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(v.toString()));
    return n;
}

QDateTime TField::AsDateTime() const {
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QDate) return QDateTime(v.toDate(), QTime(0, 0));
    return v.toDateTime();
}

QByteArray TField::AsBytes() const { return Value().toByteArray(); }

// --- TIBDataSet ---------------------------------------------------------------

TIBDataSet::TIBDataSet(TIBDatabase &db, const QString &name, QObject *parent) : QObject(parent), db_(db) {
    setObjectName(name);
    db_.RegisterDataSet(this);
}

TIBDataSet::~TIBDataSet() {
    db_.UnregisterDataSet(this);
    ReleaseStatements();
}

QString TIBDataSet::StatementText(const QStringList &lines) {
    QString text;
    for (const QString &line : lines) text += line + QLatin1Char('\n');
    return text;
}

QString TIBDataSet::SelectText() const { return StatementText(SelectSQL); }

TIBTransaction &TIBDataSet::Trans() const {
    TIBTransaction *t = Transaction ? Transaction : db_.DefaultTransaction;
    if (!t) throw EDatabaseError(QStringLiteral("%1: keine Transaktion zugeordnet").arg(Name()));
    return *t;
}

TSqlStatement &TIBDataSet::Prepared(std::unique_ptr<TSqlStatement> &slot, const QStringList &lines) {
    const QString text = StatementText(lines);
    if (!slot || slot->Sql() != text || slot->ConnectionSerial() != db_.ConnectionSerial())
        slot = std::make_unique<TSqlStatement>(Trans(), text);
    return *slot;
}

void TIBDataSet::ReleaseStatements() {
    insert_.reset();
    modify_.reset();
    delete_.reset();
    refresh_.reset();
    generator_.reset();
}

void TIBDataSet::Disconnecting() {
    Close();
    ReleaseStatements();
}

void TIBDataSet::RequireActive() const {
    if (!Active()) throw EDatabaseError(QStringLiteral("%1: Die Datenmenge ist nicht geöffnet").arg(Name()));
}

void TIBDataSet::SetState(TDataSetState s) {
    if (state_ == s) return;
    state_ = s;
    if (!ControlsDisabled()) emit StateChanged();
}

void TIBDataSet::Scrolled() {
    if (!ControlsDisabled()) emit CurrentRowChanged(current_);
    if (!ControlsDisabled()) emit DataChanged(-1);
    if (AfterScroll) AfterScroll();
}

int TIBDataSet::FieldIndex(const QString &name) const {
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_.at(i).Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

TField TIBDataSet::FieldByName(const QString &name) {
    const int i = FieldIndex(name);
    if (i < 0) throw EDatabaseError(QStringLiteral("%1: Feld '%2' nicht gefunden").arg(Name(), name));
    return TField(this, i);
}

QVariant TIBDataSet::RowValue(int row, int field) const {
    if (row < 0 || row >= rows_.size() || field < 0 || field >= fields_.size()) return QVariant();
    if (row == current_ && IsEditing(state_)) return buffer_.value(field);
    return rows_.at(row).value(field);
}

QVariant TIBDataSet::CurrentValue(int field) const { return RowValue(current_, field); }

void TIBDataSet::SetCurrentValue(int field, const QVariant &value) {
    if (!IsEditing(state_))
        throw EDatabaseError(QStringLiteral("%1: Die Datenmenge ist nicht im Bearbeitungs- oder Einfügemodus").arg(Name()));
    if (field < 0 || field >= fields_.size()) return;
    buffer_[field] = value;
    modified_ = true;
    if (!ControlsDisabled()) emit RowUpdated(current_);
    if (!ControlsDisabled()) emit DataChanged(field);
}

void TIBDataSet::RegisterLink(TDataLink *link) {
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TIBDataSet::UnregisterLink(TDataLink *link) { std::erase(links_, link); }

void TIBDataSet::UpdateLinks() {
    const auto links = links_;
    for (TDataLink *l : links) l->UpdateRecord();
}

void TIBDataSet::Open() {
    if (Active()) return;
    if (!db_.Connected()) db_.Open();
    TSqlStatement stmt(Trans(), SelectText());
    auto rows = stmt.Fetch({}, true);
    fields_ = stmt.Columns();
    blobFields_.clear();
    for (int f = 0; f < fields_.size(); ++f)
        if (fields_.at(f).Kind == TFieldKind::Blob || fields_.at(f).Kind == TFieldKind::Memo) blobFields_ << f;
    rows_ = std::move(rows);
    buffer_.clear();
    modified_ = false;
    current_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
    SetState(TDataSetState::dsBrowse);
    if (!ControlsDisabled()) emit RowsReset();
    Scrolled();
}

void TIBDataSet::Close() {
    if (!Active()) return;
    rows_.clear();
    buffer_.clear();
    modified_ = false;
    current_ = -1;
    bof_ = eof_ = true;
    SetState(TDataSetState::dsInactive);
    if (!ControlsDisabled()) emit RowsReset();
    if (!ControlsDisabled()) emit DataChanged(-1);
}

void TIBDataSet::Refresh() {
    RequireActive();
    CheckBrowseMode();
    if (current_ < 0) return;
    if (RefreshSQL.isEmpty()) return;
    TSqlStatement &stmt = Prepared(refresh_, RefreshSQL);
    const auto found = stmt.Fetch(ParamsFor(stmt, rows_.at(current_), rows_.at(current_)));
    if (found.isEmpty()) return;
    TRowValues &row = rows_[current_];
    ForgetBlobIds(row);
    for (int c = 0; c < stmt.Columns().size(); ++c) {
        const int f = FieldIndex(stmt.Columns().at(c).Name);
        if (f >= 0) row[f] = found.first().at(c);
    }
    if (!ControlsDisabled()) emit RowUpdated(current_);
    if (!ControlsDisabled()) emit DataChanged(-1);
}

void TIBDataSet::First() {
    RequireActive();
    CheckBrowseMode();
    bof_ = true;
    eof_ = rows_.isEmpty();
    if (!rows_.isEmpty() && current_ != 0) {
        current_ = 0;
        Scrolled();
    }
}

void TIBDataSet::Last() {
    RequireActive();
    CheckBrowseMode();
    eof_ = true;
    bof_ = rows_.isEmpty();
    if (!rows_.isEmpty() && current_ != rows_.size() - 1) {
        current_ = int(rows_.size()) - 1;
        Scrolled();
    }
}

void TIBDataSet::Next() {
    RequireActive();
    CheckBrowseMode();
    if (current_ + 1 < rows_.size()) {
        ++current_;
        bof_ = eof_ = false;
        Scrolled();
    } else {
        eof_ = true;
    }
}

void TIBDataSet::Prior() {
    RequireActive();
    CheckBrowseMode();
    if (current_ > 0) {
        --current_;
        bof_ = eof_ = false;
        Scrolled();
    } else {
        bof_ = true;
    }
}

void TIBDataSet::MoveTo(int index) {
    RequireActive();
    if (index < 0 || index >= rows_.size() || index == current_) return;
    const bool wasInsert = state_ == TDataSetState::dsInsert;
    const int insertedAt = current_;
    const int before = RecordCount();
    CheckBrowseMode();
    // A cancelled insert takes its row away; the chosen row moved up by one.
    if (wasInsert && RecordCount() < before && index > insertedAt) --index;
    if (index < 0 || index >= rows_.size() || index == current_) return;
    current_ = index;
    bof_ = eof_ = false;
    Scrolled();
}

void TIBDataSet::CheckBrowseMode() {
    if (!IsEditing(state_)) return;
    UpdateLinks();
    if (modified_)
        Post();
    else
        Cancel();
}

void TIBDataSet::StartInsert(int position) {
    rows_.insert(position, EmptyRow());
    current_ = position;
    buffer_ = EmptyRow();
    modified_ = false;
    bof_ = eof_ = false;
    state_ = TDataSetState::dsInsert;
    if (!ControlsDisabled()) emit RowInserted(position);
    if (!ControlsDisabled()) emit StateChanged();
    if (GeneratorField && GeneratorField->ApplyEvent == TGeneratorField::Apply::OnNewRecord) {
        const int f = FieldIndex(GeneratorField->Field);
        if (f >= 0) {
            try {
                buffer_[f] = NextGeneratorValue();
            } catch (...) {
                Cancel();
                throw;
            }
        }
    }
    modified_ = false;  // defaults of a new record are not a change by the user
    Scrolled();
}

void TIBDataSet::Insert() {
    RequireActive();
    CheckBrowseMode();
    StartInsert(current_ < 0 ? 0 : current_);
}

void TIBDataSet::Append() {
    RequireActive();
    CheckBrowseMode();
    StartInsert(RecordCount());
}

void TIBDataSet::Edit() {
    RequireActive();
    if (IsEditing(state_)) return;
    if (rows_.isEmpty()) {
        Append();
        return;
    }
    buffer_ = rows_.at(current_);
    modified_ = false;
    SetState(TDataSetState::dsEdit);
    if (!ControlsDisabled()) emit DataChanged(-1);
}

qint64 TIBDataSet::NextGeneratorValue() {
    const QString sql = QStringLiteral("SELECT GEN_ID(%1, %2) FROM RDB$DATABASE")
                            .arg(GeneratorField->Generator)
                            .arg(GeneratorField->Increment);
    TSqlStatement &stmt = Prepared(generator_, QStringList{sql});
    const auto rows = stmt.Fetch();
    if (rows.isEmpty() || rows.first().isEmpty())
        throw EDatabaseError(QStringLiteral("Generator %1 lieferte keinen Wert").arg(GeneratorField->Generator));
    return rows.first().first().toLongLong();
}

TRowValues TIBDataSet::ParamsFor(const TSqlStatement &stmt, const TRowValues &values, const TRowValues &old) const {
    TRowValues params;
    params.reserve(stmt.ParamNames().size());
    for (const QString &name : stmt.ParamNames()) {
        int f = FieldIndex(name);
        const TRowValues *source = &values;
        if (f < 0 && name.startsWith(QLatin1String("OLD_"))) {
            f = FieldIndex(name.mid(4));
            source = &old;
        }
        if (f < 0) throw EDatabaseError(QStringLiteral("%1: Feld '%2' nicht gefunden").arg(Name(), name));
        // A BLOB the record did not change is handed back by its identity:
        // a picture is not sent again because a remark was edited.
        const int slot = blobFields_.indexOf(f);
        if (slot >= 0 && source == &values) {
            const QVariant id = old.value(fields_.size() + slot);
            if (id.isValid() && values.value(f) == old.value(f)) {
                params << id;
                continue;
            }
        }
        params << source->value(f);
    }
    return params;
}

void TIBDataSet::Post() {
    RequireActive();
    if (!IsEditing(state_)) return;
    UpdateLinks();
    const bool inserting = state_ == TDataSetState::dsInsert;
    if (inserting && GeneratorField && GeneratorField->ApplyEvent == TGeneratorField::Apply::OnPost) {
        const int f = FieldIndex(GeneratorField->Field);
        if (f >= 0 && buffer_.value(f).isNull()) buffer_[f] = NextGeneratorValue();
    }
    try {
        if (BeforePost) BeforePost();
        if (inserting) {
            TSqlStatement &stmt = Prepared(insert_, InsertSQL);
            stmt.Execute(ParamsFor(stmt, buffer_, EmptyRow()));
        } else {
            TSqlStatement &stmt = Prepared(modify_, ModifySQL);
            if (stmt.Execute(ParamsFor(stmt, buffer_, rows_.at(current_))) == 0)
                throw EDatabaseError(QStringLiteral("Der Datensatz wurde nicht gespeichert: die Datenbank enthält die "
                                                    "Zeile nicht mehr (keine Zeile geändert)"));
        }
    } catch (...) {
        // The record stays in editing; the hook may take back what it set.
        if (PostFailed) PostFailed();
        throw;
    }
    rows_[current_] = buffer_;
    ForgetBlobIds(rows_[current_]);  // the database may hold new BLOBs now
    buffer_.clear();
    modified_ = false;
    SetState(TDataSetState::dsBrowse);
    if (!ControlsDisabled()) emit RowUpdated(current_);
    if (!ControlsDisabled()) emit DataChanged(-1);
    if (AfterPost) AfterPost();
}

void TIBDataSet::Cancel() {
    if (!IsEditing(state_)) return;
    const bool wasInsert = state_ == TDataSetState::dsInsert;
    const int removed = current_;
    buffer_.clear();
    modified_ = false;
    // Everything is settled before anyone hears of it: listeners may act on
    // the dataset again while they are told.
    if (wasInsert) {
        rows_.removeAt(removed);
        current_ = rows_.isEmpty() ? -1 : qMin(removed, int(rows_.size()) - 1);
        eof_ = rows_.isEmpty();
    }
    state_ = TDataSetState::dsBrowse;
    if (wasInsert) if (!ControlsDisabled()) emit RowRemoved(removed);
    if (!ControlsDisabled()) emit StateChanged();
    if (wasInsert)
        Scrolled();
    else
        if (!ControlsDisabled()) emit DataChanged(-1);
}

void TIBDataSet::Delete() {
    RequireActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (rows_.isEmpty())
        throw EDatabaseError(QStringLiteral("%1: Operation bei leerer Datenmenge nicht möglich").arg(Name()));
    const TRowValues &row = rows_.at(current_);
    TSqlStatement &stmt = Prepared(delete_, DeleteSQL);
    if (stmt.Execute(ParamsFor(stmt, row, row)) == 0)
        throw EDatabaseError(QStringLiteral("Der Datensatz wurde nicht gelöscht: die Datenbank enthält die Zeile "
                                            "nicht mehr (keine Zeile geändert)"));
    const int removed = current_;
    const bool stateChanges = state_ != TDataSetState::dsBrowse;
    rows_.removeAt(removed);
    buffer_.clear();
    modified_ = false;
    current_ = rows_.isEmpty() ? -1 : qMin(removed, int(rows_.size()) - 1);
    eof_ = rows_.isEmpty();
    state_ = TDataSetState::dsBrowse;
    if (!ControlsDisabled()) emit RowRemoved(removed);
    if (stateChanges) if (!ControlsDisabled()) emit StateChanged();
    Scrolled();
}

void TIBDataSet::ForgetBlobIds(TRowValues &row) const {
    for (int i = 0; i < blobFields_.size(); ++i)
        if (fields_.size() + i < row.size()) row[fields_.size() + i] = QVariant();
}

void TIBDataSet::DisableControls() { ++disableCount_; }

void TIBDataSet::EnableControls() {
    if (disableCount_ == 0 || --disableCount_ > 0) return;
    // Whatever happened meanwhile, the widgets catch up in one step.
    emit RowsReset();
    emit StateChanged();
    emit CurrentRowChanged(current_);
    emit DataChanged(-1);
}

// --- TIBQuery -------------------------------------------------------------------

quint64 TIBQuery::ExecSQL() {
    if (!Database().Connected()) Database().Open();
    TSqlStatement stmt(Trans(), SelectText());
    return stmt.Execute();
}

// --- TDataSource ----------------------------------------------------------------

TDataSource::TDataSource(TIBDataSet *dataSet, const QString &name, QObject *parent) : QObject(parent), ds_(dataSet) {
    setObjectName(name);
    connect(ds_, &TIBDataSet::StateChanged, this, &TDataSource::StateChange);
    connect(ds_, &TIBDataSet::DataChanged, this, &TDataSource::DataChange);
}
