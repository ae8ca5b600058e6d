#include "planning/window/PlannerDatePicker.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "planning/window/PlannerCalendar.h"
#include "store/window/Looks.h"

TPlannerDatePicker::TPlannerDatePicker(TDataSource *source, QWidget *parent) : QWidget(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("DateText"));
    button_ = new QToolButton(this);
    button_->setObjectName(QStringLiteral("DropDown"));
    button_->setArrowType(Qt::DownArrow);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setToolTip(QStringLiteral("Kalender öffnen"));
    layout->addWidget(edit_, 1);
    layout->addWidget(button_, 0);
    setFocusProxy(edit_);
    link_ = new TDBDateEditLink(edit_, source);
    connect(button_, &QToolButton::clicked, this, &TPlannerDatePicker::ShowDropDown);
    edit_->installEventFilter(this);
}

void TPlannerDatePicker::SetOpen(bool open) {
    SetLook(edit_, open);
    button_->setEnabled(open);
    if (!open) CloseDropDown();
}

void TPlannerDatePicker::ShowDropDown() {
    if (edit_->isReadOnly()) return;
    CloseDropDown();
    popup_ = new QFrame(this, Qt::Popup);
    popup_->setObjectName(QStringLiteral("DatePickerDropDown"));
    popup_->setAttribute(Qt::WA_DeleteOnClose);
    popup_->setFrameShape(QFrame::Box);
    auto *l = new QVBoxLayout(popup_);
    l->setContentsMargins(1, 1, 1, 1);
    calendar_ = new TPlannerCalendar(popup_);
    calendar_->setObjectName(QStringLiteral("DatePickerCalendar"));
    const QDate shown = Date();
    calendar_->SetSelectedDate(shown.isValid() ? shown : QDate::currentDate());
    l->addWidget(calendar_);
    connect(calendar_, &TPlannerCalendar::DayClicked, this, [this](const QDate &d) {
        link_->PickDate(d);
        CloseDropDown();
        edit_->setFocus();
    });
    connect(popup_, &QObject::destroyed, this, [this] {
        popup_ = nullptr;
        calendar_ = nullptr;
    });
    calendar_->installEventFilter(this);
    popup_->adjustSize();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen *s = screen()) {
        const QRect avail = s->availableGeometry();
        if (at.y() + popup_->height() > avail.bottom()) at.setY(mapToGlobal(QPoint(0, 0)).y() - popup_->height());
        at.setX(qBound(avail.left(), at.x(), qMax(avail.left(), avail.right() - popup_->width())));
    }
    popup_->move(at);
    popup_->show();
    calendar_->setFocus();
}

void TPlannerDatePicker::CloseDropDown() {
    if (popup_) popup_->close();
}

bool TPlannerDatePicker::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == calendar_) {
            if (key->key() == Qt::Key_Escape) {
                CloseDropDown();
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                const QDate d = calendar_->SelectedDate();
                link_->PickDate(d);
                CloseDropDown();
                return true;
            }
        }
        // Alt+Down or F4 drops the calendar down, as date fields do.
        if (watched == edit_ && (key->key() == Qt::Key_F4 || (key->key() == Qt::Key_Down && key->modifiers() & Qt::AltModifier))) {
            ShowDropDown();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
