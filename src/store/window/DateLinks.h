#pragma once
// Links for controls that show a record but are not bound to one of its
// fields: a date entry, a check box and a slider. Their owner fills them
// from the current row and its before-save hook reads them. What the user
// does with them counts like typing into a bound edit: the dataset enters
// editing (auto-edit) and the record gets its modified mark, so that moving
// to another row writes the change instead of dropping it.
//
// A date entry holds a German date (dd.MM.yyyy, also d.M.yy) or nothing. A
// text that is no date is refused once the user leaves the entry, and again
// when a post starts: the post stops, the record stays in editing.

#include <QCheckBox>
#include <QDate>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QSlider>

#include "store/core/DataSet.h"

class TUnboundLink : public QObject, public TDataLink {
    Q_OBJECT
public:
    ~TUnboundLink() override;
    void UpdateRecord() override {}

protected:
    TUnboundLink(QWidget *widget, TDataSource *source);
    // The user changed the control: editing starts and the record is marked.
    // False when the dataset cannot be edited now.
    bool UserInput(bool readOnly);
    QPointer<TDataSource> source_;
    QPointer<QWidget> widget_;
};

class TDBDateEditLink : public TUnboundLink {
    Q_OBJECT
public:
    TDBDateEditLink(QLineEdit *edit, TDataSource *source);

    // The program fills the entry (no modified mark); an invalid date empties it.
    void SetDate(const QDate &date);
    void Clear() { SetDate(QDate()); }
    // The user picked a day (from a drop-down calendar).
    void PickDate(const QDate &date);
    // The entry's text and its date (invalid when empty or no date).
    QString Text() const;
    QDate Date() const;
    bool IsEmpty() const { return Text().trimmed().isEmpty(); }
    // Throws EDatabaseError when the text is no date.
    void UpdateRecord() override;
    QLineEdit *Edit() const { return edit_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CheckOnLeave();
    QPointer<QLineEdit> edit_;
    bool quiet_ = false;
};

class TDBCheckBoxLink : public TUnboundLink {
    Q_OBJECT
public:
    TDBCheckBoxLink(QCheckBox *box, TDataSource *source);
    // Set by the program: no modified mark, and no userToggled().
    void SetChecked(bool checked);

signals:
    // The user ticked or cleared the box (after editing has started).
    void userToggled(bool checked);

private:
    QPointer<QCheckBox> box_;
};

class TDBSliderLink : public TUnboundLink {
    Q_OBJECT
public:
    // `stop`: the distance between the positions a user can land on.
    TDBSliderLink(QSlider *slider, TDataSource *source, int stop);
    // Set by the program: no modified mark (valueChanged still follows).
    void SetPosition(int position);

private:
    QPointer<QSlider> slider_;
    int stop_;
};
