#pragma once
// The About window. It also holds the program's version data, which the main
// window reads for its caption.

#include <QDialog>
#include <QLabel>

#include "platform/core/VersionInfo.h"

class TIBDatabase;
class QGroupBox;
class QPushButton;

// A label that reports clicks and double clicks.
class TClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

class TfrmAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAboutBox(QWidget *parent = nullptr, const VersionInfo &exeInfo = VersionInfo::Program());
    // The program file's version as text, "1.1.1.5".
    QString FileVersion() const { return ExeInfo.FileVersion; }
    VersionInfo ExeInfo;
    // The connection whose facts the window shows; set by the start-up.
    TIBDatabase *Database = nullptr;

    void FormShow();
    void Image1Click();
    void ImageFirebirdClick();

    static QString SupportMail();
    static QString DatabaseWebAddress();

    QLabel *ProgramIcon, *ProductName, *LabelVersion, *LabelCopyright;
    QGroupBox *GroupBoxBetriebssystem, *GroupBoxDatenbank, *GroupBox1;
    QLabel *LabelOS, *LabelODS, *LabelDBGroesse;
    TClickLabel *LabelDBVersion, *LabelMail, *Image1, *ImageFirebird;
    QPushButton *OKButton;

protected:
    void showEvent(QShowEvent *event) override;
};
