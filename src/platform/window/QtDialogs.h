#pragma once
// The prompt interface on screen: message boxes, input boxes, file dialogs.

#include "platform/core/Dialogs.h"

// The real, on-screen implementation.
class TQtDialogs : public TDialogs {
public:
    int MessageBox(const QString &text, const QString &caption, TMsgIcon icon, int buttons) override;
    bool InputQuery(const QString &caption, const QString &prompt, QString &value, bool masked,
                    int maxLength = 0) override;
    QString OpenFileName(const QString &caption, const QString &filter, const QString &folder,
                         bool picturePreview) override;
    QString SaveFileName(const QString &caption, const QString &filter, const QString &folder,
                         const QString &fileName) override;
    int ShowModal(QDialog *dialog) override;
    void Beep() override;

    // Installs the on-screen dialogs and the busy cursor as the program's.
    static void InstallAsCurrent();

    // "\r\n" and "\r" inside a message text are line breaks.
    static QString Displayed(const QString &text);

    // The width a small window needs for the window manager to show its
    // caption whole beside the title bar's icon and buttons.
    static int CaptionWidth(const QString &caption);
};
