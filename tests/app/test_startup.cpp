// Start-up, the main window's state after start, its close, and the paths
// that end the program early.

#include <QHeaderView>
#include <QLabel>
#include <QToolTip>
#include <QProcess>
#include <QtTest>
#include <csignal>

#include "AppFixture.h"
#include "planning/window/PlannerCalendar.h"
#include "platform/core/SingleInstance.h"
#include "store/core/DataSet.h"

namespace {
constexpr const char *kChildFolder = "TRESORO_TEST_APP_FOLDER";
constexpr const char *kChildLock = "TRESORO_TEST_APP_LOCK";

// The first copy for the single-instance test: runs until killed and says
// when the second copy asked it to come to the front.
int RunChild() {
    const QString folder = qEnvironmentVariable(kChildFolder);
    TScriptedWindowDialogs::Install();
    TTresoroApp program(folder + QStringLiteral("tresoro"), {}, qEnvironmentVariable(kChildLock));
    if (!program.Start()) return 3;
    QObject::connect(program.Instance.get(), &TSingleInstance::ActivationRequested, [] {
        fputs("activated\n", stdout);
        fflush(stdout);
    });
    fputs("ready\n", stdout);
    fflush(stdout);
    return QApplication::exec();
}
}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void theWindowAfterStart() {
        AppFixture f;
        QVERIFY(f.app->Start());
        TfrmMain &w = f.Main();
        QCOMPARE(w.windowTitle(), QStringLiteral("Tresoro 1.1.1.5"));
        QCOMPARE(w.AdvPageControl->currentWidget(), w.AdvTabSheetZugangsdaten);
        QCOMPARE(w.AdvPageControl->tabText(w.AdvPageControl->currentIndex()), QStringLiteral("Zugangsdaten"));
        QVERIFY(!w.BtnSave->isEnabled());
        // The keyboard starts in the project list.
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.DBGridProjekte));
        QCOMPARE(w.StatusBarMain->PanelText(2), QStringLiteral("connected: tresoro.gdb"));
        QCOMPARE(w.StatusBarMain->PanelHint(2), f.folder.File(QStringLiteral("tresoro.gdb")));
        QCOMPARE(w.StatusBarMain->PanelImage(), 0);
        for (TIBDataSet *ds : f.Dm().DataSets()) QCOMPARE(ds->State(), TDataSetState::dsBrowse);
        QVERIFY(!f.Dm().ProjekteVorhanden);
        QVERIFY(w.TimerUpdateCheck->isActive());
        QCOMPARE(f.dialogs.Calls.size(), 0);
        for (QAction *command : {w.TBItemBackup, w.TBItemRestore, w.TBItemUpdate, w.BtnWebUpdate, w.TBItemAbout, w.BtnInfo})
            QVERIFY2(command->isEnabled(), qPrintable(command->objectName()));

        // The log: header, then the connect lines, in this order; the Log tab shows the same.
        QVERIFY(f.WaitForLog(QStringLiteral("time to connect : ")));
        const QString log = f.LogText();
        const qsizetype start = log.indexOf(QStringLiteral(">>>> Start tresoro  v 1.1.1.5"));
        const qsizetype connected = log.indexOf(QStringLiteral(": connected to: ") + f.folder.File(QStringLiteral("tresoro.gdb")) + QStringLiteral("\r\n"));
        const qsizetype timed = log.indexOf(QStringLiteral(": time to connect : "));
        QVERIFY(start >= 0 && connected > start && timed > connected);
        QVERIFY(QTest::qWaitFor([&] { return w.MemoLog->toPlainText().contains(QStringLiteral("time to connect")); }));

        f.Finish();
        QVERIFY(f.LogText().contains(QStringLiteral("<<<< Stop  tresoro")));
    }

    void aMissingDatabaseEndsTheProgram() {
        AppFixture f(TestProgramFolder::Database::None);
        QVERIFY(f.app->Start());
        const auto messages = f.dialogs.Messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().Text, QStringLiteral("E: Kritischer Fehler beim Öffnen der Datenbank\r\nProgramm wird beendet ..."));
        QCOMPARE(messages.first().Caption, QStringLiteral("Fehler"));
        QCOMPARE(messages.first().Buttons, int(mbOK));
        QCOMPARE(f.dialogs.Calls.first().Kind, QStringLiteral("beep"));
        QVERIFY(!f.Main().isVisible());
        QCOMPARE(f.app->ExitCode(), 1);
        for (TIBDataSet *ds : f.Dm().DataSets()) QCOMPARE(ds->State(), TDataSetState::dsInactive);
        f.Finish();
        const QString log = f.LogText();
        QVERIFY(log.contains(QStringLiteral(": Kritischer Fehler beim Öffnen der Datenbank\r\n")));
        QVERIFY(log.indexOf(QStringLiteral("<<<< Stop")) > log.indexOf(QStringLiteral("Kritischer Fehler")));
    }

    void aMissingHelpFileIsReportedAndStartGoesOn() {
        AppFixture f(TestProgramFolder::Database::Copy, false);
        QVERIFY(f.app->Start());
        const auto messages = f.dialogs.Messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().Text, QStringLiteral("Hilfe-Datei nicht gefunden\r") + f.folder.File(QStringLiteral("tresoro.chm")));
        QCOMPARE(messages.first().Caption, QStringLiteral("Tresoro"));
        QVERIFY(f.Main().isVisible());
        QCOMPARE(f.Main().StatusBarMain->PanelText(2), QStringLiteral("connected: tresoro.gdb"));
    }

    void aDataSetThatCannotOpenIsReportedAndTheProgramStays() {
        AppFixture f;
        {
            TDataModule1 broken(f.folder.ProgramFile());
            broken.Connect();
            TSqlStatement drop(broken.IBTransaction, QStringLiteral("drop table TBLTODO"));
            drop.Execute();
            broken.IBTransaction.CommitRetaining();
        }
        QVERIFY(f.app->Start());
        const auto messages = f.dialogs.Messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().Caption, QStringLiteral("Tresoro"));
        QCOMPARE(messages.first().Icon, TMsgIcon::Error);
        QVERIFY2(messages.first().Text.contains(QStringLiteral("TBLTODO")), qPrintable(messages.first().Text));
        QVERIFY(f.Main().isVisible());
        QCOMPARE(f.app->ExitCode(), 0);
        // The datasets before it in the open order did open.
        QCOMPARE(f.Dm().IBDataSetProjekt->State(), TDataSetState::dsBrowse);
        QCOMPARE(f.Dm().IBDataSetToDo->State(), TDataSetState::dsInactive);
    }

    void aSecondCopyHandsOverAndEnds() {
        TestProgramFolder folder;
        const QString lock = QStringLiteral("TresoroTest-second-") + QString::number(QCoreApplication::applicationPid());
        QProcess first;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(kChildFolder), folder.Path());
        env.insert(QLatin1String(kChildLock), lock);
        first.setProcessEnvironment(env);
        first.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(first.waitForReadyRead(30000));
        QVERIFY(first.readAll().contains("ready"));

        TestProgramFolder mine;
        TScriptedDialogs &dialogs = TScriptedWindowDialogs::Install();
        {
            TTresoroApp second(mine.ProgramFile(), {}, lock);
            QVERIFY(!second.Start());
            QVERIFY(!second.DataModule1);  // ended before the data module existed
        }
        const auto messages = dialogs.Messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().Text,
                 QStringLiteral("Es darf nur eine Instanz von Tresoro gestartet werden (kein Mehrbenutzerbetrieb möglich)"));
        QCOMPARE(messages.first().Icon, TMsgIcon::Information);
        QVERIFY(first.waitForReadyRead(10000) || first.bytesAvailable());
        QVERIFY(first.readAll().contains("activated"));
        ::kill(pid_t(first.processId()), SIGKILL);
        first.waitForFinished();
    }

    void closingAsksAboutAPendingInsert() {
        AppFixture f;
        QVERIFY(f.app->Start());
        TIBDataSet *phones = f.Dm().IBDataSetTelefon;
        phones->Insert();
        phones->FieldByName(QStringLiteral("NAME")).SetValue(QStringLiteral("Meier"));

        f.dialogs.AnswerMessage(mbNo);
        QVERIFY(!f.Main().close());
        QCOMPARE(f.dialogs.Messages().last().Text,
                 QStringLiteral("Daten wurden noch nicht gespeichert.\rFenster ohne zu speichern schließen?"));
        QCOMPARE(f.dialogs.Messages().last().Icon, TMsgIcon::Question);
        QCOMPARE(f.dialogs.Messages().last().Buttons, int(mbYes | mbNo));
        QVERIFY(f.Main().isVisible());
        QCOMPARE(phones->State(), TDataSetState::dsInsert);

        f.dialogs.AnswerMessage(mbYes);
        QVERIFY(f.Main().close());
        QVERIFY(!f.Dm().IBDatabase.Connected());
        QCOMPARE(f.Main().StatusBarMain->PanelText(2), QStringLiteral("disconnected"));
        f.Finish();
        TDataModule1 check(f.folder.ProgramFile());
        check.OpenDatabase();
        QCOMPARE(check.QueryValue(QStringLiteral("select count(*) from TBLTELEFON")).toInt(), 0);
    }

    void closingWithNothingPendingAsksNothing() {
        AppFixture f;
        QVERIFY(f.app->Start());
        QVERIFY(f.Main().close());
        QCOMPARE(f.dialogs.Calls.size(), 0);
    }

    void formShowCanRunAgain() {
        AppFixture f;
        {
            TDataModule1 seed(f.folder.ProgramFile());
            seed.Connect();
            TSqlStatement s(seed.IBTransaction, QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Eins')"));
            s.Execute();
            seed.IBTransaction.CommitRetaining();
        }
        QVERIFY(f.app->Start());
        TfrmMain &w = f.Main();
        w.AdvPageControl->setCurrentWidget(w.AdvTabSheetLog);
        w.SetSaveEnabled(true);
        w.PlannerCalendar->SetMonth(QDate::currentDate().month() % 12 + 1);
        f.Dm().CloseDatabase();  // as backup and restore do
        w.FormShow();
        QCOMPARE(w.AdvPageControl->currentWidget(), w.AdvTabSheetZugangsdaten);
        QVERIFY(!w.BtnSave->isEnabled());
        QCOMPARE(w.windowTitle(), QStringLiteral("Tresoro 1.1.1.5"));
        QCOMPARE(w.PlannerCalendar->SelectedDate(), QDate::currentDate());
        QVERIFY(f.Dm().ProjekteVorhanden);
        QCOMPARE(f.Dm().IBDataSetProjekt->RecordCount(), 1);
        QCOMPARE(f.Dm().IBDataSetEmail->SelectText(),
                 QStringLiteral("select * from tblemail\nwhere tblemail.projektid = '1'\n"));
        QCOMPARE(w.StatusBarMain->PanelText(2), QStringLiteral("connected: tresoro.gdb"));
        QVERIFY(f.WaitForLog(QStringLiteral("time to connect")));
        QCOMPARE(f.LogText().count(QStringLiteral(": connected to: ")), 2);
    }

    void theAccessGridsColumnsFollowItsWidth() {
        AppFixture f;
        QVERIFY(f.app->Start());
        TfrmMain &w = f.Main();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int width : {956, 1300, 700}) {
            w.resize(width, 573);
            QApplication::processEvents();
            TDBGridView *grid = w.DBAdvGridZugangsdaten;
            const int W = grid->width();
            QHeaderView *h = grid->horizontalHeader();
            QCOMPARE(h->sectionSize(0), W / 3);
            QCOMPARE(h->sectionSize(2), W / 5);
            QCOMPARE(h->sectionSize(1), W - W / 3 - W / 5 - 4);
        }
    }

    // A status message longer than its panel ends in an ellipsis and is
    // shown whole as a hint below the panel's own; a short one is whole.
    void aLongStatusMessageIsCutAtItsEnd() {
        AppFixture f;
        QVERIFY(f.app->Start());
        TfrmMain &w = f.Main();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *panel = w.StatusBarMain->findChild<QLabel *>(QStringLiteral("StatusPanel3"));
        QVERIFY(panel);
        const QString longText = QStringLiteral("komplettes Projekt Ein sehr langer Projektname für den Test wurde gelöscht "
                                                "(mit Löschweitergabe an Detaildatensätze)");
        w.StatusMessage(longText);
        QCOMPARE(w.CurrentStatusMessage(), longText);
        QVERIFY2(panel->text().startsWith(QStringLiteral("komplettes Projekt")) && panel->text().endsWith(QChar(0x2026)),
                 qPrintable(panel->text()));
        QVERIFY(panel->fontMetrics().horizontalAdvance(panel->text()) <= panel->contentsRect().width());
        QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), panel->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(panel, &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("Fehler-/ Hinweismeldungen\n") + longText);
        QToolTip::hideText();
        QCOMPARE(w.StatusBarMain->PanelHint(3), QStringLiteral("Fehler-/ Hinweismeldungen"));
        w.StatusMessage(QStringLiteral("kurz"));
        QCOMPARE(panel->text(), QStringLiteral("kurz"));
    }
};

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildFolder)) return RunChild();
    TestStartup tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "test_startup.moc"
