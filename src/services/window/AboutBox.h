#pragma once
// The About window. It also holds the program's version data, which the main
// window reads for its caption.

#include <QDialog>

#include "platform/core/VersionInfo.h"

class TfrmAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAboutBox(QWidget *parent = nullptr, const VersionInfo &exeInfo = VersionInfo::Program());
    // The program file's version as text, "1.1.1.5".
    QString FileVersion() const { return ExeInfo.FileVersion; }
    VersionInfo ExeInfo;
};
