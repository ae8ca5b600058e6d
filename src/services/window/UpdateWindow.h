#pragma once
// The update window: checks the maker's server for a newer version.

#include <QDialog>

class TfrmUpdate : public QDialog {
    Q_OBJECT
public:
    explicit TfrmUpdate(QWidget *parent = nullptr);
};
