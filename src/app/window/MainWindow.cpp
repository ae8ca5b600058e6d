#include "app/window/MainWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/window/icons/ImageListMain.h"
#include "planning/window/PlannerCalendar.h"
#include "platform/core/Dialogs.h"
#include "records/window/DetailTab.h"
#include "records/window/ProjectList.h"
#include "services/core/HotLog.h"
#include "services/window/HotLogMemo.h"
#include "services/core/updatecheck/UpdateCheck.h"
#include "records/window/TabFrame.h"
#include "platform/window/KeyHints.h"
#include "planning/window/CalendarMarksView.h"
#include "planning/window/TermineTab.h"
#include "planning/window/ToDoTab.h"
#include "store/window/Looks.h"

#ifndef TRESORO_HOMEPAGE
#define TRESORO_HOMEPAGE "https://www.tresoro.example"
#endif

namespace {

const char *const kProjektNamen = "Projekt";
const char *const kOptionenNamen = "Optionen";

}  // namespace

TfrmMain::TfrmMain(const QString &programFile, THotLog &log, QWidget *parent)
    : QMainWindow(parent), ProgramFile(programFile), Log(log) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tresoro"));
    setWindowIcon(ImageListMain::ApplicationIcon());
    resize(956, 573);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    keyhints::InstallFocusRing();
    BuildMenus();
    BuildToolBars();
    BuildPanels();
    BuildTabs();
    StatusBarMain = new TStatusBarMain(QStringLiteral(TRESORO_HOMEPAGE), this);
    setStatusBar(StatusBarMain);
    TimerUpdateCheck = new QTimer(this);
    TimerUpdateCheck->setObjectName(QStringLiteral("TimerUpdateCheck"));
    TimerUpdateCheck->setInterval(500);
    TimerUpdateCheck->setSingleShot(true);
    connect(TimerUpdateCheck, &QTimer::timeout, this, &TfrmMain::TimerUpdateCheckTimer);
}

TfrmMain::~TfrmMain() {
    // Closing hands the focus on while this window is already half gone.
    disconnect(focusWatch_);
    if (!destroyed_) FormDestroy();
    Log.DetachMemo();
    // The data module outlives this window; it must not call back into it.
    if (DataModule1) {
        DataModule1->OnAfterConnect = nullptr;
        DataModule1->OnAfterDisconnect = nullptr;
    }
    delete EmailTab;
    delete TelefonTab;
    delete Projects;
}

QAction *TfrmMain::MakeAction(const char *name, const QString &text, const QString &hint, ImageListMain::Index icon) {
    auto *a = new QAction(ImageListMain::Icon(icon), text, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(hint);
    return a;
}

void TfrmMain::BuildMenus() {
    TBToolbarMenue = new QMenuBar(this);
    TBToolbarMenue->setObjectName(QStringLiteral("TBToolbarMenue"));
    setMenuBar(TBToolbarMenue);

    MenuProjekt = TBToolbarMenue->addMenu(QStringLiteral("&Projekt"));
    TBItemHinzufuegen = MakeAction("TBItemHinzufuegen", QStringLiteral("&Hinzufügen"), QStringLiteral("Projekt hinzufügen"), ImageListMain::Add);
    TBItemBearbeiten = MakeAction("TBItemBearbeiten", QStringLiteral("&Bearbeiten"),
                                  QStringLiteral("Projekt bearbeiten (umbenennen)"), ImageListMain::Edit);
    TBItemSichern = MakeAction("TBItemSichern", QStringLiteral("&Sichern"), QStringLiteral("Projekt sichern"), ImageListMain::Save);
    TBItemLoeschen = MakeAction("TBItemLoeschen", QStringLiteral("&Löschen"), QStringLiteral("Projekt löschen"), ImageListMain::Delete);
    MenuProjekt->addActions({TBItemHinzufuegen, TBItemBearbeiten, TBItemSichern, TBItemLoeschen});

    MenuOptionen = TBToolbarMenue->addMenu(QStringLiteral("&Optionen"));
    TBItemMasterKW = MakeAction("TBItemMasterKW", QStringLiteral("&Masterkennwort"),
                                QStringLiteral("Masterkennwort anlegen oder ändern"), ImageListMain::MasterPassword);
    TBItemUpdate = MakeAction("TBItemUpdate", QStringLiteral("Auf &Internet-Update prüfen"),
                              QStringLiteral("Auf Vorhandensein eines Updates prüfen"), ImageListMain::UpdateCheck);
    TBItemBackup = MakeAction("TBItemBackup", QStringLiteral("&Backup der DB"),
                              QStringLiteral("Die Datenbank wird gesichert (-> TRESORO.GBK)"), ImageListMain::Backup);
    TBItemRestore = MakeAction("TBItemRestore", QStringLiteral("DB aus Backup &wiederherstellen"),
                               QStringLiteral("Die Datenbank wird wiederhergestellt (aus -> TRESORO.GBK) und dadurch "
                                              "überschrieben!"),
                               ImageListMain::Restore);
    MenuOptionen->addActions({TBItemMasterKW, TBItemUpdate});
    MenuOptionen->addSeparator();
    MenuOptionen->addActions({TBItemBackup, TBItemRestore});

    MenuHilfe = TBToolbarMenue->addMenu(QStringLiteral("&Hilfe"));
    TBItemAbout = MakeAction("TBItemAbout", QStringLiteral("&About Tresoro"), QStringLiteral("Programmhinweise"), ImageListMain::ProgramInfo);
    TBItemHilfe = MakeAction("TBItemHilfe", QStringLiteral("H&ilfe"), QStringLiteral("Aufruf der Hilfe zu Tresoro"), ImageListMain::Help);
    TBItemHilfe->setShortcut(QKeySequence(Qt::Key_F1));
    TBItemHilfe->setShortcutContext(Qt::ApplicationShortcut);
    MenuHilfe->addActions({TBItemAbout, TBItemHilfe});
    for (QMenu *m : {MenuProjekt, MenuOptionen, MenuHilfe}) m->setToolTipsVisible(true);

    connect(TBItemMasterKW, &QAction::triggered, this, &TfrmMain::MasterKennwort1Click);
    connect(TBItemUpdate, &QAction::triggered, this, &TfrmMain::Update1Click);
    connect(TBItemAbout, &QAction::triggered, this, &TfrmMain::Info1Click);
    connect(TBItemHilfe, &QAction::triggered, this, &TfrmMain::Hilfe2Click);
}

void TfrmMain::BuildToolBars() {
    TBToolbarProjekt = addToolBar(QString::fromUtf8(kProjektNamen));
    TBToolbarProjekt->setObjectName(QStringLiteral("TBToolbarProjekt"));
    BtnInsert = MakeAction("BtnInsert", QStringLiteral("Projekt hinzufügen"), QStringLiteral("Projekt hinzufügen"), ImageListMain::Add);
    BtnSave = MakeAction("BtnSave", QStringLiteral("Sichern"), QStringLiteral("Sichern"), ImageListMain::Save);
    BtnEdit = MakeAction("BtnEdit", QStringLiteral("Projekt umbenennen"), QStringLiteral("Projekt umbenennen"), ImageListMain::Edit);
    BtnProjektAbbrechen = MakeAction("BtnProjektAbbrechen", QStringLiteral("Bearbeiten abbrechen"),
                                     QStringLiteral("Bearbeiten abbrechen"), ImageListMain::CancelEditing);
    BtnDelete = MakeAction("BtnDelete", QStringLiteral("Projekt löschen"),
                           QStringLiteral("Projekt löschen (inkl. Detaildatensätze!)"), ImageListMain::Delete);
    TBToolbarProjekt->addActions({BtnInsert, BtnSave, BtnEdit, BtnProjektAbbrechen, BtnDelete});
    tabframe::NameRecordKeys({BtnInsert, BtnEdit, BtnProjektAbbrechen, BtnDelete});
    keyhints::NameKeys(BtnSave, keyhints::KeyText(QKeySequence(Qt::CTRL | Qt::Key_S)));

    TBToolbarOptionen = addToolBar(QString::fromUtf8(kOptionenNamen));
    TBToolbarOptionen->setObjectName(QStringLiteral("TBToolbarOptionen"));
    BtnMasterkey = MakeAction("BtnMasterkey", QStringLiteral("Masterkennwort"), QStringLiteral("Masterkennwort anlegen/ändern"), ImageListMain::MasterPassword);
    BtnWebUpdate = MakeAction("BtnWebUpdate", QStringLiteral("WebUpdate"), QStringLiteral("auf WebUpdate prüfen"), ImageListMain::UpdateCheck);
    BtnInfo = MakeAction("BtnInfo", QStringLiteral("Programminfos"), QStringLiteral("Programminfos"), ImageListMain::ProgramInfo);
    TBToolbarOptionen->addActions({BtnMasterkey, BtnWebUpdate, BtnInfo});
    // No key of their own: the hint names the way through the menu.
    keyhints::NameKeys(BtnMasterkey, QStringLiteral("Alt+O, M"));
    keyhints::NameKeys(BtnWebUpdate, QStringLiteral("Alt+O, I"));
    keyhints::NameKeys(BtnInfo, QStringLiteral("Alt+H, A"));
    for (QToolBar *bar : {TBToolbarProjekt, TBToolbarOptionen}) {
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        bar->setIconSize(QSize(16, 16));
        for (QAction *a : bar->actions())
            if (QWidget *w = bar->widgetForAction(a)) w->setObjectName(a->objectName() + QStringLiteral("Button"));
    }
    connect(BtnMasterkey, &QAction::triggered, this, &TfrmMain::MasterKennwort1Click);
    connect(BtnWebUpdate, &QAction::triggered, this, &TfrmMain::Update1Click);
    connect(BtnInfo, &QAction::triggered, this, &TfrmMain::ToolBtnAboutClick);

    TBPopupMenuToolbars = new QMenu(this);
    TBPopupMenuToolbars->setObjectName(QStringLiteral("TBPopupMenuToolbars"));
    TBPopupProjekt = TBPopupMenuToolbars->addAction(QString::fromUtf8(kProjektNamen));
    TBPopupOptionen = TBPopupMenuToolbars->addAction(QString::fromUtf8(kOptionenNamen));
    for (auto [action, bar] : {std::pair{TBPopupProjekt, TBToolbarProjekt}, std::pair{TBPopupOptionen, TBToolbarOptionen}}) {
        action->setCheckable(true);
        action->setChecked(true);
        connect(action, &QAction::toggled, bar, &QToolBar::setVisible);
        connect(bar, &QToolBar::visibilityChanged, action, [action, bar] {
            if (!bar->window()->isHidden()) action->setChecked(bar->isVisible());
        });
    }
    TBToolbarMenue->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TBToolbarMenue, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { TBPopupMenuToolbars->popup(TBToolbarMenue->mapToGlobal(p)); });
}

QMenu *TfrmMain::createPopupMenu() {
    // The tool bars' own context menu: the two check entries, owned by the caller.
    auto *menu = new QMenu(this);
    menu->addActions(TBPopupMenuToolbars->actions());
    return menu;
}

void TfrmMain::BuildPanels() {
    AdvSplitter1 = new QSplitter(Qt::Horizontal, this);
    AdvSplitter1->setObjectName(QStringLiteral("AdvSplitter1"));
    AdvSplitter1->setChildrenCollapsible(false);

    PanelProjektliste = new QWidget(AdvSplitter1);
    PanelProjektliste->setObjectName(QStringLiteral("PanelProjektliste"));
    auto *left = new QVBoxLayout(PanelProjektliste);
    left->setContentsMargins(2, 2, 2, 2);
    left->setSpacing(2);
    DBGridProjekte = new TDBGridView(PanelProjektliste);
    DBGridProjekte->setObjectName(QStringLiteral("DBGridProjekte"));
    DBGridProjekte->setToolTip(QStringLiteral("Projektnamen eingeben"));
    DBGridProjekte->setTabKeyNavigation(false);
    DBGridProjekte->setFocusPolicy(Qt::ClickFocus);  // skipped by the Tab key
    DBGridProjekte->SetRowHeight(22);
    SetGridLook(DBGridProjekte);
    left->addWidget(DBGridProjekte, 1);
    PlannerCalendar = new TPlannerCalendar(PanelProjektliste);
    PlannerCalendar->setObjectName(QStringLiteral("PlannerCalendar"));
    PlannerCalendar->setFixedHeight(181);
    left->addWidget(PlannerCalendar, 0);

    PopupMenuProjektliste = new QMenu(this);
    PopupMenuProjektliste->setObjectName(QStringLiteral("PopupMenuProjektliste"));
    keyhints::AttachContextMenu(DBGridProjekte, PopupMenuProjektliste);
    PopupMenuKalender = new QMenu(this);
    PopupMenuKalender->setObjectName(QStringLiteral("PopupMenuKalender"));
    TCalendarMarksView::BuildLegend(PopupMenuKalender);
    keyhints::AttachContextMenu(PlannerCalendar, PopupMenuKalender);

    PanelProjektdetails = new QWidget(AdvSplitter1);
    PanelProjektdetails->setObjectName(QStringLiteral("PanelProjektdetails"));
    AdvSplitter1->addWidget(PanelProjektliste);
    AdvSplitter1->addWidget(PanelProjektdetails);
    AdvSplitter1->setStretchFactor(0, 0);
    AdvSplitter1->setStretchFactor(1, 1);
    AdvSplitter1->setSizes({185, 956 - 185});
    PanelProjektliste->setMinimumWidth(150);
    setCentralWidget(AdvSplitter1);
}

void TfrmMain::BuildTabs() {
    auto *right = new QVBoxLayout(PanelProjektdetails);
    right->setContentsMargins(0, 2, 2, 2);
    AdvPageControl = new QTabWidget(PanelProjektdetails);
    AdvPageControl->setObjectName(QStringLiteral("AdvPageControl"));
    AdvPageControl->setUsesScrollButtons(true);
    right->addWidget(AdvPageControl);

    struct Tab {
        QWidget **page;
        const char *name;
        const char *caption;
        ImageListMain::Index icon;
        QMenu **menu;
        const char *menuName;
    };
    const Tab tabs[] = {
        {&AdvTabSheetZugangsdaten, "AdvTabSheetZugangsdaten", "Zugangsdaten", ImageListMain::AccessData, &PopupMenuZugangsdaten, "PopupMenuZugangsdaten"},
        {&AdvTabSheetEmail, "AdvTabSheetEmail", "Email", ImageListMain::Email, &PopupMenuEmail, "PopupMenuEmail"},
        {&AdvTabSheetTelefon, "AdvTabSheetTelefon", "Telefon", ImageListMain::Phone, &PopupMenuTelefon, "PopupMenuTelefon"},
        {&AdvTabSheetToDo, "AdvTabSheetToDo", "ToDo", ImageListMain::ToDo, &PopupMenuToDo, "PopupMenuToDo"},
        {&AdvTabSheetTermine, "AdvTabSheetTermine", "Termine", ImageListMain::Appointments, &PopupMenuTermine, "PopupMenuTermine"},
        {&AdvTabSheetLog, "AdvTabSheetLog", "Log", ImageListMain::Log, nullptr, nullptr},
    };
    for (const Tab &t : tabs) {
        *t.page = new QWidget(AdvPageControl);
        (*t.page)->setObjectName(QString::fromLatin1(t.name));
        AdvPageControl->addTab(*t.page, ImageListMain::Icon(t.icon), QString::fromUtf8(t.caption));
        (*t.page)->installEventFilter(this);  // resize runs the tab's show handler
        if (t.menu) {
            *t.menu = new QMenu(this);
            (*t.menu)->setObjectName(QString::fromLatin1(t.menuName));
            keyhints::AttachContextMenu(*t.page, *t.menu);
        }
    }

    // The access-data grid: its columns follow the tab's width.
    auto *access = new QVBoxLayout(AdvTabSheetZugangsdaten);
    access->setContentsMargins(2, 2, 2, 2);
    DBAdvGridZugangsdaten = new TDBGridView(AdvTabSheetZugangsdaten);
    DBAdvGridZugangsdaten->setObjectName(QStringLiteral("DBAdvGridZugangsdaten"));
    DBAdvGridZugangsdaten->setFocusPolicy(Qt::ClickFocus);
    DBAdvGridZugangsdaten->SetRowHeight(22);
    SetGridLook(DBAdvGridZugangsdaten);
    access->addWidget(DBAdvGridZugangsdaten);
    keyhints::AttachContextMenu(DBAdvGridZugangsdaten, PopupMenuZugangsdaten);

    auto *logLayout = new QVBoxLayout(AdvTabSheetLog);
    logLayout->setContentsMargins(0, 0, 0, 0);
    MemoLog = new QPlainTextEdit(AdvTabSheetLog);
    MemoLog->setObjectName(QStringLiteral("MemoLog"));
    MemoLog->setReadOnly(true);
    MemoLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetGridLook(MemoLog);
    // The log's blocks are aligned by columns.
    MemoLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    logLayout->addWidget(MemoLog);

    RegisterTabShow(AdvTabSheetZugangsdaten, [this] { AdvTabSheetZugangsdatenShow(); });
    RegisterTabShow(AdvTabSheetLog, [this] { AdvTabSheetLogShow(); }, false);
    connect(AdvPageControl, &QTabWidget::currentChanged, this, &TfrmMain::TabShown);
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Resize)
        for (const TTabShow &tab : TabShows)
            if (watched == tab.Page && tab.FitsOnResize) tab.Show();
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::InstallKeys() {
    auto shortcut = [this](const QKeySequence &key, std::function<void()> run) {
        auto *s = new QShortcut(key, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, std::move(run));
    };
    auto saveIfEnabled = [this] {
        if (BtnSave->isEnabled()) BtnSave->trigger();
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), saveIfEnabled);
    // Ctrl+1 .. Ctrl+6 select a tab, Ctrl+Tab and Ctrl+Shift+Tab step through
    // them from anywhere in the window (the tab control alone would take them
    // only while it holds the focus); F6 moves between project list, the
    // tab's fields, the tab's list and the calendar.
    // A tab chosen by key takes the focus with it, so that the next Insert or
    // F2 acts on that tab and not on the list the focus was left in.
    for (int i = 0; i < AdvPageControl->count() && i < 9; ++i)
        shortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)), [this, i] {
            AdvPageControl->setCurrentIndex(i);
            FocusIntoTab();
        });
    auto step = [this](int by) {
        const int n = AdvPageControl->count();
        if (n == 0) return;
        AdvPageControl->setCurrentIndex((AdvPageControl->currentIndex() + by + n) % n);
        FocusIntoTab();
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), [step] { step(1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [step] { step(-1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), [step] { step(-1); });
    // Shift+F10 does what the menu key does.
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), [] { keyhints::RequestContextMenu(QApplication::focusWidget()); });
    shortcut(QKeySequence(Qt::Key_F6), [this] {
        QWidget *focus = QApplication::focusWidget();
        auto inside = [focus](QWidget *area) { return focus && (focus == area || area->isAncestorOf(focus)); };
        if (inside(PanelProjektliste) && !inside(PlannerCalendar)) {
            QWidget *page = AdvPageControl->currentWidget();
            QWidget *first = FirstField(page, false);
            (first ? first : AdvPageControl)->setFocus(Qt::ShortcutFocusReason);
        } else if (inside(PanelProjektdetails)) {
            // The tab's list, which the Tab key skips, is the next stop.
            QAbstractItemView *list = TabList(AdvPageControl->currentWidget());
            if (list && !inside(list)) list->setFocus(Qt::ShortcutFocusReason);
            else PlannerCalendar->setFocus(Qt::ShortcutFocusReason);
        } else {
            DBGridProjekte->setFocus(Qt::ShortcutFocusReason);
        }
    });
    // A field that locks while it holds the focus (saving, cancelling) would
    // hand the focus on to the calendar; the tab's list is where the user
    // goes on from there.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (!old || !AdvPageControl->isAncestorOf(old) || (old->isEnabled() && old->isVisible())) return;
        if (now && (AdvPageControl->isAncestorOf(now) || now->window() != this)) return;
        if (old->window() != this || !isActiveWindow()) return;
        QTimer::singleShot(0, this, [this] {
            QWidget *focus = QApplication::focusWidget();
            if (isActiveWindow() && (!focus || (focus->window() == this && !AdvPageControl->isAncestorOf(focus))))
                FocusIntoTab();
        });
    });
    // The project list has the record keys of every tab.
    tabframe::InstallKeys(PanelProjektliste, {BtnInsert, BtnEdit, BtnProjektAbbrechen, BtnDelete}, DBGridProjekte);
    for (QWidget *page : {AdvTabSheetZugangsdaten, AdvTabSheetEmail, AdvTabSheetTelefon, AdvTabSheetToDo, AdvTabSheetTermine})
        ConnectEnterToSave(page);
}

void TfrmMain::ConnectEnterToSave(QWidget *page) {
    // Enter in a single-line field of a tab runs the save command (a memo
    // breaks the line). Each field once, however often its tab is passed.
    const char *const connected = "tresoroEnterSaves";
    for (QLineEdit *edit : page->findChildren<QLineEdit *>()) {
        // A file dialog built inside the tab is a window of its own: Enter
        // there picks its file and must not save the record.
        if (edit->window() != this || qobject_cast<QAbstractItemView *>(edit->parentWidget()) || edit->property(connected).toBool())
            continue;
        edit->setProperty(connected, true);
        connect(edit, &QLineEdit::returnPressed, this, [this] {
            if (BtnSave->isEnabled()) BtnSave->trigger();
        });
    }
}

bool TfrmMain::IsOpenField(const QWidget *w) {
    // Open as the tab's state handler left it; a locked field does not count.
    return w && w->isEnabled() && IsOpenLook(w);
}

QWidget *TfrmMain::FirstField(QWidget *page, bool openOnly) {
    if (!page) return nullptr;
    for (QWidget *w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w) || !w->isEnabled() || !w->isVisible() || !(w->focusPolicy() & Qt::TabFocus)) continue;
        if (openOnly && !IsOpenField(w)) continue;
        return w;
    }
    return nullptr;
}

QAbstractItemView *TfrmMain::TabList(QWidget *page) {
    if (!page) return nullptr;
    for (auto *view : page->findChildren<QAbstractItemView *>())
        if (view->window() == page->window() && view->isVisible() && view->isEnabled()) return view;
    return nullptr;
}

void TfrmMain::FocusIntoTab() {
    // A record being edited: its first open field; otherwise the tab's list;
    // a tab without either (the Log): its first control.
    QWidget *page = AdvPageControl->currentWidget();
    if (!page) return;
    QWidget *target = FirstField(page, true);
    if (!target) target = TabList(page);
    if (!target) target = FirstField(page, false);
    (target ? target : AdvPageControl)->setFocus(Qt::TabFocusReason);
}

void TfrmMain::NameControls() {
    // Screen readers: a control without a label of its own is named by its hint,
    // a grid by its tab.
    for (int i = 0; i < AdvPageControl->count(); ++i) {
        QWidget *page = AdvPageControl->widget(i);
        for (QWidget *control : page->findChildren<QWidget *>()) {
            if (control->focusPolicy() == Qt::NoFocus || !control->accessibleName().isEmpty()) continue;
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(control);
            if (a && !a->text(QAccessible::Name).isEmpty()) continue;
            if (qobject_cast<QAbstractItemView *>(control))
                control->setAccessibleName(AdvPageControl->tabText(i));
            else if (!control->toolTip().isEmpty())
                control->setAccessibleName(control->toolTip().trimmed());
        }
    }
    DBGridProjekte->setAccessibleName(QStringLiteral("Projektname"));
    PlannerCalendar->setAccessibleName(QStringLiteral("Kalender"));
    MemoLog->setAccessibleName(QStringLiteral("Log"));
}

void TfrmMain::RegisterTabShow(QWidget *page, std::function<void()> show, bool fitsOnResize) {
    TabShows.append({page, std::move(show), fitsOnResize});
}

void TfrmMain::TabShown(int index) {
    QWidget *page = AdvPageControl->widget(index);
    for (const TTabShow &tab : TabShows)
        if (page == tab.Page) tab.Show();
}

// --- start-up ---------------------------------------------------------------------

void TfrmMain::FormCreate() {
    const QString folder = QFileInfo(ProgramFile).absolutePath() + QLatin1Char('/');
    HelpFile = folder + QStringLiteral("tresoro.chm");
    TDialogs &dialogs = TDialogs::Current();
    if (!QFileInfo::exists(HelpFile)) dialogs.ShowMessage(QStringLiteral("Hilfe-Datei nicht gefunden\r") + HelpFile);
    if (!HelpViewerVersionAcceptable(THelpViewer::Available(), THelpViewer::VersionMajor(), THelpViewer::VersionMinor()))
        dialogs.ShowMessage(QStringLiteral("Diese Anwendung erfordert die Installation der MS HTML Help 1.2 oder höher"));

    THLFileDef &def = Log.FileDef();
    def.SetAppendMode(true);
    def.SizeLimitOn = true;
    def.MaxSize = 1048576;
    Log.StartWriters();
    Log.HeaderTemplate = THotLog::StandardHeaderTemplate();
    Log.FooterTemplate = THotLog::StandardFooterTemplate();
    Log.WriteTemplate(Log.HeaderTemplate);
    AttachLogMemo(Log, MemoLog);
}

void TfrmMain::AttachDataModule(TDataModule1 *dataModule, std::function<QString()> fileVersion) {
    DataModule1 = dataModule;
    fileVersion_ = std::move(fileVersion);
    ConnectDataModule();
}

void TfrmMain::ConnectDataModule() {
    TDataModule1 *dm = DataModule1;
    dm->OnAfterConnect = [this] {
        StatusBarMain->SetPanelText(2, QStringLiteral("connected: ") + QFileInfo(DataModule1->IBDatabase.DatabaseName).fileName());
        StatusBarMain->SetPanelImage(ImageListMain::DatabaseConnected);
    };
    dm->OnAfterDisconnect = [this] {
        StatusBarMain->SetPanelText(2, QStringLiteral("disconnected"));
        StatusBarMain->SetPanelImage(ImageListMain::DatabaseDisconnected);
    };
    DBGridProjekte->SetDataSource(dm->DataSourceProjekt, {{QStringLiteral("PROJEKTNAME"), QStringLiteral("Projektname"), false}});
    DBGridProjekte->horizontalHeader()->setStretchLastSection(true);
    DBAdvGridZugangsdaten->SetDataSource(dm->DataSourceZugangsdaten,
                                         {{QStringLiteral("USERID"), QStringLiteral("UserID")},
                                          {QStringLiteral("BESCHREIBUNG"), QStringLiteral("Beschreibung")},
                                          {QStringLiteral("KENNWORT"), QStringLiteral("Kennwort (verschlüsselt)")}});
    TProjectControls controls;
    controls.BtnInsert = BtnInsert;
    controls.BtnSave = BtnSave;
    controls.BtnEdit = BtnEdit;
    controls.BtnDelete = BtnDelete;
    controls.DBGridProjekte = DBGridProjekte;
    // Panel 1 shows the state of the record being edited in any tab, else the project list's.
    auto statePanel = [this, dm] {
        TDataSetState shown = dm->IBDataSetProjekt->State();
        for (TIBDataSet *ds : dm->DataSets())
            if (ds != dm->IBDataSetAllgemein && IsEditing(ds->State())) shown = ds->State();
        if (shown != TDataSetState::dsInactive) StatusBarMain->SetPanelText(1, StateName(shown));
    };
    controls.SetStatePanel = [statePanel](const QString &) { statePanel(); };
    for (TIBDataSet *ds : dm->DataSets())
        if (ds != dm->IBDataSetProjekt) connect(ds, &TIBDataSet::StateChanged, this, statePanel);
    Projects = new TProjectList(*dm, *this, controls, this);
    Projects->ShowMasterPasswordWindow = [this] { MasterKennwort1Click(); };
    Projects->LoadCalendarMarks = [this] {
        if (LoadCalendarMarks) LoadCalendarMarks();
    };

    EmailTab = new TEmailTab(AdvTabSheetEmail, PopupMenuEmail, *dm, *this, *Projects);
    TelefonTab = new TTelefonTab(AdvTabSheetTelefon, PopupMenuTelefon, *dm, *this, *Projects);
    RegisterTabShow(AdvTabSheetEmail, [this] { AdvTabSheetEmailShow(); });
    RegisterTabShow(AdvTabSheetTelefon, [this] { AdvTabSheetTelefonShow(); });
    CalendarMarks = new TCalendarMarksView(PlannerCalendar, *dm, this);
    LoadCalendarMarks = [this] { CalendarMarks->LoadCalendarMarks(); };
    ToDoTab = new TToDoTab(AdvTabSheetToDo, PopupMenuToDo, *dm, *this, *Projects);
    TermineTab = new TTermineTab(AdvTabSheetTermine, PopupMenuTermine, *dm, *this, *Projects);
    ToDoTab->LoadCalendarMarks = LoadCalendarMarks;
    TermineTab->LoadCalendarMarks = LoadCalendarMarks;
    Projects->ToDoShow = [this] { ToDoTab->AdvTabSheetToDoShow(); };
    Projects->TermineShow = [this] { TermineTab->AdvTabSheetTermineShow(); };
    RegisterTabShow(AdvTabSheetToDo, [this] { ToDoTab->AdvTabSheetToDoShow(); });
    RegisterTabShow(AdvTabSheetTermine, [this] { TermineTab->AdvTabSheetTermineShow(); });
    InstallKeys();
    // A record added or opened for editing in the shown tab, by key, button or
    // menu, takes the cursor into its first field, as typing it wants next.
    const std::pair<TIBDataSet *, QWidget *> records[] = {
        {dm->IBDataSetZugangsdaten, AdvTabSheetZugangsdaten}, {dm->IBDataSetEmail, AdvTabSheetEmail},
        {dm->IBDataSetTelefon, AdvTabSheetTelefon},           {dm->IBDataSetToDo, AdvTabSheetToDo},
        {dm->IBDataSetTermine, AdvTabSheetTermine}};
    for (const auto &[ds, page] : records)
        connect(ds, &TIBDataSet::StateChanged, this, [this, ds = ds, page = page] {
            if (!IsEditing(ds->State())) return;
            // After the tab's own state handler has opened the fields.
            QTimer::singleShot(0, this, [this, ds = QPointer<TIBDataSet>(ds), page] {
                if (!ds || !IsEditing(ds->State()) || AdvPageControl->currentWidget() != page) return;
                if (QApplication::activeModalWidget()) return;
                QWidget *focus = focusWidget();
                if (focus && page->isAncestorOf(focus) && IsOpenField(focus)) return;
                if (QWidget *first = FirstField(page, true)) first->setFocus(Qt::OtherFocusReason);
            });
        });

    TProjectList *p = Projects;
    for (QAction *a : {BtnInsert, TBItemHinzufuegen}) connect(a, &QAction::triggered, p, &TProjectList::BtnInsertClick);
    for (QAction *a : {BtnEdit, TBItemBearbeiten}) connect(a, &QAction::triggered, p, &TProjectList::BtnEditClick);
    for (QAction *a : {BtnSave, TBItemSichern}) connect(a, &QAction::triggered, p, &TProjectList::BtnSaveClick);
    for (QAction *a : {BtnDelete, TBItemLoeschen}) connect(a, &QAction::triggered, p, &TProjectList::BtnDeleteClick);
    connect(BtnProjektAbbrechen, &QAction::triggered, p, &TProjectList::BtnProjektAbbrechenClick);
    struct Entry {
        const char *caption;
        ImageListMain::Index icon;
        void (TProjectList::*handler)();
    };
    const Entry entries[] = {{"Projekt hinzufügen", ImageListMain::Add, &TProjectList::BtnInsertClick},
                             {"Projekt bearbeiten", ImageListMain::Edit, &TProjectList::BtnEditClick},
                             {"Projekt sichern", ImageListMain::Save, &TProjectList::BtnSaveClick},
                             {"Projekt löschen", ImageListMain::Delete, &TProjectList::BtnDeleteClick},
                             {"Bearbeitung abbrechen", ImageListMain::CancelEditing, &TProjectList::BtnProjektAbbrechenClick}};
    for (const Entry &e : entries)
        connect(PopupMenuProjektliste->addAction(ImageListMain::Icon(e.icon), QString::fromUtf8(e.caption)),
                &QAction::triggered, p, e.handler);
}

void TfrmMain::FormShow() {
    TDataModule1 *dm = DataModule1;
    try {
        dm->Connect();
    } catch (const EConnectError &) {
        CriticalOpenError();
        return;
    }
    try {
        Projects->CountProjekte();
        setWindowTitle(QStringLiteral("Tresoro ") + (fileVersion_ ? fileVersion_() : QString()));
        StatusBarMain->SetPanelHint(2, dm->IBDatabase.DatabaseName);
        dm->OpenDatabase();
    } catch (const EConnectError &) {
        CriticalOpenError();
        return;
    } catch (const std::exception &e) {
        ShowError(e);
        return;
    }
    AdvPageControl->setCurrentWidget(AdvTabSheetZugangsdaten);
    NameControls();
    SetSaveEnabled(false);
    TimerUpdateCheck->start();
    SetCalendarToday();
    if (LoadCalendarMarks) links::Guard(LoadCalendarMarks);
}

void TfrmMain::CriticalOpenError() {
    TDialogs &dialogs = TDialogs::Current();
    dialogs.Beep();
    dialogs.MessageBox(QStringLiteral("E: Kritischer Fehler beim Öffnen der Datenbank\r\nProgramm wird beendet ..."),
                       QStringLiteral("Fehler"), TMsgIcon::None, mbOK);
    LogLine(QStringLiteral("Kritischer Fehler beim Öffnen der Datenbank"));
    exitCode_ = 1;
    close();
}

bool TfrmMain::FormCloseQuery() {
    if (closingWithoutSave_ || !DataModule1) return true;
    TDataModule1 *dm = DataModule1;
    const TIBDataSet *watched[] = {dm->IBDataSetZugangsdaten, dm->IBDataSetEmail,   dm->IBDataSetTelefon,
                                   dm->IBDataSetToDo,         dm->IBDataSetProjekt, dm->IBDataSetTermine};
    bool editing = false;
    for (const TIBDataSet *ds : watched) editing = editing || IsEditing(ds->State());
    if (!editing) return true;
    if (!TDialogs::Current().Confirm(
            QStringLiteral("Daten wurden noch nicht gespeichert.\rFenster ohne zu speichern schließen?")))
        return false;
    try {
        dm->CloseDatabase();
    } catch (const std::exception &e) {
        ShowError(e);
    }
    closingWithoutSave_ = true;
    return true;
}

void TfrmMain::CloseWithoutAsking() {
    closingWithoutSave_ = true;
    if (DataModule1) links::Guard([this] { DataModule1->CloseDatabase(); });
    close();
}

void TfrmMain::closeEvent(QCloseEvent *event) {
    if (FormCloseQuery()) {
        HelpViewer.CloseAll();
        event->accept();
    } else {
        event->ignore();
    }
}

void TfrmMain::FormDestroy() {
    destroyed_ = true;
    Log.WriteTemplate(Log.FooterTemplate);
    HelpViewer.CloseAll();
}

// --- the shell --------------------------------------------------------------------

void TfrmMain::StatusMessage(const QString &text) { StatusBarMain->SetPanelText(3, text); }

QString TfrmMain::CurrentStatusMessage() const { return StatusBarMain->PanelText(3); }

void TfrmMain::LogLine(const QString &message) { ::LogLine(Log, message); }

void TfrmMain::SetSaveEnabled(bool enabled) { BtnSave->setEnabled(enabled); }

bool TfrmMain::SaveEnabled() const { return BtnSave->isEnabled(); }

void TfrmMain::ShowError(const std::exception &e) { TDialogs::Current().ShowError(e); }

void TfrmMain::EndProgram() {
    exitCode_ = 1;
    // After the running command has returned, like the end of a message loop turn.
    QMetaObject::invokeMethod(this, [this] { CloseWithoutAsking(); }, Qt::QueuedConnection);
}

// --- handlers ---------------------------------------------------------------------

void TfrmMain::Hilfe2Click() { HelpViewer.ShowTopic(HelpFile, 9001); }

void TfrmMain::Info1Click() {
    if (ShowAboutBox) ShowAboutBox();
}

void TfrmMain::ToolBtnAboutClick() { Info1Click(); }

void TfrmMain::MasterKennwort1Click() {
    if (ShowMasterKW) ShowMasterKW();
}

void TfrmMain::Update1Click() {
    if (ShowUpdate) ShowUpdate();
}

void TfrmMain::AdvTabSheetLogShow() { Log.SetAutoScroll(true); }

void TfrmMain::AdvTabSheetZugangsdatenShow() {
    QHeaderView *h = DBAdvGridZugangsdaten->horizontalHeader();
    if (!DBAdvGridZugangsdaten->model() || h->count() < 3) return;
    const int w = DBAdvGridZugangsdaten->width();
    const int c0 = w / 3, c2 = w / 5;
    h->resizeSection(0, c0);
    h->resizeSection(2, c2);
    h->resizeSection(1, w - c0 - c2 - 4);
}

void TfrmMain::AdvTabSheetEmailShow() {
    if (EmailTab) EmailTab->AdvTabSheetEmailShow();
}

void TfrmMain::AdvTabSheetTelefonShow() {
    if (TelefonTab) TelefonTab->AdvTabSheetTelefonShow();
}

void TfrmMain::SetCalendarToday() {
    const QDate today = QDate::currentDate();
    PlannerCalendar->SetYear(today.year());
    PlannerCalendar->SetMonth(today.month());
    PlannerCalendar->SetDay(today.day());
}

void TfrmMain::TimerUpdateCheckTimer() {
    TimerUpdateCheck->stop();
    if (!DataModule1 || !DataModule1->IBDatabase.Connected()) return;
    links::Guard([this] { updatecheck::CheckUpdateDue(*DataModule1, *this, ProgramFile, ShowUpdate, UpdateCheckNow()); });
}
