#pragma once
// What the e-mail and phone tabs have in common: a tool bar with add, edit,
// cancel and delete, an entry panel, a splitter and a read-only grid of the
// current project's rows, the shared enabling rules, the after-save hook and
// the common shape of a delete.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QToolBar>
#include <array>
#include <functional>

#include "records/window/ProjectList.h"
#include "store/core/Enabling.h"
#include "store/core/Workflow.h"

class TDetailTab : public QObject {
    Q_OBJECT
public:
    TDetailTab(QWidget *page, QMenu *popup, TDataModule1 &dm, TShell &shell, TProjectList &projects, TIBDataSet *ds,
               TDataSource *source);

    // The common commands of a detail tab.
    void Add();
    void EditRecord();
    void CancelRecord();
    // Asks, deletes the current record, commits and reports; true when deleted.
    // `what` names the record kind: "Emailadresse ", "Telefonnummer ".
    bool DeleteRecord(const QString &keyField, const QString &nothingToDelete, const QString &question, const QString &what);
    // The shared enabling rules for this tab's fields and buttons.
    void ApplyStateRules();
    // Commit retaining and the log line "<prefix> zu Projekt <NAME> wurden gesichert".
    void AfterSave(const QString &what);

    QToolBar *ToolBar = nullptr;
    QAction *BtnInsert = nullptr, *BtnEdit = nullptr, *BtnAbbrechen = nullptr, *BtnDelete = nullptr;
    QWidget *EntryPanel = nullptr;
    QSplitter *Splitter = nullptr;
    TDBGridView *Grid = nullptr;
    QList<QLineEdit *> Fields;
    // The tab kind's enabling table.
    const TEnablingTable *Enabling = &enabling::kContacts;

protected:
    // Builds the tool bar (names and hints of the tab's four buttons), the
    // entry panel of 68 pixels and the grid below a splitter.
    void BuildFrame(const char *toolBarName, const std::array<std::pair<const char *, QString>, 4> &buttons,
                    const char *panelName, const char *gridName, QVector<TGridColumn> columns);
    QLineEdit *AddField(QWidget *parent, const char *name, const QString &field, int width, const QString &hint);
    void AddPopupEntries(const std::array<QString, 4> &captions, std::function<void()> onDelete);
    QVariant CurrentProjectId() const;

    QWidget *page_;
    QMenu *popup_;
    TDataModule1 &dm_;
    TShell &shell_;
    TProjectList &projects_;
    TIBDataSet *ds_;
    TDataSource *source_;
};

class TEmailTab : public TDetailTab {
    Q_OBJECT
public:
    TEmailTab(QWidget *page, QMenu *popup, TDataModule1 &dm, TShell &shell, TProjectList &projects);
    ~TEmailTab() override;

    void BtnInsertEmailClick() { Add(); }
    void BtnEditEmailClick() { EditRecord(); }
    void BtnEmailAbbrechenClick() { CancelRecord(); }
    void BtnDeleteEmailClick();
    void IBDataSetEmailBeforePost();
    void IBDataSetEmailAfterPost() { AfterSave(QStringLiteral("Emaildaten")); }
    void DataSourceEmailStateChange() { ApplyStateRules(); }
    void AdvTabSheetEmailShow();

    QLineEdit *DBAdvEditEmailadresse = nullptr;
};

class TTelefonTab : public TDetailTab {
    Q_OBJECT
public:
    TTelefonTab(QWidget *page, QMenu *popup, TDataModule1 &dm, TShell &shell, TProjectList &projects);
    ~TTelefonTab() override;

    void BtnInsertTelefonClick() { Add(); }
    void BtnEditTelefonClick() { EditRecord(); }
    void BtnTelefonAbbrechenClick() { CancelRecord(); }
    void BtnDeleteTelefonClick();
    void IBDataSetTelefonBeforePost();
    void IBDataSetTelefonAfterPost() { AfterSave(QStringLiteral("Telefondaten")); }
    void DataSourceTelefonStateChange() { ApplyStateRules(); }
    void AdvTabSheetTelefonShow();

    QLineEdit *DBAdvEditTelefonName = nullptr;
    QLineEdit *DBAdvEditTelefonnummer = nullptr;
};
