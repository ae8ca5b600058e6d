// The record keys on the real window, driven by key events: a table of key,
// focused control, state before, and the state after.

#include <QAccessible>
#include <QHeaderView>
#include <QtTest>

#include "../records/RecordsFixture.h"
#include "planning/window/PlannerCalendar.h"

class TestKeys : public QObject {
    Q_OBJECT
private slots:
    void headingsAreCutAtTheirEndAndShownWholeAsHints() {
        RecordsFixture f;
        QVERIFY(f.Start());
        TDBGridView *grid = f.Main().DBAdvGridZugangsdaten;
        QHeaderView *header = grid->horizontalHeader();
        QCOMPARE(header->textElideMode(), Qt::ElideRight);
        QVERIFY(!header->highlightSections());
        QCOMPARE(grid->model()->headerData(2, Qt::Horizontal, Qt::ToolTipRole).toString(), QStringLiteral("Kennwort (verschlüsselt)"));
    }

    void everyControlHasAnAccessibleName() {
        RecordsFixture f;
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        QStringList unnamed;
        for (int i = 0; i < w.AdvPageControl->count(); ++i) {
            w.AdvPageControl->setCurrentIndex(i);
            QApplication::processEvents();
            for (QWidget *control : w.AdvPageControl->widget(i)->findChildren<QWidget *>()) {
                if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(w.AdvPageControl->widget(i))) continue;
                if (qobject_cast<QAbstractItemView *>(control->parentWidget())) continue;  // parts of a grid
                QAccessibleInterface *a = QAccessible::queryAccessibleInterface(control);
                if (!a || a->text(QAccessible::Name).trimmed().isEmpty()) unnamed << control->objectName() + QLatin1Char('/') + QString::fromLatin1(control->metaObject()->className());
            }
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
        // Grids expose their cells.
        QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(w.DBAdvGridZugangsdaten);
        QVERIFY(grid && grid->tableInterface());
    }

    void theRecordKeys_data() {
        QTest::addColumn<QString>("focus");   // control that has the focus
        QTest::addColumn<QString>("before");  // what is set up first
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("after");   // the expected outcome
        QTest::newRow("Insert on the project list") << "projects" << "" << "Insert" << "project Insert";
        QTest::newRow("Escape cancels the new project") << "projects" << "project insert" << "Escape" << "project Browse";
        QTest::newRow("F2 renames the project") << "projects" << "" << "F2" << "project Edit";
        QTest::newRow("Ctrl+N in the e-mail tab") << "email grid" << "" << "Ctrl+N" << "email Insert";
        QTest::newRow("Insert in the phone tab") << "phone grid" << "" << "Insert" << "phone Insert";
        QTest::newRow("F2 in the e-mail tab") << "email grid" << "" << "F2" << "email Edit";
        QTest::newRow("Escape in the e-mail field") << "email field" << "email insert" << "Escape" << "email Browse";
        QTest::newRow("Enter in the e-mail field saves") << "email field" << "email typed" << "Return" << "email saved";
        QTest::newRow("Ctrl+S saves") << "email field" << "email typed" << "Ctrl+S" << "email saved";
        QTest::newRow("Delete on the e-mail grid asks") << "email grid" << "" << "Delete" << "question";
        QTest::newRow("Ctrl+3 shows the phone tab") << "projects" << "" << "Ctrl+3" << "tab Telefon";
        QTest::newRow("F6 from the project list") << "projects" << "" << "F6" << "focus tab";
        QTest::newRow("F6 from the tab") << "email field" << "" << "F6" << "focus calendar";
        QTest::newRow("F6 from the calendar") << "calendar" << "" << "F6" << "focus projects";
    }
    void theRecordKeys() {
        QFETCH(QString, focus);
        QFETCH(QString, before);
        QFETCH(QString, key);
        QFETCH(QString, after);
        RecordsFixture f({QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Alpha')"),
                          QStringLiteral("set generator GEN_TBLPROJEKT_ID to 1"),
                          QStringLiteral("insert into TBLEMAIL (ID, EMAILADRESSE, PROJEKTID) values (1, 'a@b.de', 1)"),
                          QStringLiteral("set generator GEN_TBLEMAIL_ID to 1")});
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        QApplication::setActiveWindow(&w);
        TDataModule1 &dm = f.Dm();
        if (focus.startsWith(QLatin1String("email"))) w.AdvPageControl->setCurrentWidget(w.AdvTabSheetEmail);
        if (focus.startsWith(QLatin1String("phone"))) w.AdvPageControl->setCurrentWidget(w.AdvTabSheetTelefon);
        if (before == QLatin1String("project insert")) RecordsFixture::Click(w.BtnInsert);
        if (before.startsWith(QLatin1String("email"))) RecordsFixture::Click(f.Email().BtnInsert);
        if (before == QLatin1String("email typed")) TypeText(f.Email().DBAdvEditEmailadresse, QStringLiteral("neu@c.de"));
        QWidget *target = focus == QLatin1String("projects")      ? static_cast<QWidget *>(w.DBGridProjekte)
                          : focus == QLatin1String("email grid")  ? static_cast<QWidget *>(f.Email().Grid)
                          : focus == QLatin1String("phone grid")  ? static_cast<QWidget *>(f.Telefon().Grid)
                          : focus == QLatin1String("calendar")    ? static_cast<QWidget *>(w.PlannerCalendar)
                                                                  : static_cast<QWidget *>(f.Email().DBAdvEditEmailadresse);
        if (!QApplication::focusWidget() || !QApplication::focusWidget()->inherits("QLineEdit") || focus != QLatin1String("projects"))
            target->setFocus(Qt::OtherFocusReason);
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused);
        const QKeySequence seq(key);
        QTest::keySequence(focused, seq);
        QApplication::processEvents();

        // The state panel shows the record being edited, whichever tab it is on.
        if (after.endsWith(QLatin1String(" Insert")) || after.endsWith(QLatin1String(" Edit")))
            QCOMPARE(w.StatusBarMain->PanelText(1), after.section(QLatin1Char(' '), 1));
        if (after.startsWith(QLatin1String("project ")))
            QCOMPARE(StateName(dm.IBDataSetProjekt->State()), after.mid(8));
        else if (after.startsWith(QLatin1String("email ")) && after != QLatin1String("email saved"))
            QCOMPARE(StateName(dm.IBDataSetEmail->State()), after.mid(6));
        else if (after.startsWith(QLatin1String("phone ")))
            QCOMPARE(StateName(dm.IBDataSetTelefon->State()), after.mid(6));
        else if (after == QLatin1String("email saved")) {
            QCOMPARE(dm.IBDataSetEmail->State(), TDataSetState::dsBrowse);
            QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLEMAIL where EMAILADRESSE = 'neu@c.de'")).toInt(), 1);
        } else if (after == QLatin1String("question")) {
            QCOMPARE(f.dialogs.Messages().size(), 1);
            QCOMPARE(f.dialogs.Messages().first().Text, QStringLiteral("Soll die Emailadresse A@B.DE gelöscht werden?"));
            QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLEMAIL")).toInt(), 1);  // answered No
        } else if (after == QLatin1String("tab Telefon")) {
            QCOMPARE(w.AdvPageControl->currentWidget(), w.AdvTabSheetTelefon);
        } else if (after == QLatin1String("focus tab")) {
            QVERIFY(w.AdvPageControl->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == w.AdvPageControl);
        } else if (after == QLatin1String("focus calendar")) {
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.PlannerCalendar));
        } else if (after == QLatin1String("focus projects")) {
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.DBGridProjekte));
        } else {
            QFAIL(qPrintable(after));
        }
    }
};

QTEST_MAIN(TestKeys)
#include "test_keys.moc"
