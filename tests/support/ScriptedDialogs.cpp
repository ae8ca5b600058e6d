#include "support/ScriptedDialogs.h"


QList<TDialogCall> TScriptedDialogs::Messages() const {
    QList<TDialogCall> out;
    for (const TDialogCall &c : Calls)
        if (c.Kind == QLatin1String("message")) out << c;
    return out;
}

int TScriptedDialogs::MessageBox(const QString &text, const QString &caption, TMsgIcon icon, int buttons) {
    Calls << TDialogCall{QStringLiteral("message"), text, caption, icon, buttons, false};
    if (messages_.empty()) {
        if (buttons != mbOK) ++Unexpected;  // a plain OK box needs no answer
        return (buttons & mbOK) ? mbOK : (buttons & mbNo) ? mbNo : mbCancel;
    }
    const int answer = messages_.front();
    messages_.pop_front();
    return answer;
}

bool TScriptedDialogs::InputQuery(const QString &caption, const QString &prompt, QString &value, bool masked,
                                  int maxLength) {
    Calls << TDialogCall{QStringLiteral("input"), prompt, caption, TMsgIcon::None, 0, masked, maxLength};
    if (inputs_.empty()) {
        ++Unexpected;
        return false;
    }
    const auto answer = inputs_.front();
    inputs_.pop_front();
    if (!answer) return false;
    value = maxLength > 0 ? answer->left(maxLength) : *answer;
    return true;
}

QString TScriptedDialogs::NextFile(const char *kind, const QString &caption, const QString &filter) {
    Calls << TDialogCall{QString::fromLatin1(kind), filter, caption, TMsgIcon::None, 0, false};
    if (files_.empty()) {
        ++Unexpected;
        return QString();
    }
    const QString f = files_.front();
    files_.pop_front();
    return f;
}

QString TScriptedDialogs::OpenFileName(const QString &caption, const QString &filter, const QString &, bool) {
    return NextFile("open", caption, filter);
}

QString TScriptedDialogs::SaveFileName(const QString &caption, const QString &filter, const QString &, const QString &) {
    return NextFile("save", caption, filter);
}

std::function<void(QDialog *)> TScriptedDialogs::NextModal() {
    if (modals_.empty()) {
        ++Unexpected;
        return {};
    }
    auto script = std::move(modals_.front());
    modals_.pop_front();
    return script;
}

// Without windows there is nothing to show: the call is recorded and its
// script, if any, run.
int TScriptedDialogs::ShowModal(QDialog *dialog) {
    Calls << TDialogCall{QStringLiteral("modal"), {}, {}, TMsgIcon::None, 0, false};
    if (auto script = NextModal()) script(dialog);
    return 0;
}

void TScriptedDialogs::Beep() { Calls << TDialogCall{QStringLiteral("beep"), {}, {}, TMsgIcon::None, 0, false}; }

TScriptedDialogs &TScriptedDialogs::Install() {
    auto owned = std::make_unique<TScriptedDialogs>();
    TScriptedDialogs &ref = *owned;
    TDialogs::Install(std::move(owned));
    return ref;
}
