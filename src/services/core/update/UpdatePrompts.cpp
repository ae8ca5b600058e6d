#include "services/core/update/UpdatePrompts.h"

#include "platform/core/Dialogs.h"

void TUpdatePrompts::Message(const QString &text) {
    TDialogs::Current().MessageBox(text, TDialogs::ApplicationTitle(), TMsgIcon::Information, mbOK);
}

bool TUpdatePrompts::Question(const QString &text) { return TDialogs::Current().Confirm(text); }

bool TUpdatePrompts::WhatsNew(const TTextDialog &d) {
    return TDialogs::Current().MessageBox(d.Text, d.Caption, TMsgIcon::None, mbOK | mbCancel) == mbOK;
}

// Yes stands for the acceptance; a box without an answer takes No, as the
// licence dialog preselects "not accepted".
bool TUpdatePrompts::License(const TTextDialog &d) {
    return TDialogs::Current().MessageBox(d.Text, d.Caption, TMsgIcon::Question, mbYes | mbNo) == mbYes;
}

void TUpdatePrompts::HtmlDialog(const QString &) {}

void TUpdatePrompts::ShowUrl(const QString &) {}
