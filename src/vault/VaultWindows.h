#pragma once
// The vault's windows: the master password window, the prompt before a
// password is revealed and the window that shows it.

#include "vault/FrmMasterKW.h"
#include "vault/RevealWindows.h"
