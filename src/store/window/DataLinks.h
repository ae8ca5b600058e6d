#pragma once
// Links between widgets and the fields of a dataset. A link shows the
// current record's value, puts the dataset into editing when the user types
// (auto-edit), sets the modified mark on user input, and hands the typed
// text over when a post starts or the widget loses the focus.
//
// Typed characters that Windows-1252 cannot hold are refused at once.

#include <QFontMetrics>
#include <QAbstractTableModel>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

#include "store/core/DataSet.h"
#include "store/core/FieldText.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/window/TextEntry.h"


// What a line edit's and a memo's link share: following the record, taking
// what the user types, refusing what the code page cannot hold, handing the
// text over. The widget kinds differ only in how their text is read and set.
class TFieldLink : public QObject, public TDataLink {
    Q_OBJECT
public:
    ~TFieldLink() override;
    void UpdateRecord() override;
    QString FieldName() const { return field_; }
    // The control's text in stored form; while the dataset's controls are
    // disabled, the text it would show for the current record.
    QString ControlText() const;
    // A link that only shows its field: what the user types stays in the
    // widget (the record is still put into editing and marked modified) and
    // is read by whoever owns the field.
    void SetWritesField(bool writes) { writes_ = writes; }
    bool WritesField() const { return writes_; }

protected:
    TFieldLink(QWidget *widget, TDataSource *source, const QString &fieldName);
    // Called by the subclass once its widget is wired.
    void Start();
    // The user changed the widget's text.
    void OnUserText(const QString &shown);

    virtual QString WidgetText() const = 0;
    virtual void SetWidgetText(const QString &shown) = 0;
    virtual bool WidgetReadOnly() const = 0;
    virtual int CursorPosition() const = 0;
    virtual void SetCursorPosition(int position) = 0;
    // Shown and stored forms of the text (memos differ in their line ends).
    virtual QString Shown(const QString &stored) const { return stored; }
    virtual QString Stored(const QString &shown) const { return shown; }

    bool quiet_ = false;  // set while the link itself changes widget or record

private:
    void Load();
    QPointer<QWidget> widget_;
    QPointer<TDataSource> source_;
    QString field_;
    QString lastGood_;
    bool pending_ = false;
    bool writes_ = true;
};

class TDBEditLink : public TFieldLink {
    Q_OBJECT
public:
    TDBEditLink(QLineEdit *edit, TDataSource *source, const QString &fieldName);
    QLineEdit *Edit() const { return edit_; }

protected:
    QString WidgetText() const override;
    void SetWidgetText(const QString &shown) override;
    bool WidgetReadOnly() const override;
    int CursorPosition() const override;
    void SetCursorPosition(int position) override;

private:
    QPointer<QLineEdit> edit_;
};

class TDBMemoLink : public TFieldLink {
    Q_OBJECT
public:
    TDBMemoLink(QPlainTextEdit *memo, TDataSource *source, const QString &fieldName);
    // The memo's text in its stored form (CR LF line ends).
    static QString StoredText(const QPlainTextEdit *memo);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    QString WidgetText() const override;
    void SetWidgetText(const QString &shown) override;
    bool WidgetReadOnly() const override;
    int CursorPosition() const override;
    void SetCursorPosition(int position) override;
    QString Shown(const QString &stored) const override { return StoredToMemo(stored); }
    QString Stored(const QString &shown) const override { return MemoToStored(shown); }

private:
    QPointer<QPlainTextEdit> memo_;
};

struct TGridColumn {
    QString FieldName;
    QString Title;
    bool ReadOnly = true;
};

class TDBGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TDBGridModel(TDataSource *source, QVector<TGridColumn> columns, QObject *parent = nullptr);
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    TDataSource *Source() const { return source_; }
    const QVector<TGridColumn> &Columns() const { return columns_; }

private:
    int FieldOf(int column) const;
    QPointer<TDataSource> source_;
    QVector<TGridColumn> columns_;
    int count_ = 0;
};

// How a grid heading is shown in `width` pixels: whole and centred when it
// fits, otherwise from its first letter, cut at the end with an ellipsis.
struct THeadingFit {
    QString Shown;
    Qt::Alignment Align;
};
THeadingFit FitHeading(const QString &text, const QFontMetrics &metrics, int width);

// A grid bound to a data source: rows in dataset order, the selected row is
// the current record, the current cell is drawn bold, and cells of columns
// that are not read-only can be edited while the record is being edited.
class TDBGridView : public QTableView, public TDataLink {
    Q_OBJECT
    friend class TDBGridDelegate;

public:
    TDBGridView(QWidget *parent = nullptr);
    ~TDBGridView() override;
    void SetDataSource(TDataSource *source, QVector<TGridColumn> columns);
    TDataSource *DataSource() const { return source_; }
    TDBGridModel *GridModel() const { return model_; }
    void UpdateRecord() override;  // commits an open cell editor
    void SetRowHeight(int pixels);
    // Pixels a cell needs to show `sample` whole, also drawn bold as the
    // current cell is.
    int CellWidthFor(const QString &sample) const;
    void SetEditorMaxLength(int length) { editorMaxLength_ = length; }
    int EditorMaxLength() const { return editorMaxLength_; }

signals:
    void CellClicked(int row, int column);
    // The user ended a cell edit with Enter, or abandoned it with Escape.
    void EditorAccepted();
    void EditorCancelled();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void SyncToDataSet();
    QPointer<TDataSource> source_;
    TDBGridModel *model_ = nullptr;
    bool syncing_ = false;
    int editorMaxLength_ = 32767;
};
