#pragma once
// The tab "Zugangsdaten": tool bar, context menu, input area (user ID,
// password with its reveal button, remark), the place of the screenshot
// panel, and the grid below a splitter. The rules live in TAccessDataRules.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QObject>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <memory>

#include "store/window/DataLinks.h"
#include "vault/core/AccessDataRules.h"

class TDBGridView;
class TfrmInputMaster;
class TfrmKennwort;

// What the main window lends the tab.
struct TAccessDataHost {
    QTabWidget *PageControl = nullptr;
    QWidget *Page = nullptr;                // AdvTabSheetZugangsdaten, holding the grid
    TDBGridView *Grid = nullptr;            // DBAdvGridZugangsdaten, already bound
    QMenu *PopupMenu = nullptr;             // PopupMenuZugangsdaten
    TLbSHA1 *Digest = nullptr;              // the main window's LbSHA11
    TfrmInputMaster *InputMaster = nullptr; // the prompt before a reveal
    TfrmKennwort *Kennwort = nullptr;       // the window showing the password
};

class TAccessDataTab : public QObject {
    Q_OBJECT
public:
    TAccessDataTab(TDataModule1 &dm, TShell &shell, TVaultState &state, const TAccessDataHost &host,
                   QObject *parent = nullptr);
    ~TAccessDataTab() override;

    // Commands.
    void BtnInsertZugangsdatenClick();
    void BtnEditZugangsdatenClick();
    void BtnZugangsdatenAbbrechenClick();
    void BtnDeleteZugangsdatenClick();
    void SpeedButtonDecryptClick();
    // Hooks and handlers.
    void IBDataSetZugangsdatenBeforePost() { rules_->BeforePost(); }
    void IBDataSetZugangsdatenAfterPost() { rules_->AfterPost(); }
    void DataSourceZugangsdatenStateChange();
    void DBEditKennwortValueValidate(const QString &text);
    // The save command's step before it posts an access record: ends input
    // in the access-data fields.
    void EndAccessDataInput();

    TAccessDataRules &Rules() { return *rules_; }

    // --- controls, named as the program names them ---
    QToolBar *ToolBarZugangsdaten;
    QAction *BtnInsertZugangsdaten, *BtnEditZugangsdaten, *BtnZugangsdatenAbbrechen, *BtnDeleteZugangsdaten;
    QAction *BtnImport = nullptr;  // the screenshot commands add it
    QAction *Zugangsdatenhinzufgen1, *Zugangsdatenbearbeiten1, *Zugangsdatenlschen1, *Bearbeitungabbrechen3;
    QSplitter *SplitterZugangsdaten;  // input area above, grid below
    QWidget *PanelZugangsdatenEingabe;
    QSplitter *SplitterZugangsdatenImage;  // details left, screenshot right
    QWidget *PanelZugangsdatenDetails;
    QWidget *PanelZugangsdatenImage;
    QLabel *Label5, *Label6, *Label16;
    QLineEdit *DBEditUserID, *DBEditKennwort;
    QToolButton *SpeedButtonDecrypt;
    QPlainTextEdit *DBMemoBemerkung;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    bool TabShown() const;

    TDataModule1 &dm_;
    TShell &shell_;
    TVaultState &state_;
    TAccessDataHost host_;
    std::unique_ptr<TAccessDataRules> rules_;
    int leaveRuns_ = 0;
    TFieldLink *userIdLink_ = nullptr;
    TFieldLink *passwordLink_ = nullptr;
    TFieldLink *remarkLink_ = nullptr;
};
