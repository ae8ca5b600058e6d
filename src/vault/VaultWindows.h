#pragma once
// The vault's windows: the master password window, the prompt before a
// password is revealed and the window that shows it.

#include <QDialog>

class TfrmMasterKW : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMasterKW(QWidget *parent = nullptr);
};

class TfrmInputMaster : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInputMaster(QWidget *parent = nullptr);
};

class TfrmKennwort : public QDialog {
    Q_OBJECT
public:
    explicit TfrmKennwort(QWidget *parent = nullptr);
};
