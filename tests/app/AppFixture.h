#pragma once
// The whole program started in a fresh program folder with scripted dialogs.

#include <QFile>
#include <QtTest>
#include <memory>

#include "app/window/MainWindow.h"
#include "app/window/Startup.h"
#include "support/ProgramFolder.h"
#include "support/window/ScriptedWindowDialogs.h"

struct AppFixture {
    explicit AppFixture(TestProgramFolder::Database db = TestProgramFolder::Database::Copy, bool withHelp = true)
        : folder(db), dialogs(TScriptedWindowDialogs::Install()) {
        if (withHelp) {
            QFile help(folder.File(QStringLiteral("tresoro.chm")));
            help.open(QIODevice::WriteOnly);
            help.write("<html><body><div id=\"topic-9001\">Inhalt</div></body></html>");
        }
        app = std::make_unique<TTresoroApp>(folder.ProgramFile(), QStringList{}, LockName());
    }

    // Each fixture its own lock, so tests never meet a real running copy.
    QString LockName() const { return QStringLiteral("TresoroTest-") + QFileInfo(folder.Path().chopped(1)).fileName(); }

    TfrmMain &Main() { return *app->frmMain; }
    TDataModule1 &Dm() { return *app->DataModule1; }

    // The log file's text so far (the writer runs on its own thread).
    QString LogText() const {
        QFile f(folder.File(QStringLiteral("tresoro.log")));
        if (!f.open(QIODevice::ReadOnly)) return QString();
        return QString::fromLatin1(f.readAll());
    }
    bool WaitForLog(const QString &part, int ms = 5000) const {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (LogText().contains(part)) return true;
            QTest::qWait(10);
        }
        return false;
    }
    // Ends the program as it ends: windows, data module, then the log.
    void Finish() { app.reset(); }

    TestProgramFolder folder;
    TScriptedDialogs &dialogs;
    std::unique_ptr<TTresoroApp> app;
};
