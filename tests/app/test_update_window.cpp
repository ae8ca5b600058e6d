// The update window and the automatic check on the real program, against a
// loopback server named in tresoro.ini: the setting, the date of the last
// check, the boxes, the button, and the window opening by itself.

#include <QtTest>

#include "AppFixture.h"
#include "LoopbackServer.h"
#include "services/core/updatecheck/UpdateCheck.h"
#include "services/core/update/WebUpdate.h"
#include "services/window/UpdateWindow.h"
#include "support/Committed.h"

namespace {
struct Run : AppFixture {
    explicit Run(const QString &automatic = QStringLiteral("1"), const QString &lastCheck = QStringLiteral("NULL")) {
        QFile ini(folder.File(QStringLiteral("tresoro.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write("[update]\nurl=" + server.Url(QStringLiteral("/update/tresoro.inf")).toUtf8() + "\n");
        ini.close();
        TIBDatabase db;
        db.DatabaseName = folder.File(QStringLiteral("tresoro.gdb"));
        db.Password = QStringLiteral("masterkey");
        TIBTransaction tr(db);
        db.Open();
        {
            TSqlStatement st(tr, QStringLiteral("update TBLALLGEMEIN set AUTOMATICUPDATE = %1, LASTUPDATETESTDATUM = %2").arg(automatic, lastCheck));
            st.Execute();
        }
        tr.Commit();
        db.Close();
    }
    QVariant Committed(const QString &sql) const { return CommittedValue(folder.File(QStringLiteral("tresoro.gdb")), sql); }
    TfrmUpdate &Window() { return *app->frmUpdate; }
    // Opens the window from the tool bar; `script` acts on it while it is shown.
    void Open(const std::function<void(TfrmUpdate &)> &script) {
        dialogs.AnswerModal([script](QDialog *d) { script(*static_cast<TfrmUpdate *>(d)); });
        Main().BtnWebUpdate->trigger();
    }
    TLoopbackServer server;
};
}  // namespace

class TestUpdateWindow : public QObject {
    Q_OBJECT
private slots:
    void openingShowsTheSettingAndClosingWritesIt() {
        Run r(QStringLiteral("0"));
        QVERIFY(r.app->Start());
        QVERIFY(r.Main().BtnWebUpdate->isEnabled());
        r.Open([](TfrmUpdate &w) {
            QCOMPARE(w.windowTitle(), QStringLiteral("WebUpdate"));
            QCOMPARE(w.BitBtnWebUpdate->text(), QStringLiteral("auf Update prüfen"));
            QVERIFY(w.BitBtnWebUpdate->isEnabled());
            QCOMPARE(w.LabelUpdateVersuch->text(), QStringLiteral("Letzter Updateversuch:  "));
            QVERIFY(!w.CBAutomaticUpdateEnabled->isChecked());
            QCOMPARE(w.ProgressBarWebUpdate->value(), 0);
        });
        QVERIFY(r.Window().UpdateSettingChanged);  // the box changed state on opening
        QCOMPARE(r.Committed(QStringLiteral("select AUTOMATICUPDATE from TBLALLGEMEIN")).toInt(), 0);
        r.Open([](TfrmUpdate &w) { w.CBAutomaticUpdateEnabled->click(); });
        QCOMPARE(r.Committed(QStringLiteral("select AUTOMATICUPDATE from TBLALLGEMEIN")).toInt(), 1);
    }

    void noNewVersionWritesTheDateAndCloses() {
        Run r;
        r.server.Serve(QStringLiteral("/update/tresoro.inf"), "[update]\r\ndate=01/01/2000\r\nlocalversion={APP}tresoro\r\n");
        QFile program(r.folder.ProgramFile());  // newer than the server's date
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.close();
        QVERIFY(r.app->Start());
        bool closed = false;
        r.Open([&](TfrmUpdate &w) {
            QTest::mouseClick(w.BitBtnWebUpdate, Qt::LeftButton);
            closed = !w.isVisible();
            QCOMPARE(w.BitBtnWebUpdate->text(), QStringLiteral("auf Update prüfen"));
        });
        QVERIFY(closed);
        const auto boxes = r.dialogs.Messages();
        QVERIFY(!boxes.isEmpty());
        QCOMPARE(boxes.last().Text, QStringLiteral("Keine neue Version von Tresoro verfügbar\r\nDies ist die aktuelle Version."));
        QCOMPARE(boxes.last().Caption, QStringLiteral("Information"));
        QCOMPARE(r.Committed(QStringLiteral("select LASTUPDATETESTDATUM from TBLALLGEMEIN")).toDate(), QDate::currentDate());
    }

    void aMissingControlFileSaysSoAndTheButtonComesBack() {
        Run r(QStringLiteral("1"), QStringLiteral("'2020-05-05'"));
        r.server.Serve(QStringLiteral("/update/tresoro.inf"), "nicht da", 404);
        QVERIFY(r.app->Start());
        r.Open([&](TfrmUpdate &w) {
            QTest::mouseClick(w.BitBtnWebUpdate, Qt::LeftButton);
            QVERIFY(w.BitBtnWebUpdate->isEnabled());
            QCOMPARE(w.BitBtnWebUpdate->text(), QStringLiteral("auf Update prüfen"));
            QVERIFY2(w.StatusBar1->currentMessage().contains(QStringLiteral(", Status: ")), qPrintable(w.StatusBar1->currentMessage()));
        });
        QCOMPARE(r.dialogs.Messages().last().Text,
                 QStringLiteral("Datei TRESORO.INF auf Updateserver nicht gefunden -> WUPDATE.LOG\r\nInternetzugang freigeschaltet?"));
        QCOMPARE(r.dialogs.Messages().last().Caption, QStringLiteral("Fehler"));
        QCOMPARE(r.Committed(QStringLiteral("select LASTUPDATETESTDATUM from TBLALLGEMEIN")).toDate(), QDate(2020, 5, 5));
    }

    void noServerLeavesTheButtonDisabledAndTheDate() {
        Run r(QStringLiteral("1"), QStringLiteral("'2020-05-05'"));
        QVERIFY(r.app->Start());
        r.Window().WebUpdate().URL = QStringLiteral("http://127.0.0.1:1/update/tresoro.inf");
        r.Open([&](TfrmUpdate &w) {
            QTest::mouseClick(w.BitBtnWebUpdate, Qt::LeftButton);
            QVERIFY(!w.BitBtnWebUpdate->isEnabled());
            QCOMPARE(w.BitBtnWebUpdate->text(), QStringLiteral("Updateprüfung gestartet..."));
        });
        QCOMPARE(r.dialogs.Messages().size(), 0);
        QCOMPARE(r.Committed(QStringLiteral("select LASTUPDATETESTDATUM from TBLALLGEMEIN")).toDate(), QDate(2020, 5, 5));
    }

    void theWindowOpensByItselfOnlyWhenBothAreOld_data() {
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("opens");
        QTest::newRow("31/31") << 31 << true;
        QTest::newRow("30/30") << 30 << false;
    }
    void theWindowOpensByItselfOnlyWhenBothAreOld() {
        QFETCH(int, days);
        QFETCH(bool, opens);
        const QDate last = QDate::currentDate().addDays(-days);
        Run r(QStringLiteral("NULL"), QLatin1Char('\'') + last.toString(Qt::ISODate) + QLatin1Char('\''));
        QFile program(r.folder.ProgramFile());
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.close();
        r.dialogs.AnswerModal([](QDialog *) {});
        QVERIFY(r.app->Start());
        // The program file is as old as the check: "now" moves on instead.
        const QDateTime now = updatecheck::ProgramFileDate(r.folder.ProgramFile()).addDays(days).addSecs(120);
        r.Main().UpdateCheckNow = [now] { return now; };
        QVERIFY(r.WaitForLog(QStringLiteral("AUTOMATICUPDATE auf 1 gesetzt, da NIL vorgefunden")));
        QTest::qWait(100);
        bool shown = false;
        for (const TDialogCall &c : r.dialogs.Calls) shown = shown || (c.Kind == QLatin1String("modal") && c.Text == QLatin1String("frmUpdate"));
        QCOMPARE(shown, opens);
        QCOMPARE(r.Committed(QStringLiteral("select AUTOMATICUPDATE from TBLALLGEMEIN")).toInt(), 1);
    }
};

QTEST_MAIN(TestUpdateWindow)
#include "test_update_window.moc"
