#include "platform/core/Dialogs.h"

#include <cstdio>

QString TDialogs::ApplicationTitle() { return QStringLiteral("Tresoro"); }

void TDialogs::ShowMessage(const QString &text) { MessageBox(text, ApplicationTitle(), TMsgIcon::None, mbOK); }

bool TDialogs::Confirm(const QString &text, const QString &caption) {
    return MessageBox(text, caption, TMsgIcon::Question, mbYes | mbNo) == mbYes;
}

QString TDialogs::ErrorText(const QString &message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') return message + QLatin1Char('.');
    return message;
}

void TDialogs::ShowError(const QString &message) {
    MessageBox(ErrorText(message), ApplicationTitle(), TMsgIcon::Error, mbOK);
}

void TDialogs::ShowError(const std::exception &e) { ShowError(QString::fromStdString(e.what())); }

namespace {
std::unique_ptr<TDialogs> &Slot() {
    static std::unique_ptr<TDialogs> dialogs;
    return dialogs;
}
}  // namespace

namespace {
// Until a front end installs its own, every prompt takes its default answer
// and says so on standard error, so that nothing waits for a window that
// cannot exist.
class TDefaultDialogs : public TDialogs {
public:
    int MessageBox(const QString &text, const QString &caption, TMsgIcon, int buttons) override {
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return (buttons & mbCancel) ? mbCancel : (buttons & mbNo) ? mbNo : mbOK;
    }
    bool InputQuery(const QString &, const QString &, QString &, bool, int) override { return false; }
    QString OpenFileName(const QString &, const QString &, const QString &, bool) override { return {}; }
    QString SaveFileName(const QString &, const QString &, const QString &, const QString &) override { return {}; }
    int ShowModal(QDialog *) override { return 0; }
    void Beep() override {}
};

struct TWaitHooks {
    std::function<void()> begin, end;
};
TWaitHooks &WaitHooks() {
    static TWaitHooks hooks;
    return hooks;
}
}  // namespace

TDialogs &TDialogs::Current() {
    if (!Slot()) Slot() = std::make_unique<TDefaultDialogs>();
    return *Slot();
}

void TDialogs::Install(std::unique_ptr<TDialogs> dialogs) { Slot() = std::move(dialogs); }


void TWaitCursor::SetHooks(std::function<void()> begin, std::function<void()> end) {
    WaitHooks() = {std::move(begin), std::move(end)};
}

TWaitCursor::TWaitCursor() {
    if (WaitHooks().begin) WaitHooks().begin();
}

TWaitCursor::~TWaitCursor() {
    if (WaitHooks().end) WaitHooks().end();
}
