#include "platform/window/CapsLock.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include "platform/window/CapsLockX11.h"

bool CapsLockOn() {
    // qGuiApp would cast a mere core application blindly.
    const auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() != QLatin1String("xcb")) return false;
    const auto *x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->display()) return false;
    return capslock_x11::CapsLockOn(x11->display());
}
