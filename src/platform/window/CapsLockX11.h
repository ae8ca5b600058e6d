#pragma once
// Bridge to the one file that includes the X11 headers: their macros (None,
// Bool, Status, KeyPress, ...) must never meet Qt's.

struct _XDisplay;

namespace capslock_x11 {

bool CapsLockOn(_XDisplay *display);

}  // namespace capslock_x11
