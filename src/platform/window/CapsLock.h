#pragma once
// The keyboard's Caps Lock state, for the status bar's "CAP" panel and the
// password windows.

// True while Caps Lock is on. Read from the X display's keyboard indicators
// on the xcb platform; every other platform (offscreen, Wayland without X)
// and a program without a GUI application report false.
bool CapsLockOn();
