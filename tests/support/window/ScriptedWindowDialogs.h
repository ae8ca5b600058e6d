#pragma once
// Scripted dialogs that also show modal windows: each is shown, its script
// acts on it, and it is closed again.

#include "support/ScriptedDialogs.h"

class TScriptedWindowDialogs : public TScriptedDialogs {
public:
    int ShowModal(QDialog *dialog) override;
    static TScriptedDialogs &Install();
};
