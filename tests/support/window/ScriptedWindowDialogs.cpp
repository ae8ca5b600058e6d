#include "support/window/ScriptedWindowDialogs.h"

#include <QApplication>
#include <QDialog>

int TScriptedWindowDialogs::ShowModal(QDialog *dialog) {
    Calls << TDialogCall{QStringLiteral("modal"), dialog->objectName(), dialog->windowTitle(), TMsgIcon::None, 0, false};
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    QApplication::processEvents();
    if (auto script = NextModal()) script(dialog);
    if (dialog->isVisible()) dialog->close();
    return dialog->result();
}

TScriptedDialogs &TScriptedWindowDialogs::Install() {
    auto owned = std::make_unique<TScriptedWindowDialogs>();
    TScriptedDialogs &ref = *owned;
    TDialogs::Install(std::move(owned));
    return ref;
}
