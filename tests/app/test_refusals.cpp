// Text Windows-1252 cannot hold, typed or pasted into every kind of editor
// of the real window with real message boxes: the box is closed with Enter,
// and the editor keeps working with what it held before.

#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QtTest>
#include <functional>

#include "../records/RecordsFixture.h"
#include "platform/window/QtDialogs.h"
#include "platform/window/TextEntry.h"
#include "vault/window/AccessDataTab.h"
#include "vault/window/VaultWindows.h"

namespace {
// Closes every message box that opens with the keyboard, as a user would; counts them.
class TBoxCloser : public QObject {
public:
    TBoxCloser() {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            // A busy machine may show a box before its loop takes keys: it is
            // then still open at the next tick, pressed again but counted once.
            if (!seen_.contains(box)) {
                seen_ << box;
                texts << box->text();
            }
            // Enter closes a message, as the user closed the refusal; a question is answered No.
            QTest::keyClick(box, box->buttons().size() > 1 ? Qt::Key_Escape : Qt::Key_Return);
        });
        timer_.start(20);
    }
    QStringList texts;

private:
    QTimer timer_;
    QList<QPointer<QMessageBox>> seen_;
};

void Paste(QWidget *w, const QString &text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
}
}  // namespace

class TestRefusals : public QObject {
    Q_OBJECT
private slots:
    void init() {
        f = std::make_unique<RecordsFixture>(
            QStringList{QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Alpha')"),
                        QStringLiteral("set generator GEN_TBLPROJEKT_ID to 1")});
        TQtDialogs::InstallAsCurrent();  // real boxes with their own modal loops
        QVERIFY(f->Start());
        f->Main().activateWindow();
    }
    void cleanup() {
        f->Main().CloseWithoutAsking();
        f.reset();
    }

    void theProjectNameCellEditorSurvivesTypedAndPastedText() {
        TBoxCloser closer;
        RecordsFixture::Click(f->Main().BtnInsert);
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(qobject_cast<QLineEdit *>(editor));
        TypeText(editor, QStringLiteral("Test \u03A9"));
        QTRY_COMPARE(closer.texts.size(), 1);
        QVERIFY(closer.texts.first().contains(QStringLiteral("U+03A9")));
        QTRY_COMPARE(QApplication::focusWidget(), editor);
        Paste(editor, QStringLiteral(" \u2192 \u201E"));  // → has no place in the code page, „ has
        QTRY_COMPARE(closer.texts.size(), 2);
        QTRY_COMPARE(QApplication::focusWidget(), editor);
        TypeText(editor, QStringLiteral("Neu"));
        QCOMPARE(qobject_cast<QLineEdit *>(editor)->text(), QStringLiteral("Test Neu"));
        QTest::keyClick(editor, Qt::Key_Return);  // Enter in the name cell saves
        QTRY_COMPARE(f->Committed(QStringLiteral("select count(*) from TBLPROJEKT where PROJEKTNAME = 'Test Neu'")).toInt(), 1);
    }

    void lineEditsMemosAndPasswordBoxesSurviveToo() {
        TBoxCloser closer;
        TAccessDataTab *tab = f->Main().AccessData;
        RecordsFixture::Click(tab->BtnInsertZugangsdaten);
        struct Case {
            QWidget *editor;
            QString typed, kept;
        };
        const Case cases[] = {{tab->DBEditUserID, QStringLiteral("ich\u03A9"), QStringLiteral("ich")},
                              {tab->DBEditKennwort, QStringLiteral("geheim\u2192"), QStringLiteral("geheim")},
                              {tab->DBMemoBemerkung, QStringLiteral("Notiz\u0142"), QStringLiteral("Notiz")}};
        int boxes = 0;
        for (const Case &c : cases) {
            c.editor->setFocus();
            TypeText(c.editor, c.typed);
            ++boxes;
            QTRY_COMPARE(closer.texts.size(), boxes);
            QTRY_COMPARE(QApplication::focusWidget(), c.editor);
            TypeText(c.editor, QStringLiteral("1"));
            const QString text = qobject_cast<QLineEdit *>(c.editor) ? qobject_cast<QLineEdit *>(c.editor)->text()
                                                                       : qobject_cast<QPlainTextEdit *>(c.editor)->toPlainText();
            QCOMPARE(text, c.kept + QStringLiteral("1"));
        }
        f->Main().BtnSave->trigger();
        QTRY_COMPARE(f->Committed(QStringLiteral("select USERID from TBLZUGANGSDATEN")).toString(), QStringLiteral("ich1"));
    }

    void theMasterPasswordEntriesSurviveToo() {
        TBoxCloser closer;
        TfrmMasterKW *w = f->app->frmMasterKW.get();
        QString seen, hint;
        // Showing the window asks about a backup, then for the old password;
        // the prompt runs its own modal loop and is driven from inside. The
        // driver waits for the prompt without blocking: run inside the
        // backup question's loop, a waiting driver would keep that question
        // from returning on a busy machine.
        QObject scope;
        std::function<void()> drive;
        drive = [&] {
            auto *prompt = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            QLineEdit *entry = prompt ? prompt->findChild<QLineEdit *>() : nullptr;
            if (!entry || !prompt->isVisible()) {
                QTimer::singleShot(20, &scope, drive);
                return;
            }
            TypeText(entry, QStringLiteral("ab\u03A9"));
            QTRY_COMPARE(closer.texts.size(), 2);
            QTRY_COMPARE(QApplication::focusWidget(), entry);
            TypeText(entry, QStringLiteral("cdefghijklmnopqrstuvwxyz"));  // 26 characters in all
            seen = entry->text();
            hint = links::LimitHintShown(entry);
            QTest::keyClick(prompt, Qt::Key_Escape);
        };
        QTimer::singleShot(0, &scope, drive);
        w->show();
        QTRY_VERIFY(!seen.isEmpty());
        QCOMPARE(seen, QStringLiteral("abcdefghijklmnopqrst"));
        QCOMPARE(hint, QStringLiteral("Höchstens 20 Zeichen"));
        QTRY_COMPARE(closer.texts.size(), 3);  // backup question, refusal, then Cancel as a wrong entry
        QCOMPARE(closer.texts.last(), QStringLiteral("falsches Masterkennwort, nur Anzeige möglich!"));
        w->close();
    }

private:
    std::unique_ptr<RecordsFixture> f;
};

QTEST_MAIN(TestRefusals)
#include "test_refusals.moc"
