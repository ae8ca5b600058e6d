#include "screenshots/window/ZoomWindow.h"

TfrmZoom::TfrmZoom(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmZoom"));
    setWindowTitle(QStringLiteral("Zoom"));
    setFixedSize(862, 613);
}
