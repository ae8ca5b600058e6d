#pragma once
// Every message box, question, input box, file dialog and modal window of the
// program goes through this interface, so that tests can script the answers
// and check the exact text, caption, icon and buttons.

#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>

class QDialog;
class QWidget;

enum class TMsgIcon { None, Information, Warning, Error, Question };

// Buttons are flags; a box returns the one pressed.
enum TMsgButton : int { mbOK = 1, mbCancel = 2, mbYes = 4, mbNo = 8 };

class TDialogs {
public:
    virtual ~TDialogs() = default;

    virtual int MessageBox(const QString &text, const QString &caption, TMsgIcon icon, int buttons) = 0;
    // One-line input; false when cancelled (value then unchanged). The entry
    // takes at most maxLength characters (0: no limit) and says so when full.
    virtual bool InputQuery(const QString &caption, const QString &prompt, QString &value, bool masked,
                            int maxLength = 0) = 0;
    // Empty when cancelled.
    virtual QString OpenFileName(const QString &caption, const QString &filter, const QString &folder,
                                 bool picturePreview) = 0;
    virtual QString SaveFileName(const QString &caption, const QString &filter, const QString &folder,
                                 const QString &fileName) = 0;
    // Runs a window modally and returns its result code.
    virtual int ShowModal(QDialog *dialog) = 0;
    virtual void Beep() = 0;

    // The conventions of the program, built on the calls above.
    static QString ApplicationTitle();  // "Tresoro"
    // Plain box with the application title as caption and an OK button.
    void ShowMessage(const QString &text);
    // Confirmation: question icon, Yes and No; true for Yes.
    bool Confirm(const QString &text, const QString &caption = ApplicationTitle());
    // The general error box: error icon, OK, the application title, the
    // message with a full stop when its last character is above '.'.
    void ShowError(const QString &message);
    void ShowError(const std::exception &e);
    static QString ErrorText(const QString &message);

    // The program's dialogs; tests install scripted ones.
    static TDialogs &Current();
    static void Install(std::unique_ptr<TDialogs> dialogs);
};

// Shows the wait cursor for its lifetime, restoring it in every case. The
// front end says how (a window program sets the busy cursor).
class TWaitCursor {
public:
    static void SetHooks(std::function<void()> begin, std::function<void()> end);
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};
