#pragma once
// What the tabs and windows need from the main window that hosts them: the
// status message, the log line, the shared save button and the general error
// box. The main window implements it; tests may provide a small one.

#include <QString>
#include <exception>

class TShell {
public:
    virtual ~TShell() = default;
    // Replaces the status message (panel 3 of the main window's status bar).
    virtual void StatusMessage(const QString &text) = 0;
    virtual QString CurrentStatusMessage() const = 0;
    // A log line: date, time, ": ", message.
    virtual void LogLine(const QString &message) = 0;
    // The save button of the project tool bar, shared by every tab.
    virtual void SetSaveEnabled(bool enabled) = 0;
    virtual bool SaveEnabled() const = 0;
    // The general error box.
    virtual void ShowError(const std::exception &e) = 0;
    // Ends the program in an orderly way once the current command returns
    // (after a failure that must not let the user go on).
    virtual void EndProgram() = 0;
};
