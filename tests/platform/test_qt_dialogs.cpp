// The on-screen message box shows texts exactly as given: umlauts whole,
// line breaks from "\r\n" and "\r", nothing read as markup, the caption as
// the window's title.

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <memory>
#include <QMessageBox>
#include <QtTest>

#include "platform/window/QtDialogs.h"
#include "platform/window/QtTexts.h"

class TestQtDialogs : public QObject {
    Q_OBJECT
private slots:
    // Qt's own texts, an edit's menu and the file dialog's, are German too.
    void qtsOwnTextsAreGerman() {
        QVERIFY(InstallGermanQtTexts());
        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList entries;
        for (QAction *a : menu->actions())
            if (!a->isSeparator()) entries << a->text().section(QLatin1Char('\t'), 0, 0);
        QVERIFY2(entries.contains(QStringLiteral("&Kopieren")) && entries.contains(QStringLiteral("Alles auswählen")),
                 qPrintable(entries.join(QLatin1Char('|'))));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto *cancel = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel);
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QStringLiteral("Abbrechen"));
    }

    void messageBoxesShowTheirTextAsGiven_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("umlauts, CR LF") << QStringLiteral("E: Kritischer Fehler beim Öffnen der Datenbank\r\nProgramm wird beendet ...")
                                        << QStringLiteral("E: Kritischer Fehler beim Öffnen der Datenbank\nProgramm wird beendet ...");
        QTest::newRow("bare CR") << QStringLiteral("Äpfel\rÜbel ß") << QStringLiteral("Äpfel\nÜbel ß");
        QTest::newRow("markup stays text") << QStringLiteral("<b>fett</b> & Co") << QStringLiteral("<b>fett</b> & Co");
    }
    void messageBoxesShowTheirTextAsGiven() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        TQtDialogs dialogs;
        QString seenText, seenTitle;
        int room = -1, marks = 0;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label);
            seenText = label->text();
            seenTitle = box->windowTitle();
            QCOMPARE(label->textFormat(), Qt::PlainText);
            // The first line's marks above capitals stay inside the label.
            const QFontMetrics fm(label->font());
            room = label->contentsMargins().top() + fm.ascent();
            marks = -fm.boundingRect(QStringLiteral("ÖÄÜ")).top();
            QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(dialogs.MessageBox(text, QStringLiteral("Fehler"), TMsgIcon::None, mbOK), int(mbOK));
        QCOMPARE(seenText, shown);
        QCOMPARE(seenTitle, QStringLiteral("Fehler"));
        QVERIFY2(room >= marks + 2, qPrintable(QStringLiteral("%1 %2").arg(room).arg(marks)));
    }

    // A small box is wide enough for the window manager to show its caption
    // whole, beside the title bar's icon and buttons.
    void anInputBoxShowsItsCaptionWhole() {
        TQtDialogs dialogs;
        const QString caption = QStringLiteral("Wechsel des Masterkennworts");
        int width = 0;
        QTimer::singleShot(0, [&] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            width = box->width();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QString value;
        QVERIFY(!dialogs.InputQuery(caption, QStringLiteral("Altes Kennwort"), value, false));
        QFont bold = QApplication::font();
        bold.setBold(true);
        const QFontMetrics fm(bold);
        // A title bar's face is often a little larger than the window font.
        QVERIFY2(width >= fm.horizontalAdvance(caption) * 6 / 5 + 4 * fm.height(), qPrintable(QString::number(width)));
    }
};

QTEST_MAIN(TestQtDialogs)
#include "test_qt_dialogs.moc"
