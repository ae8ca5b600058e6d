#pragma once
// Dialogs for tests: every box, question and input is recorded with its
// exact text, caption, icon and buttons, and answered from a script.

#include <QList>
#include <QString>
#include <deque>
#include <optional>
#include <functional>

#include "platform/core/Dialogs.h"

class QDialog;

struct TDialogCall {
    QString Kind;  // "message", "input", "open", "save", "modal", "beep"
    QString Text;
    QString Caption;
    TMsgIcon Icon = TMsgIcon::None;
    int Buttons = 0;
    bool Masked = false;
    int MaxLength = 0;
};

class TScriptedDialogs : public TDialogs {
public:
    // Answers, used in order; a call without an answer gets the box's
    // default (OK, No, Cancel) and is marked unexpected.
    void AnswerMessage(int button) { messages_.push_back(button); }
    void AnswerInput(std::optional<QString> text) { inputs_.push_back(std::move(text)); }
    void AnswerFile(const QString &path) { files_.push_back(path); }
    // Acts on a modal window while it is shown; its result is returned.
    void AnswerModal(std::function<void(QDialog *)> script) { modals_.push_back(std::move(script)); }

    QList<TDialogCall> Calls;
    int Unexpected = 0;
    QList<TDialogCall> Messages() const;
    void Clear() { Calls.clear(); }

    int MessageBox(const QString &text, const QString &caption, TMsgIcon icon, int buttons) override;
    // An answer longer than the entry's limit is cut as the entry cuts it.
    bool InputQuery(const QString &caption, const QString &prompt, QString &value, bool masked,
                    int maxLength = 0) override;
    QString OpenFileName(const QString &caption, const QString &filter, const QString &folder, bool preview) override;
    QString SaveFileName(const QString &caption, const QString &filter, const QString &folder,
                         const QString &fileName) override;
    int ShowModal(QDialog *dialog) override;
    void Beep() override;

    // Installs a fresh scripted instance as the program's dialogs.
    static TScriptedDialogs &Install();

protected:
    // The next modal script, if any (counted as unexpected when none).
    std::function<void(QDialog *)> NextModal();

private:
    QString NextFile(const char *kind, const QString &caption, const QString &filter);
    std::deque<int> messages_;
    std::deque<std::optional<QString>> inputs_;
    std::deque<QString> files_;
    std::deque<std::function<void(QDialog *)>> modals_;
};
