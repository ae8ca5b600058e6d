// Backup and restore from the main window: menu items, the reload through
// the show handler, the log block, and the About window of a running program.

#include <QtTest>

#include "../app/AppFixture.h"
#include "services/window/AboutBox.h"
#include "services/window/BackupCommands.h"
#include "store/core/SqlStatement.h"

class TestBackupWindow : public QObject {
    Q_OBJECT
private slots:
    void backupAndRestoreFromTheMenu() {
        AppFixture f;
        QVERIFY(f.app->Start());
        TfrmMain &w = f.Main();
        {
            TSqlStatement st(f.Dm().IBTransaction, QStringLiteral("INSERT INTO TBLPROJEKT (ID, PROJEKTNAME) VALUES "
                                                                  "(GEN_ID(GEN_TBLPROJEKT_ID, 1), 'Alpha')"));
            st.Execute();
            f.Dm().IBTransaction.CommitRetaining();
        }
        f.dialogs.AnswerMessage(mbYes);
        f.dialogs.AnswerMessage(mbOK);
        w.TBItemBackup->trigger();
        QVERIFY(QFileInfo(f.folder.File(QStringLiteral("tresorobackup.gbk"))).size() > 0);
        QCOMPARE(w.CurrentStatusMessage(), QStringLiteral("Datenbankverbindung wurde wieder geöffnet. Backup beendet."));
        QCOMPARE(w.StatusBarMain->PanelImage(), 0);

        // A later project, gone after the restore; the window as after start-up.
        {
            TSqlStatement st(f.Dm().IBTransaction, QStringLiteral("INSERT INTO TBLPROJEKT (ID, PROJEKTNAME) VALUES "
                                                                  "(GEN_ID(GEN_TBLPROJEKT_ID, 1), 'Later')"));
            st.Execute();
            f.Dm().IBTransaction.CommitRetaining();
        }
        w.AdvPageControl->setCurrentWidget(w.AdvTabSheetLog);
        f.dialogs.AnswerMessage(mbYes);
        f.dialogs.AnswerMessage(mbOK);
        w.TBItemRestore->trigger();
        QCOMPARE(f.dialogs.Unexpected, 0);
        QCOMPARE(w.AdvPageControl->currentWidget(), w.AdvTabSheetZugangsdaten);
        QVERIFY(!w.BtnSave->isEnabled());
        QVERIFY(f.Dm().IBDatabase.Connected());
        QCOMPARE(f.Dm().QueryValue(QStringLiteral("SELECT COUNT(*) FROM TBLPROJEKT")).toInt(), 1);
        QCOMPARE(f.Dm().IBDataSetProjekt->FieldByName(QStringLiteral("PROJEKTNAME")).AsString(), QStringLiteral("Alpha"));

        // The log: first line, output, one empty message, last line, then the connect lines.
        QVERIFY(f.WaitForLog(QStringLiteral(": Restore beendet"), 20000));
        QVERIFY(f.WaitForLog(QStringLiteral("Restore beendet\r\n"), 20000));
        const QString log = f.LogText();
        const qsizetype begin = log.indexOf(QStringLiteral(": Backup beginnt\r\n"));
        const qsizetype end = log.indexOf(QStringLiteral(": Backup beendet\r\n"));
        QVERIFY(begin > 0 && end > begin);
        const qsizetype lastLine = log.lastIndexOf(QStringLiteral("\r\n"), end) + 2;
        const QString block = log.mid(begin, lastLine - begin);
        QVERIFY(block.contains(QStringLiteral(": gbak:")));
        QVERIFY(block.endsWith(QStringLiteral(": \r\n")));
        QVERIFY(f.WaitForLog(QStringLiteral("time to connect"), 20000));
        QVERIFY(log.indexOf(QStringLiteral(": connected to: "), end) > end);
        f.Finish();
    }

    void theAboutWindowShowsTheFacts() {
        AppFixture f;
        QVERIFY(f.app->Start());
        TfrmAboutBox &about = *f.app->frmAboutBox;
        about.FormShow();
        QCOMPARE(about.windowTitle(), QStringLiteral("Tresoro 1.1.1.5"));
        QCOMPARE(about.LabelVersion->text(), QStringLiteral("Produktversion: 1.1 (1.1.1.5)"));
        QVERIFY(about.LabelDBVersion->text().startsWith(QStringLiteral("Firebird ")));
        QVERIFY(about.LabelODS->text().startsWith(QStringLiteral("ODS-Version: 12.")));
        QVERIFY(about.LabelDBGroesse->text().startsWith(QStringLiteral("DB-Grösse: ")));
        QCOMPARE(f.dialogs.Calls.size(), 0);
        f.Finish();
    }
};

QTEST_MAIN(TestBackupWindow)
#include "test_backup_window.moc"
