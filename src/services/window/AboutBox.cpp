#include "services/window/AboutBox.h"

TfrmAboutBox::TfrmAboutBox(QWidget *parent, const VersionInfo &exeInfo) : QDialog(parent), ExeInfo(exeInfo) {
    setObjectName(QStringLiteral("frmAboutBox"));
    setFixedSize(440, 407);
    setWindowTitle(QStringLiteral("Tresoro ") + ExeInfo.FileVersion);
}
