#pragma once
// A date field that may be empty: a line edit for typed dates, a button that
// drops down our month calendar (picking a day fills the field and closes
// it), and the link that makes typing and picking count as editing.

#include <QDate>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

#include "store/window/DateLinks.h"

class TPlannerCalendar;
class QFrame;

class TPlannerDatePicker : public QWidget {
    Q_OBJECT
public:
    TPlannerDatePicker(TDataSource *source, QWidget *parent = nullptr);

    // Filled by the program; an invalid date empties the field.
    void SetDate(const QDate &date) { link_->SetDate(date); }
    void Clear() { link_->Clear(); }
    QDate Date() const { return link_->Date(); }
    QString Text() const { return link_->Text(); }
    // Open or locked look: the entry writable or read-only, the button with it.
    void SetOpen(bool open);

    QLineEdit *Edit() const { return edit_; }
    QToolButton *DropButton() const { return button_; }
    TDBDateEditLink *Link() const { return link_; }
    // The drop-down calendar, while it is shown (null otherwise).
    TPlannerCalendar *DropDown() const { return calendar_; }
    void ShowDropDown();
    void CloseDropDown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *edit_;
    QToolButton *button_;
    TDBDateEditLink *link_;
    QFrame *popup_ = nullptr;
    TPlannerCalendar *calendar_ = nullptr;
};
