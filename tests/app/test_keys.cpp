// The record keys on the real window, driven by key events: a table of key,
// focused control, state before, and the state after.

#include <QAccessible>
#include <QContextMenuEvent>
#include <QMenu>
#include <QToolTip>
#include <QHeaderView>
#include <QtTest>

#include "../records/RecordsFixture.h"
#include "planning/window/PlannerCalendar.h"
#include "platform/window/KeyHints.h"
#include "planning/window/PlannerDatePicker.h"
#include "planning/window/TermineTab.h"
#include "planning/window/ToDoTab.h"
#include "vault/window/AccessDataTab.h"
#include "vault/window/VaultWindows.h"
#include "screenshots/window/ZoomWindow.h"
#include "services/window/UpdateWindow.h"
#include "services/window/AboutBox.h"

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
        const QString heading = QStringLiteral("Kennwort (verschlüsselt)");
        const QFontMetrics fm = header->fontMetrics();
        const int whole = fm.horizontalAdvance(heading);
        const THeadingFit wide = FitHeading(heading, fm, whole + 10);
        QCOMPARE(wide.Shown, heading);
        QCOMPARE(wide.Align, Qt::AlignHCenter | Qt::AlignVCenter);
        const THeadingFit narrow = FitHeading(heading, fm, whole / 2);
        QVERIFY2(narrow.Shown.startsWith(QStringLiteral("Kenn")) && narrow.Shown.endsWith(QChar(0x2026)), qPrintable(narrow.Shown));
        QCOMPARE(narrow.Align, Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(FitHeading(heading, fm, -3).Shown, QString());
    }

    void toolButtonHintsNameTheirKeys() {
        RecordsFixture f;
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        const std::pair<QAction *, const char *> shown[] = {
            {w.BtnInsert, "Projekt hinzufügen (Einfg oder Strg+N)"},
            {w.BtnSave, "Sichern (Strg+S)"},
            {w.BtnEdit, "Projekt umbenennen (F2)"},
            {w.BtnProjektAbbrechen, "Bearbeiten abbrechen (Esc)"},
            {w.BtnDelete, "Projekt löschen (inkl. Detaildatensätze!) (Entf)"},
            {w.BtnMasterkey, "Masterkennwort anlegen/ändern (Alt+O, M)"},
            {f.Email().BtnInsert, "Emailadresse hinzufügen (Einfg oder Strg+N)"},
            {w.AccessData->BtnImport, "Import eines Bildes (JPG, BMP) (Strg+I)"},
        };
        for (const auto &[action, text] : shown) QCOMPARE(keyhints::ShownHint(action), QString::fromUtf8(text));
        // The hint of the action itself stays as it is.
        QCOMPARE(w.BtnDelete->toolTip(), QStringLiteral("Projekt löschen (inkl. Detaildatensätze!)"));
        // Over the button, the tool tip is the one naming the key.
        QWidget *button = w.TBToolbarProjekt->widgetForAction(w.BtnEdit);
        QVERIFY(button);
        QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), button->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(button, &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("Projekt umbenennen (F2)"));
        QToolTip::hideText();
        // German key names, whatever the desktop's language.
        const std::pair<QKeySequence, const char *> names[] = {
            {QKeySequence(Qt::SHIFT | Qt::Key_F10), "Umschalt+F10"}, {QKeySequence(Qt::Key_Delete), "Entf"},
            {QKeySequence(Qt::CTRL | Qt::Key_Plus), "Strg++"},       {QKeySequence(Qt::Key_Return), "Eingabe"}};
        for (const auto &[key, text] : names) QCOMPARE(keyhints::KeyText(key), QString::fromUtf8(text));
    }

    // The Tab key walks each tab's fields in their order and skips the lists
    // and the progress slider.
    void theTabKeyWalksEachTabInOrder() {
        RecordsFixture f({QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Alpha')"),
                          QStringLiteral("set generator GEN_TBLPROJEKT_ID to 1")});
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        QApplication::setActiveWindow(&w);
        const std::pair<QWidget *, QList<QWidget *>> tabs[] = {
            {w.AdvTabSheetZugangsdaten, {w.AccessData->DBEditUserID, w.AccessData->DBEditKennwort, w.AccessData->DBMemoBemerkung}},
            {w.AdvTabSheetTelefon, {f.Telefon().DBAdvEditTelefonName, f.Telefon().DBAdvEditTelefonnummer}},
            {w.AdvTabSheetToDo, {w.ToDoTab->DBAdvEditToDoItem, w.ToDoTab->PlannerDatePickerToDo->Edit(), w.ToDoTab->ToDoErledigt}},
            {w.AdvTabSheetTermine, {w.TermineTab->PlannerDatePickerTermin->Edit(), w.TermineTab->DBAdvEditTerminbeschreibung}},
        };
        for (const auto &[page, order] : tabs) {
            w.AdvPageControl->setCurrentWidget(page);
            QApplication::processEvents();
            // A new record: its check box takes part only while open.
            if (page == w.AdvTabSheetToDo) w.ToDoTab->BtnInsert->trigger();
            order.first()->setFocus(Qt::TabFocusReason);
            for (qsizetype i = 1; i < order.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), order.at(i));
            }
        }
    }

    void theFocusIsFramedWherever() {
        RecordsFixture f;
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        QApplication::setActiveWindow(&w);
        w.AdvPageControl->setCurrentWidget(w.AdvTabSheetEmail);
        RecordsFixture::Click(f.Email().BtnInsert);
        for (QWidget *control : {static_cast<QWidget *>(f.Email().DBAdvEditEmailadresse), static_cast<QWidget *>(f.Email().Grid),
                                 static_cast<QWidget *>(w.PlannerCalendar)}) {
            control->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            QCOMPARE(keyhints::FocusRingTarget(), control);
            // Above the control (a list filling its splitter would hide it
            // otherwise), around its whole area.
            QWidget *ring = control->window()->findChild<QWidget *>(QStringLiteral("FocusRing"));
            QVERIFY(ring && ring->isVisible());
            QWidget *host = ring->parentWidget();
            const QRect framed(control->mapTo(host, QPoint(0, 0)), control->size());
            QVERIFY(ring->geometry().contains(framed));
            // The frame is painted in the highlight colour across the
            // control's edge, on all four sides.
            const QRect visible = ring->geometry() & host->rect();
            const QImage shot = host->grab(visible).toImage();
            const QColor highlight = ring->palette().color(QPalette::Active, QPalette::Highlight);
            const int sw = shot.width(), sh = shot.height();
            for (const QPoint at : {QPoint(0, sh / 2), QPoint(sw - 1, sh / 2), QPoint(sw / 2, 0), QPoint(sw / 2, sh - 1)})
                QVERIFY2(shot.pixelColor(at) == highlight,
                         qPrintable(control->objectName() + QStringLiteral(" at %1,%2").arg(at.x()).arg(at.y())));
        }
    }

    // Saving locks the field that holds the focus; the focus goes on to the
    // tab's list, not out of the tab to the calendar.
    void savingFromALockedFieldLeavesTheFocusOnTheList() {
        RecordsFixture f({QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Alpha')"),
                          QStringLiteral("set generator GEN_TBLPROJEKT_ID to 1")});
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        QApplication::setActiveWindow(&w);
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(QStringLiteral("Ctrl+4")));
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(QStringLiteral("Ins")));
        // A new record takes the cursor into its first field.
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.ToDoTab->DBAdvEditToDoItem));
        TypeText(w.ToDoTab->DBAdvEditToDoItem, QStringLiteral("Karte"));
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(QStringLiteral("Alt+F")));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.ToDoTab->VrTrackBarToDo));
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLTODO")).toInt(), 1);
        QVERIFY(!w.ToDoTab->VrTrackBarToDo->isEnabled());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.ToDoTab->Grid));
        // Insert acts on the tab again.
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(QStringLiteral("Ins")));
        QCOMPARE(f.Dm().IBDataSetToDo->State(), TDataSetState::dsInsert);
        QCOMPARE(f.Dm().IBDataSetProjekt->State(), TDataSetState::dsBrowse);
    }

    // The picture's file dialog lives inside the access tab but is a window
    // of its own: Enter in its file name picks the file. Saving there would
    // post the record before the picture is stored, and the picture be lost.
    void enterInADialogOfTheTabDoesNotSave() {
        RecordsFixture f({QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Alpha')"),
                          QStringLiteral("set generator GEN_TBLPROJEKT_ID to 1")});
        QVERIFY(f.Start());
        TfrmMain &w = f.Main();
        RecordsFixture::Click(w.AccessData->BtnInsertZugangsdaten);
        TypeText(w.AccessData->DBEditUserID, QStringLiteral("anna"));
        int dialogEdits = 0;
        for (QLineEdit *edit : w.AdvTabSheetZugangsdaten->findChildren<QLineEdit *>())
            if (edit->window() != &w) {
                ++dialogEdits;
                emit edit->returnPressed();
            }
        QVERIFY(dialogEdits > 0);
        QCOMPARE(f.Dm().IBDataSetZugangsdaten->State(), TDataSetState::dsInsert);
        QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLZUGANGSDATEN")).toInt(), 0);
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
        // The program's other windows too.
        for (QWidget *window : std::initializer_list<QWidget *>{f.app->frmMasterKW.get(), f.app->frmInputMaster.get(), f.app->frmKennwort.get(),
                                                                 f.app->frmUpdate.get(), f.app->frmAboutBox.get(), f.app->frmZoom.get()})
            for (QWidget *control : window->findChildren<QWidget *>()) {
                if (control->focusPolicy() == Qt::NoFocus || qobject_cast<QAbstractItemView *>(control->parentWidget())) continue;
                QAccessibleInterface *a = QAccessible::queryAccessibleInterface(control);
                if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
                    unnamed << window->objectName() + QLatin1Char('/') + control->objectName() + QLatin1Char('/') +
                                   QString::fromLatin1(control->metaObject()->className());
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
        QTest::newRow("Ctrl+N in the e-mail field") << "email field" << "" << "Ctrl+N" << "email Insert";
        QTest::newRow("F2 in the e-mail tab") << "email grid" << "" << "F2" << "email Edit";
        QTest::newRow("Escape in the e-mail field") << "email field" << "email insert" << "Escape" << "email Browse";
        QTest::newRow("Enter in the e-mail field saves") << "email field" << "email typed" << "Return" << "email saved";
        QTest::newRow("Ctrl+S saves") << "email field" << "email typed" << "Ctrl+S" << "email saved";
        QTest::newRow("Enter in the password box saves") << "access password" << "access typed" << "Return" << "access saved";
        QTest::newRow("Delete on the e-mail grid asks") << "email grid" << "" << "Delete" << "question";
        QTest::newRow("Ctrl+3 shows the phone tab") << "projects" << "" << "Ctrl+3" << "tab Telefon";
        QTest::newRow("F6 from the project list") << "projects" << "" << "F6" << "focus tab";
        QTest::newRow("F6 from the tab's field") << "email field" << "" << "F6" << "focus email grid";
        QTest::newRow("F6 from the tab's list") << "email grid" << "" << "F6" << "focus calendar";
        QTest::newRow("F6 from the calendar") << "calendar" << "" << "F6" << "focus projects";
        QTest::newRow("Ctrl+Tab from the project list") << "projects" << "" << "Ctrl+Tab" << "tab Email";
        QTest::newRow("Ctrl+Shift+Tab wraps to the log") << "projects" << "" << "Ctrl+Shift+Tab" << "tab Log";
        QTest::newRow("Ctrl+Tab from an e-mail field") << "email field" << "email insert" << "Ctrl+Tab" << "tab Telefon";
        // A tab chosen by key takes the focus, so the next key acts on it.
        QTest::newRow("Ctrl+3 from the calendar, then Insert") << "calendar" << "" << "Ctrl+3, Ins" << "phone Insert";
        QTest::newRow("Ctrl+Tab from the project list, then Insert") << "projects" << "" << "Ctrl+Tab, Ins" << "email Insert";
        QTest::newRow("Ctrl+2 back to an e-mail being added") << "projects" << "email insert" << "Ctrl+2" << "focus email field";
        QTest::newRow("Insert on the e-mail grid goes to the field") << "email grid" << "" << "Ins" << "focus email field";
        QTest::newRow("Ctrl+3 in Browse stops at the list") << "projects" << "" << "Ctrl+3" << "focus phone grid";
        QTest::newRow("Shift+F10 on the e-mail grid") << "email grid" << "" << "Shift+F10" << "menu PopupMenuEmail";
        QTest::newRow("Shift+F10 on the project list") << "projects" << "" << "Shift+F10" << "menu PopupMenuProjektliste";
        QTest::newRow("menu key on the phone grid") << "phone grid" << "" << "Menu" << "menu PopupMenuTelefon";
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
        if (before == QLatin1String("access typed")) {
            RecordsFixture::Click(w.AccessData->BtnInsertZugangsdaten);
            TypeText(w.AccessData->DBEditUserID, QStringLiteral("anna"));
            TypeText(w.AccessData->DBEditKennwort, QStringLiteral("geheim"));
        }
        QWidget *target = focus == QLatin1String("projects")      ? static_cast<QWidget *>(w.DBGridProjekte)
                          : focus == QLatin1String("email grid")  ? static_cast<QWidget *>(f.Email().Grid)
                          : focus == QLatin1String("phone grid")  ? static_cast<QWidget *>(f.Telefon().Grid)
                          : focus == QLatin1String("calendar")    ? static_cast<QWidget *>(w.PlannerCalendar)
                          : focus == QLatin1String("access password") ? static_cast<QWidget *>(w.AccessData->DBEditKennwort)
                                                                  : static_cast<QWidget *>(f.Email().DBAdvEditEmailadresse);
        if (!QApplication::focusWidget() || !QApplication::focusWidget()->inherits("QLineEdit") || focus != QLatin1String("projects"))
            target->setFocus(Qt::OtherFocusReason);
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused);
        if (key == QLatin1String("Menu")) {
            // Offscreen, the platform does not turn the menu key into a request;
            // send the one a desktop platform sends to the focused control.
            const QPoint at = focused->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
            QContextMenuEvent request(QContextMenuEvent::Keyboard, at, focused->mapToGlobal(at));
            QApplication::sendEvent(focused, &request);
        } else {
            // Each key goes to whichever control holds the focus by then.
            for (const QString &chord : key.split(QStringLiteral(", ")))
                QTest::keySequence(QApplication::focusWidget(), QKeySequence(chord));
        }
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
        } else if (after == QLatin1String("access saved")) {
            QCOMPARE(dm.IBDataSetZugangsdaten->State(), TDataSetState::dsBrowse);
            // Stored enciphered, never as typed.
            const QString stored = f.Committed(QStringLiteral("select KENNWORT from TBLZUGANGSDATEN where USERID = 'anna'")).toString();
            QVERIFY(!stored.isEmpty() && stored != QLatin1String("geheim"));
        } else if (after == QLatin1String("question")) {
            QCOMPARE(f.dialogs.Messages().size(), 1);
            QCOMPARE(f.dialogs.Messages().first().Text, QStringLiteral("Soll die Emailadresse A@B.DE gelöscht werden?"));
            QCOMPARE(f.Committed(QStringLiteral("select count(*) from TBLEMAIL")).toInt(), 1);  // answered No
        } else if (after.startsWith(QLatin1String("tab "))) {
            QCOMPARE(w.AdvPageControl->tabText(w.AdvPageControl->currentIndex()), after.mid(4));
        } else if (after.startsWith(QLatin1String("menu "))) {
            auto *menu = w.findChild<QMenu *>(after.mid(5));
            QVERIFY(menu);
            QTRY_VERIFY(menu->isVisible());
            // It opens over the grid's current row (an empty grid: over the
            // grid), not wherever the mouse is.
            auto *grid = qobject_cast<QAbstractItemView *>(focused);
            QVERIFY(grid);
            const QRect local = grid->currentIndex().isValid() ? grid->visualRect(grid->currentIndex()) : grid->viewport()->rect();
            const QRect cell(grid->viewport()->mapToGlobal(local.topLeft()), local.size());
            QVERIFY2(cell.contains(menu->pos()), qPrintable(QStringLiteral("%1,%2").arg(menu->pos().x()).arg(menu->pos().y())));
            menu->close();
        } else if (after == QLatin1String("focus tab")) {
            QVERIFY(w.AdvPageControl->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == w.AdvPageControl);
        } else if (after == QLatin1String("focus email field")) {
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.Email().DBAdvEditEmailadresse));
        } else if (after == QLatin1String("focus phone grid")) {
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.Telefon().Grid));
        } else if (after == QLatin1String("focus email grid")) {
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.Email().Grid));
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
