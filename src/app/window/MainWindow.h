#pragma once
// The main window TfrmMain: menus, tool bars, the project list with the
// month calendar, the six tabs and the status bar. It hosts the tabs of the
// other subsystems and offers them the shell (status message, log line,
// save button, general error box).

#include <QDateTime>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <memory>

#include "app/window/StatusBarMain.h"
#include "platform/window/HelpViewer.h"
#include "store/window/DataLinks.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"
#include "vault/core/LbSHA1.h"

class THotLog;
class TPlannerCalendar;
class TProjectList;
class TEmailTab;
class TTelefonTab;
class TAccessDataTab;
class TToDoTab;
class TTermineTab;
class TCalendarMarksView;

class TfrmMain : public QMainWindow, public TShell {
    Q_OBJECT
public:
    // programFile: the executable's full path (its folder is the program folder).
    TfrmMain(const QString &programFile, THotLog &log, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // --- start-up and end, in the order the program runs them ---
    void FormCreate();
    // The data module and the windows exist now: bind the grids and tabs.
    void AttachDataModule(TDataModule1 *dataModule, std::function<QString()> fileVersion);
    void FormShow();
    bool FormCloseQuery();
    void FormDestroy();
    // Ends the program without the unsaved-records question (the session
    // ends): what was written is committed, pending edits are dropped.
    void CloseWithoutAsking();
    // Non-zero after a critical error ended the program.
    int ExitCode() const { return exitCode_; }

    // --- the shell ---
    void StatusMessage(const QString &text) override;
    QString CurrentStatusMessage() const override;
    void LogLine(const QString &message) override;
    void SetSaveEnabled(bool enabled) override;
    bool SaveEnabled() const override;
    void ShowError(const std::exception &e) override;
    void EndProgram() override;

    // --- handlers of this window ---
    void Hilfe2Click();
    void Info1Click();
    void ToolBtnAboutClick();
    void MasterKennwort1Click();
    void Update1Click();
    void AdvTabSheetLogShow();
    void AdvTabSheetZugangsdatenShow();
    void AdvTabSheetEmailShow();
    void AdvTabSheetTelefonShow();
    void SetCalendarToday();
    // Puts the focus into the shown tab: the first open field of a record
    // being edited, else the tab's list.
    void FocusIntoTab();
    // Enter in the page's single-line fields saves; for a tab built later.
    void ConnectEnterToSave(QWidget *page);
    void TimerUpdateCheckTimer();

    // The show handler of each tab, run when the tab is shown and (for the
    // tabs whose grids fill their width) when its page is resized. Every
    // tab registers itself here; the window iterates this one list.
    struct TTabShow {
        QWidget *Page;
        std::function<void()> Show;
        bool FitsOnResize = true;
    };
    QList<TTabShow> TabShows;
    void RegisterTabShow(QWidget *page, std::function<void()> show, bool fitsOnResize = true);

    // Windows shown modally by this window's commands; set by the start-up.
    std::function<void()> ShowAboutBox, ShowMasterKW, ShowUpdate;
    // "Now" for the automatic update check (tests move it).
    std::function<QDateTime()> UpdateCheckNow = [] { return QDateTime::currentDateTime(); };
    // Rebuilds the calendar's markers for the shown month.
    std::function<void()> LoadCalendarMarks;

    QString ProgramFile;
    QString HelpFile;  // program folder + "tresoro.chm"
    TDataModule1 *DataModule1 = nullptr;
    TProjectList *Projects = nullptr;
    TEmailTab *EmailTab = nullptr;
    TTelefonTab *TelefonTab = nullptr;
    TAccessDataTab *AccessData = nullptr;  // the tab "Zugangsdaten", built by the start-up
    TToDoTab *ToDoTab = nullptr;
    TTermineTab *TermineTab = nullptr;
    TCalendarMarksView *CalendarMarks = nullptr;
    THotLog &Log;
    TLbSHA1 LbSHA11;

    // --- controls, named as the program names them ---
    QMenuBar *TBToolbarMenue;
    QMenu *MenuProjekt, *MenuOptionen, *MenuHilfe;
    QAction *TBItemHinzufuegen, *TBItemBearbeiten, *TBItemSichern, *TBItemLoeschen;
    QAction *TBItemMasterKW, *TBItemUpdate, *TBItemBackup, *TBItemRestore;
    QAction *TBItemAbout, *TBItemHilfe;
    QToolBar *TBToolbarProjekt, *TBToolbarOptionen;
    QAction *BtnInsert, *BtnSave, *BtnEdit, *BtnProjektAbbrechen, *BtnDelete;
    QAction *BtnMasterkey, *BtnWebUpdate, *BtnInfo;
    QMenu *TBPopupMenuToolbars;
    QAction *TBPopupProjekt, *TBPopupOptionen;

    QWidget *PanelProjektliste;
    TDBGridView *DBGridProjekte;
    TPlannerCalendar *PlannerCalendar;
    QSplitter *AdvSplitter1;
    QWidget *PanelProjektdetails;
    QTabWidget *AdvPageControl;
    QWidget *AdvTabSheetZugangsdaten, *AdvTabSheetEmail, *AdvTabSheetTelefon;
    QWidget *AdvTabSheetToDo, *AdvTabSheetTermine, *AdvTabSheetLog;
    QPlainTextEdit *MemoLog;
    TDBGridView *DBAdvGridZugangsdaten;

    QMenu *PopupMenuProjektliste, *PopupMenuZugangsdaten, *PopupMenuEmail, *PopupMenuTelefon;
    QMenu *PopupMenuToDo, *PopupMenuTermine, *PopupMenuKalender;

    TStatusBarMain *StatusBarMain;
    QTimer *TimerUpdateCheck;
    THelpViewer HelpViewer;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    QMenu *createPopupMenu() override;

private:
    void BuildMenus();
    void BuildToolBars();
    void BuildPanels();
    void BuildTabs();
    QAction *MakeAction(const char *name, const QString &text, const QString &hint, ImageListMain::Index icon);
    void ConnectDataModule();
    void InstallKeys();
    void NameControls();
    void CriticalOpenError();
    void TabShown(int index);
    // The first control of the page the Tab key reaches (openOnly: that
    // takes typing), the page's list, and the focus put into the shown tab.
    static QWidget *FirstField(QWidget *page, bool openOnly);
    static bool IsOpenField(const QWidget *w);
    static QAbstractItemView *TabList(QWidget *page);

    std::function<QString()> fileVersion_;
    int exitCode_ = 0;
    bool closingWithoutSave_ = false;
    bool destroyed_ = false;
    QMetaObject::Connection focusWatch_;
};
