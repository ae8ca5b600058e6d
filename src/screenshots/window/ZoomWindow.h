#pragma once
// The zoom window: the access record's picture at a chosen scale.

#include <QDialog>

class TfrmZoom : public QDialog {
    Q_OBJECT
public:
    explicit TfrmZoom(QWidget *parent = nullptr);
};
