#pragma once
// The dataset engine: rows in server order, a current row, a state, a
// modified mark, before- and after-save hooks and change notifications.
// Every widget reaches fields through links (DataLinks.h) that talk to this.

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

#include "store/core/IBDatabase.h"
#include "store/core/SqlStatement.h"

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// "Inactive", "Browse", "Edit", "Insert": the names the status bars show.
QString StateName(TDataSetState state);
inline bool IsEditing(TDataSetState s) { return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert; }

class TIBDataSet;

// A handle on one field of a dataset's current record.
class TField {
public:
    TField(TIBDataSet *dataSet, int index) : ds_(dataSet), index_(index) {}

    QString FieldName() const;
    TFieldKind Kind() const;
    int Index() const { return index_; }

    QVariant Value() const;
    void SetValue(const QVariant &value);  // needs Edit or Insert; sets the modified mark
    bool IsNull() const;
    void Clear() { SetValue(QVariant()); }

    QString AsString() const;  // the shown text (dates German, empty for NULL)
    int AsInteger() const;     // 0 for NULL
    qint64 AsLargeInt() const;
    QDateTime AsDateTime() const;
    QByteArray AsBytes() const;

private:
    TIBDataSet *ds_;
    int index_;
};

// Widgets bound to a dataset hand their pending input over before a post.
class TDataLink {
public:
    virtual ~TDataLink() = default;
    virtual void UpdateRecord() = 0;
};

struct TGeneratorField {
    enum class Apply { OnNewRecord, OnPost };
    QString Generator;
    QString Field = QStringLiteral("ID");
    int Increment = 1;
    Apply ApplyEvent = Apply::OnPost;
};

class TIBDataSet : public QObject {
    Q_OBJECT
public:
    TIBDataSet(TIBDatabase &db, const QString &name, QObject *parent = nullptr);
    ~TIBDataSet() override;

    QString Name() const { return objectName(); }
    TIBDatabase &Database() const { return db_; }
    TIBTransaction *Transaction = nullptr;  // the connection's default when null

    // Statements as lines; each line is sent followed by a line break.
    QStringList SelectSQL, InsertSQL, ModifySQL, DeleteSQL, RefreshSQL;
    std::optional<TGeneratorField> GeneratorField;

    // Hooks, run synchronously inside the command that triggers them.
    std::function<void()> BeforePost;
    std::function<void()> AfterPost;
    std::function<void()> PostFailed;   // the before-save hook ran, the row was not written
    std::function<void()> AfterScroll;  // another row became current (also after open)

    bool Active() const { return state_ != TDataSetState::dsInactive; }
    TDataSetState State() const { return state_; }

    void Open();
    void Close();  // drops an edit without posting
    void Refresh();  // re-reads the current row

    int RecordCount() const { return int(rows_.size()); }
    bool IsEmpty() const { return rows_.isEmpty(); }
    int RecNo() const { return current_; }  // 0-based, -1 without rows
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    void First();
    void Last();
    void Next();
    void Prior();
    // Makes row `index` current; an edit is posted first when modified,
    // otherwise cancelled.
    void MoveTo(int index);

    void Insert();  // new record before the current one
    void Append();  // new record after the last
    void Edit();    // on an empty dataset this starts an insert
    void Post();
    void Cancel();
    void Delete();
    // Posts a modified record, cancels an unmodified one.
    void CheckBrowseMode();

    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified && IsEditing(state_); }

    int FieldCount() const { return int(fields_.size()); }
    const QVector<TColumnInfo> &FieldDefs() const { return fields_; }
    int FieldIndex(const QString &name) const;  // -1 when unknown
    TField FieldByName(const QString &name);    // throws EDatabaseError when unknown
    TField Fields(int index) { return TField(this, index); }

    // Values for grids: the edit buffer stands in for the current row while editing.
    QVariant RowValue(int row, int field) const;
    QVariant CurrentValue(int field) const;
    void SetCurrentValue(int field, const QVariant &value);

    void RegisterLink(TDataLink *link);
    void UnregisterLink(TDataLink *link);
    void UpdateLinks();  // hands pending widget input to the record

    // While controls are disabled the widgets bound to the dataset do not
    // follow it (the hooks still run); enabling them again brings them up to
    // date at once. Calls nest.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // Called by the connection before it detaches.
    void Disconnecting();

    // Text of the select statement as sent.
    QString SelectText() const;
    static QString StatementText(const QStringList &lines);

signals:
    void StateChanged();
    void DataChanged(int field);  // -1: the whole record or dataset
    void RowsReset();
    void RowInserted(int row);
    void RowRemoved(int row);
    void RowUpdated(int row);
    void CurrentRowChanged(int row);

protected:
    TIBTransaction &Trans() const;
    TSqlStatement &Prepared(std::unique_ptr<TSqlStatement> &slot, const QStringList &lines);
    TRowValues ParamsFor(const TSqlStatement &stmt, const TRowValues &values, const TRowValues &old) const;
    qint64 NextGeneratorValue();
    void SetState(TDataSetState s);
    void Scrolled();
    void ReleaseStatements();
    void RequireActive() const;
    // A row holds its fields, then the stored identity of each BLOB field.
    TRowValues EmptyRow() const { return TRowValues(fields_.size() + blobFields_.size()); }
    void ForgetBlobIds(TRowValues &row) const;
    void StartInsert(int position);

private:
    TIBDatabase &db_;
    TDataSetState state_ = TDataSetState::dsInactive;
    QVector<TColumnInfo> fields_;
    QVector<int> blobFields_;  // the BLOB fields, in the order of their identities
    QVector<TRowValues> rows_;
    TRowValues buffer_;  // current record while editing
    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    bool modified_ = false;
    int disableCount_ = 0;
    std::vector<TDataLink *> links_;
    std::unique_ptr<TSqlStatement> insert_, modify_, delete_, refresh_, generator_;
};

// Disables a dataset's controls for its lifetime, also when an error leaves.
class TDisabledControls {
public:
    explicit TDisabledControls(TIBDataSet *ds) : ds_(ds) { ds_->DisableControls(); }
    ~TDisabledControls() { ds_->EnableControls(); }
    TDisabledControls(const TDisabledControls &) = delete;
    TDisabledControls &operator=(const TDisabledControls &) = delete;

private:
    TIBDataSet *ds_;
};

// A free query for short statements; its data source reports open and close.
class TIBQuery : public TIBDataSet {
    Q_OBJECT
public:
    TIBQuery(TIBDatabase &db, const QString &name, QObject *parent = nullptr) : TIBDataSet(db, name, parent) {}
    QStringList &SQL() { return SelectSQL; }
    // Runs a statement that returns no rows; returns the rows changed.
    quint64 ExecSQL();
};

// The data source of a dataset: widgets and state-change handlers listen here.
class TDataSource : public QObject {
    Q_OBJECT
public:
    TDataSource(TIBDataSet *dataSet, const QString &name, QObject *parent = nullptr);
    TIBDataSet *DataSet() const { return ds_; }
    TDataSetState State() const { return ds_ ? ds_->State() : TDataSetState::dsInactive; }
    bool AutoEdit = true;
    // Runs the state-change handlers without a change of state.
    void NotifyStateChange() { emit StateChange(); }

signals:
    void StateChange();
    void DataChange(int field);

private:
    QPointer<TIBDataSet> ds_;
};
