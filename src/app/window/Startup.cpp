#include "app/window/Startup.h"

#include <QApplication>
#include <QVBoxLayout>

#include "app/window/MainWindow.h"
#include "app/window/icons/ImageListMain.h"
#include "platform/core/Dialogs.h"
#include "platform/core/SingleInstance.h"
#include "platform/core/TerminationSignals.h"
#include "platform/window/QtDialogs.h"
#include "platform/window/QtTexts.h"
#include "platform/window/WindowFront.h"
#include "records/window/ProjectList.h"
#include "screenshots/window/ScreenshotPanel.h"
#include "screenshots/window/ZoomWindow.h"
#include "services/window/AboutBox.h"
#include "services/window/BackupCommands.h"
#include "services/window/UpdateWindow.h"
#include "store/window/DataLinks.h"
#include "store/core/DataModule.h"
#include "vault/window/AccessDataTab.h"
#include "vault/window/VaultWindows.h"

TTresoroApp::TTresoroApp(const QString &programFile, const QStringList &params, const QString &lockName)
    : Log(programFile, params), programFile_(programFile), lockName_(lockName) {}

TTresoroApp::~TTresoroApp() {
    // Windows first, then the data module; the log object goes last.
    frmZoom.reset();
    frmInputMaster.reset();
    frmKennwort.reset();
    frmUpdate.reset();
    frmMasterKW.reset();
    frmAboutBox.reset();
    frmMain.reset();
    DataModule1.reset();
    Instance.reset();
}

bool TTresoroApp::Start() {
    auto phase = [this](const char *name) {
        if (PhaseDone) PhaseDone(name);
    };
    frmMain = std::make_unique<TfrmMain>(programFile_, Log);
    phase("main_window_built");
    Instance = std::make_unique<TSingleInstance>(lockName_);
    if (!Instance->TryAcquire()) {
        Instance->NotifyRunningCopy();
        TDialogs::Current().MessageBox(
            QStringLiteral("Es darf nur eine Instanz von Tresoro gestartet werden (kein Mehrbenutzerbetrieb möglich)"),
            TDialogs::ApplicationTitle(), TMsgIcon::Information, mbOK);
        frmMain.reset();
        return false;
    }
    TfrmMain *w = frmMain.get();
    QObject::connect(Instance.get(), &TSingleInstance::ActivationRequested, w, [w] { BringToFront(w); });
    // What the links refuse or what fails while the user types goes to the general error box.
    links::SetErrorReporter([](const QString &message) { TDialogs::Current().ShowError(message); });
    w->FormCreate();
    phase("form_create");

    DataModule1 = std::make_unique<TDataModule1>(programFile_);
    DataModule1->Log = &Log;
    frmAboutBox = std::make_unique<TfrmAboutBox>();
    frmMasterKW = std::make_unique<TfrmMasterKW>(w, *DataModule1, *w, Vault, &Log);
    frmUpdate = std::make_unique<TfrmUpdate>(w, *DataModule1, *w);
    // The updater takes over: the program ends, what was written is committed.
    frmUpdate->OnTerminate = [w] { w->CloseWithoutAsking(); };
    frmKennwort = std::make_unique<TfrmKennwort>(w, Vault);
    frmInputMaster = std::make_unique<TfrmInputMaster>(w, *DataModule1, Vault);
    frmZoom = std::make_unique<TfrmZoom>(w);
    phase("other_windows_built");

    TfrmAboutBox *about = frmAboutBox.get();
    w->AttachDataModule(DataModule1.get(), [about] { return about->FileVersion(); });
    w->AccessData = new TAccessDataTab(*DataModule1, *w, Vault,
                                       {w->AdvPageControl, w->AdvTabSheetZugangsdaten, w->DBAdvGridZugangsdaten,
                                        w->PopupMenuZugangsdaten, &w->LbSHA11, frmInputMaster.get(), frmKennwort.get()},
                                       w);
    w->Projects->EndAccessDataInput = [tab = w->AccessData] { tab->EndAccessDataInput(); };
    {
        // The screenshot of the access record: its panel on the tab, the zoom window.
        TDataModule1 *dm = DataModule1.get();
        TAccessDataTab *tab = w->AccessData;
        auto programFolder = [dm] { return dm->ProgramFolder; };
        frmZoom->Attach({TScreenshotColumn(dm->IBDataSetZugangsdaten), programFolder, w});
        auto *shots = new TScreenshotPanel(
            {dm->DataSourceZugangsdaten, QStringLiteral("SCREENSHOT"), w, programFolder, {}, frmZoom.get()},
            tab->PanelZugangsdatenImage);
        auto *imageLayout = new QVBoxLayout(tab->PanelZugangsdatenImage);
        imageLayout->setContentsMargins(0, 0, 0, 0);
        imageLayout->addWidget(shots);
        shots->AddToToolBar(tab->ToolBarZugangsdaten);  // after the tab's separator
        tab->BtnImport = shots->BtnImport;              // the tab's state rules drive it
        tab->DataSourceZugangsdatenStateChange();
    }
    w->ConnectEnterToSave(w->AdvTabSheetZugangsdaten);
    frmMasterKW->FilterDetailsByProjekt = [w] { w->Projects->FilterDetailsByProjekt(); };
    w->ShowAboutBox = [about] { TDialogs::Current().ShowModal(about); };
    w->ShowMasterKW = [this] { TDialogs::Current().ShowModal(frmMasterKW.get()); };
    w->ShowUpdate = [this] { TDialogs::Current().ShowModal(frmUpdate.get()); };
    // --- backup, restore and the About window's database facts ---
    about->Database = &DataModule1->IBDatabase;
    auto *backup = new TBackupCommands(*DataModule1, *w,
                                       {w, w->TBItemBackup, w->TBItemRestore, {w->AdvPageControl->tabBar(), w->AdvTabSheetLog},
                                        frmMasterKW.get(), w->TimerUpdateCheck,
                                        [w](int image) {
                                            // The core names the connection images by the program's numbers.
                                            w->StatusBarMain->SetPanelImage(image == 13 ? ImageListMain::DatabaseDisconnected
                                                                                        : ImageListMain::DatabaseConnected);
                                        }, [w] { w->FormShow(); }},
                                       w);
    frmMasterKW->StartBackup = [backup] { backup->StartBackupFromMasterWindow(); };
    // --- end of backup and restore ---

    phase("tabs_attached");
    w->show();
    phase("window_shown");
    w->FormShow();
    // The keyboard starts in the project list.
    w->DBGridProjekte->setFocus(Qt::OtherFocusReason);
    phase("form_show");
    return true;
}

int TTresoroApp::ExitCode() const { return frmMain ? frmMain->ExitCode() : 0; }

int RunTresoro(int argc, char **argv) {
    BlockTerminationSignals();
    QApplication app(argc, argv);
    // No display name: the window system would append it to every caption.
    QApplication::setApplicationName(QStringLiteral("Tresoro"));
    // Every window of the program, dialogs and help included, shows the safe.
    QApplication::setWindowIcon(ImageListMain::ApplicationIcon());
    InstallGermanQtTexts();
    TQtDialogs::InstallAsCurrent();
    QStringList params = QApplication::arguments();
    params.removeFirst();
    TTresoroApp program(QApplication::applicationFilePath(), params);
    if (!program.Start()) return 0;
    InstallTerminationHandler([&program] { program.frmMain->CloseWithoutAsking(); });
    const int loop = program.frmMain->isVisible() ? app.exec() : 0;
    return program.ExitCode() != 0 ? program.ExitCode() : loop;
}
