#include "store/window/Looks.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

QColor Cl3DLight() {
    const QPalette p = QApplication::palette();
    const QColor a = p.color(QPalette::Button), b = p.color(QPalette::Midlight);
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

QColor ClWindow() { return QApplication::palette().color(QPalette::Base); }

void SetLook(QWidget *field, bool open) {
    if (!field) return;
    // State handlers run on every change of state; a palette change costs a
    // repolish, so a field that already has the look is left alone.
    const QVariant current = field->property("tresoroOpen");
    if (current.isValid() && current.toBool() == open) return;
    QPalette pal = field->palette();
    const QColor colour = open ? ClWindow() : Cl3DLight();
    for (auto group : {QPalette::Active, QPalette::Inactive}) pal.setColor(group, QPalette::Base, colour);
    field->setPalette(pal);
    field->setProperty("tresoroOpen", open);
    if (auto *e = qobject_cast<QLineEdit *>(field)) e->setReadOnly(!open);
    else if (auto *m = qobject_cast<QPlainTextEdit *>(field)) m->setReadOnly(!open);
    else if (auto *t = qobject_cast<QTextEdit *>(field)) t->setReadOnly(!open);
    else if (auto *s = qobject_cast<QAbstractSpinBox *>(field)) s->setReadOnly(!open);
    else if (auto *v = qobject_cast<QAbstractItemView *>(field))
        v->setEditTriggers(open ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                                      QAbstractItemView::DoubleClicked
                                : QAbstractItemView::NoEditTriggers);
}

bool IsOpenLook(const QWidget *field) { return field && field->property("tresoroOpen").toBool(); }

void SetGridLook(QWidget *grid) {
    QPalette pal = grid->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) pal.setColor(group, QPalette::Base, Cl3DLight());
    grid->setPalette(pal);
}
