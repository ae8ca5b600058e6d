#include "services/window/UpdateWindow.h"

TfrmUpdate::TfrmUpdate(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(QStringLiteral("WebUpdate"));
    setFixedSize(507, 140);
}
