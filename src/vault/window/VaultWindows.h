#pragma once
// The vault's windows: the master password window, the prompt before a
// password is revealed and the window that shows it.

#include "vault/window/FrmMasterKW.h"
#include "vault/window/RevealWindows.h"
