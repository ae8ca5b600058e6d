// Every X11 include of the program lives here.
#include "platform/window/CapsLockX11.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace capslock_x11 {

bool CapsLockOn(_XDisplay *display) {
    // The indicator is looked up by name: its index differs between keymaps.
    const Atom name = XInternAtom(display, "Caps Lock", True);
    Bool on = False;
    if (name != None && XkbGetNamedIndicator(display, name, nullptr, &on, nullptr, nullptr))
        return on != False;
    // A keymap without that indicator: the locked Lock modifier is the state.
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success) return false;
    return (state.locked_mods & LockMask) != 0;
}

}  // namespace capslock_x11
