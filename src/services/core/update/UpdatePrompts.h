#pragma once
// What the update engine asks or shows the user. The defaults go through
// TDialogs as message boxes, so that a front end without its own dialogs and
// the tests get every prompt; the window layer puts its 400 x 400 text
// dialogs, its HTML dialog and the desktop's web-page opener in their place.

#include <QString>

struct TTextDialog {
    QString Caption;
    QString Text;
    QString OkButton;      // "Ok"
    QString CancelButton;  // whatsnew: "Cancel"
    QString Accept;        // licence: "I accept"
    QString NotAccept;     // licence: "I do not accept" (preselected)
};

class TUpdatePrompts {
public:
    virtual ~TUpdatePrompts() = default;
    // `action` msg: a plain box with an OK button.
    virtual void Message(const QString &text);
    // `action` query and the engine's own questions: Yes/No, true for Yes.
    virtual bool Question(const QString &text);
    // `whatsnew`: true for OK, false for Cancel.
    virtual bool WhatsNew(const TTextDialog &dialog);
    // `eula`: true only when the licence was accepted.
    virtual bool License(const TTextDialog &dialog);
    // `action` htmldlg and showURL; without a window there is nothing to show.
    virtual void HtmlDialog(const QString &url);
    virtual void ShowUrl(const QString &url);
};
