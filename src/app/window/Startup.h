#pragma once
// The program's objects in their creation order, and the start-up sequence:
// the log first (it outlives every window), the main window with the
// single-instance check before its FormCreate, the data module, the other
// windows, then the main window is shown.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "services/core/HotLog.h"
#include "vault/core/VaultState.h"

class TfrmMain;
class TDataModule1;
class TfrmAboutBox;
class TfrmMasterKW;
class TfrmUpdate;
class TfrmKennwort;
class TfrmInputMaster;
class TfrmZoom;
class TSingleInstance;

class TTresoroApp {
public:
    // lockName: the single-instance lock, the application title in the program.
    TTresoroApp(const QString &programFile, const QStringList &params, const QString &lockName = QStringLiteral("Tresoro"));
    ~TTresoroApp();
    TTresoroApp(const TTresoroApp &) = delete;
    TTresoroApp &operator=(const TTresoroApp &) = delete;

    // Creates and shows everything; false when another copy runs (it was
    // told to come to the front and the user was told why this one ends).
    bool Start();
    int ExitCode() const;

    // Told the name of each start-up phase as it ends (a benchmark times them).
    std::function<void(const char *)> PhaseDone;

    THotLog Log;
    TVaultState Vault;  // the master password's and the access data's program state
    std::unique_ptr<TSingleInstance> Instance;
    std::unique_ptr<TfrmMain> frmMain;
    std::unique_ptr<TDataModule1> DataModule1;
    std::unique_ptr<TfrmAboutBox> frmAboutBox;
    std::unique_ptr<TfrmMasterKW> frmMasterKW;
    std::unique_ptr<TfrmUpdate> frmUpdate;
    std::unique_ptr<TfrmKennwort> frmKennwort;
    std::unique_ptr<TfrmInputMaster> frmInputMaster;
    std::unique_ptr<TfrmZoom> frmZoom;

private:
    QString programFile_;
    QString lockName_;
};

// main(): the whole program.
int RunTresoro(int argc, char **argv);
