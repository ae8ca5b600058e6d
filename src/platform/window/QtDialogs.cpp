#include "platform/window/QtDialogs.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QCompleter>
#include <QDialog>
#include <QFileDialog>
#include <QStyle>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "platform/window/TextEntry.h"

// --- on screen -------------------------------------------------------------------

QString TQtDialogs::Displayed(const QString &text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

int TQtDialogs::MessageBox(const QString &text, const QString &caption, TMsgIcon icon, int buttons) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(Displayed(text));
    box.setTextFormat(Qt::PlainText);  // a text is shown as given, never read as markup
    // Room above the first line: the marks of capital umlauts ("Ö") sit at
    // the top of the line and must not touch the label's edge.
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) label->setContentsMargins(0, 4, 0, 0);
    switch (icon) {
    case TMsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case TMsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case TMsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case TMsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case TMsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    struct B {
        int flag;
        QMessageBox::StandardButton button;
        const char *text;
    };
    const B all[] = {{mbYes, QMessageBox::Yes, "&Ja"},
                     {mbNo, QMessageBox::No, "&Nein"},
                     {mbOK, QMessageBox::Ok, "OK"},
                     {mbCancel, QMessageBox::Cancel, "Abbrechen"}};
    for (const B &b : all)
        if (buttons & b.flag) box.addButton(b.button)->setText(QString::fromUtf8(b.text));
    if (buttons & mbNo) box.setEscapeButton(QMessageBox::No);
    if (buttons & mbCancel) box.setEscapeButton(QMessageBox::Cancel);
    const int pressed = box.exec();
    for (const B &b : all)
        if (pressed == b.button) return b.flag;
    return (buttons & mbCancel) ? mbCancel : (buttons & mbNo) ? mbNo : mbOK;
}

bool TQtDialogs::InputQuery(const QString &caption, const QString &prompt, QString &value, bool masked,
                            int maxLength) {
    QInputDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(caption);
    dlg.setLabelText(prompt);
    dlg.setTextValue(value);
    dlg.setTextEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    if (auto *edit = dlg.findChild<QLineEdit *>()) {
        links::RefuseUnencodable(edit);
        if (maxLength > 0) links::LimitVisibly(edit, maxLength);
        // The box's layout sizes it from its contents: the entry makes room
        // for the caption (the layout's margins come on top).
        edit->setMinimumWidth(CaptionWidth(caption) - 2 * dlg.style()->pixelMetric(QStyle::PM_LayoutLeftMargin));
    }
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dlg.exec() != QDialog::Accepted) return false;
    value = dlg.textValue();
    return true;
}

QString TQtDialogs::OpenFileName(const QString &caption, const QString &filter, const QString &folder, bool) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, folder, filter);
}

QString TQtDialogs::SaveFileName(const QString &caption, const QString &filter, const QString &folder,
                                 const QString &fileName) {
    const QString start = fileName.isEmpty() ? folder : folder + QLatin1Char('/') + fileName;
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, start, filter);
}

int TQtDialogs::ShowModal(QDialog *dialog) {
    const int result = dialog->exec();
    // A name typed with Enter leaves a completer's list open on top of the
    // program once the dialog is gone (file dialogs); it goes with it.
    for (QCompleter *completer : dialog->findChildren<QCompleter *>())
        if (completer->popup()) completer->popup()->hide();
    return result;
}

int TQtDialogs::CaptionWidth(const QString &caption) {
    // Title bars mostly use a bold face of about the window font's size or a
    // little larger; the icon and three buttons take about six lines' height.
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    return fm.horizontalAdvance(caption) * 5 / 4 + 6 * fm.height() + 8;
}

void TQtDialogs::Beep() { QApplication::beep(); }

void TQtDialogs::InstallAsCurrent() {
    TDialogs::Install(std::make_unique<TQtDialogs>());
    TWaitCursor::SetHooks([] { QApplication::setOverrideCursor(Qt::WaitCursor); },
                          [] { QApplication::restoreOverrideCursor(); });
}
