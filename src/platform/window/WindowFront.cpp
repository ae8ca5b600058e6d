#include "platform/window/WindowFront.h"

#include <QWidget>

void BringToFront(QWidget *window) {
    if (!window) return;
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}
