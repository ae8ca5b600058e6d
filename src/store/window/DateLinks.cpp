#include "store/window/DateLinks.h"

#include <QEvent>
#include <QKeyEvent>

#include "platform/core/GermanFormat.h"
#include "platform/window/TextEntry.h"
#include "store/core/DatabaseError.h"
#include "store/core/DateEntry.h"

namespace {
// The date of the entry's text; `invalid` when the text is no date.
QDate ReadDate(const QString &text, bool *invalid) {
    const TDateEntry e = ParseDateEntry(text);
    *invalid = e.kind == TDateEntry::Kind::Invalid;
    return e.date;
}
}  // namespace

// --- TUnboundLink -------------------------------------------------------------------

TUnboundLink::TUnboundLink(QWidget *widget, TDataSource *source) : QObject(widget), source_(source), widget_(widget) {
    if (source_ && source_->DataSet()) source_->DataSet()->RegisterLink(this);
}

TUnboundLink::~TUnboundLink() {
    if (source_ && source_->DataSet()) source_->DataSet()->UnregisterLink(this);
}

bool TUnboundLink::UserInput(bool readOnly) {
    TIBDataSet *ds = source_ ? source_->DataSet() : nullptr;
    if (!ds || !ds->Active() || readOnly) return false;
    if (!IsEditing(ds->State())) {
        if (!source_->AutoEdit) return false;
        if (!links::Guard([ds] { ds->Edit(); }) || !IsEditing(ds->State())) return false;
    }
    ds->SetModified(true);
    return true;
}

// --- TDBDateEditLink ----------------------------------------------------------------

TDBDateEditLink::TDBDateEditLink(QLineEdit *edit, TDataSource *source) : TUnboundLink(edit, source), edit_(edit) {
    edit->setMaxLength(10);
    edit->setPlaceholderText(QString());
    connect(edit, &QLineEdit::textEdited, this, [this] {
        if (!quiet_) UserInput(edit_->isReadOnly());
    });
    edit->installEventFilter(this);
}

void TDBDateEditLink::SetDate(const QDate &date) {
    if (!edit_) return;
    quiet_ = true;
    edit_->setText(date.isValid() ? de::DateText(date) : QString());
    quiet_ = false;
}

void TDBDateEditLink::PickDate(const QDate &date) {
    if (!edit_ || edit_->isReadOnly()) return;
    if (!UserInput(false)) return;
    SetDate(date);
}

QString TDBDateEditLink::Text() const { return edit_ ? edit_->text() : QString(); }

QDate TDBDateEditLink::Date() const {
    bool invalid = false;
    return ReadDate(Text(), &invalid);
}

void TDBDateEditLink::UpdateRecord() {
    TIBDataSet *ds = source_ ? source_->DataSet() : nullptr;
    if (!ds || !IsEditing(ds->State())) return;
    bool invalid = false;
    const QDate d = ReadDate(Text(), &invalid);
    if (invalid) throw EDatabaseError(NotADateMessage(Text()));
    // A typed date is shown in its full form from here on.
    if (d.isValid()) SetDate(d);
}

void TDBDateEditLink::CheckOnLeave() {
    if (!edit_ || edit_->isReadOnly() || links::RefusalUnderWay()) return;
    bool invalid = false;
    const QDate d = ReadDate(Text(), &invalid);
    if (invalid) {
        links::ReportRefusal(edit_, NotADateMessage(Text()));
        return;
    }
    if (d.isValid() && edit_->text() != de::DateText(d)) SetDate(d);
}

bool TDBDateEditLink::eventFilter(QObject *watched, QEvent *event) {
    if (watched == edit_) {
        if (event->type() == QEvent::FocusOut) CheckOnLeave();
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            // Delete or Backspace on the selected whole text empties the entry.
            if ((key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) && !edit_->isReadOnly() &&
                edit_->hasSelectedText() && edit_->selectedText() == edit_->text()) {
                if (UserInput(false)) SetDate(QDate());
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) CheckOnLeave();
        }
    }
    return TUnboundLink::eventFilter(watched, event);
}

// --- TDBCheckBoxLink ----------------------------------------------------------------

TDBCheckBoxLink::TDBCheckBoxLink(QCheckBox *box, TDataSource *source) : TUnboundLink(box, source), box_(box) {
    // clicked() is the user's (mouse or space key), never setChecked().
    connect(box, &QCheckBox::clicked, this, [this](bool checked) {
        if (!UserInput(!box_->isEnabled())) {
            const QSignalBlocker block(box_);
            box_->setChecked(!checked);
            return;
        }
        emit userToggled(checked);
    });
}

void TDBCheckBoxLink::SetChecked(bool checked) {
    if (box_) box_->setChecked(checked);
}

// --- TDBSliderLink ------------------------------------------------------------------

TDBSliderLink::TDBSliderLink(QSlider *slider, TDataSource *source, int stop)
    : TUnboundLink(slider, source), slider_(slider), stop_(stop) {
    slider->setSingleStep(stop);
    slider->setPageStep(stop);
    slider->setTickInterval(stop);
    // Every user action (drag, click, key, wheel) lands on the nearest stop.
    connect(slider, &QSlider::actionTriggered, this, [this](int) {
        const int lo = slider_->minimum(), hi = slider_->maximum();
        const int pos = qBound(lo, slider_->sliderPosition(), hi);
        const int snapped = qBound(lo, lo + (pos - lo + stop_ / 2) / stop_ * stop_, hi);
        if (!UserInput(!slider_->isEnabled())) {
            slider_->setSliderPosition(slider_->value());
            return;
        }
        // The value follows the position once the action is over.
        slider_->setSliderPosition(snapped);
    });
}

void TDBSliderLink::SetPosition(int position) {
    if (slider_) slider_->setValue(position);
}
