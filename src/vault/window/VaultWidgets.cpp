#include "vault/window/VaultWidgets.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QTextLayout>

#include "store/window/DataLinks.h"
#include "store/window/Looks.h"

namespace vaultui {

void SetEntryLook(QWidget *field, bool enabled) {
    QPalette pal = field->palette();
    const QColor colour = enabled ? ClWindow() : Cl3DLight();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) pal.setColor(group, QPalette::Base, colour);
    field->setPalette(pal);
    field->setEnabled(enabled);
}

bool HasEntryLook(const QWidget *field) {
    return field->isEnabled() && field->palette().color(QPalette::Disabled, QPalette::Base) == ClWindow();
}

void MakePasswordEdit(QLineEdit *edit, int maxLength) {
    QFont f = edit->font();
    f.setBold(true);
    f.setPointSize(12);
    edit->setFont(f);
    edit->setFixedSize(169, 28);
    links::LimitVisibly(edit, maxLength);
    edit->setEchoMode(QLineEdit::Password);
    // The program shows "*" for every character, whatever the desktop style draws.
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    links::RefuseUnencodable(edit);
}

namespace {
class TToolTipBlocker : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::ToolTip; }
};
}  // namespace

void SuppressToolTips(QWidget *window) {
    auto *blocker = new TToolTipBlocker(window);
    window->installEventFilter(blocker);
    for (QWidget *w : window->findChildren<QWidget *>()) w->installEventFilter(blocker);
}

// --- TTypedLengthValidator -------------------------------------------------------

TTypedLengthValidator::TTypedLengthValidator(QLineEdit *edit, int limit) : QValidator(edit), limit_(limit) {
    shown_ = int(edit->text().size());
    connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) { shown_ = int(text.size()); });
}

QValidator::State TTypedLengthValidator::validate(QString &input, int &) const {
    return input.size() <= limit_ || input.size() < shown_ ? Acceptable : Invalid;
}

// --- TWrapLabel ----------------------------------------------------------------------

namespace {
// Lays the text out line by line, breaking anywhere; returns the height used.
int LayOut(const QString &text, const QFont &font, int width, QTextLayout &layout) {
    layout.setText(text);
    layout.setFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return qCeil(y);
}
}  // namespace

TWrapLabel::TWrapLabel(QWidget *parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    QSizePolicy p(QSizePolicy::Fixed, QSizePolicy::Preferred);
    p.setHeightForWidth(true);
    setSizePolicy(p);
}

int TWrapLabel::heightForWidth(int width) const {
    QTextLayout layout;
    return qMax(13, LayOut(text(), font(), width, layout));
}

QSize TWrapLabel::sizeHint() const { return QSize(width(), heightForWidth(width())); }

QSize TWrapLabel::minimumSizeHint() const { return sizeHint(); }

void TWrapLabel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    QTextLayout layout;
    LayOut(text(), font(), width(), layout);
    layout.draw(&painter, QPointF(0, 0));
}

// --- TPanelStatusBar -----------------------------------------------------------------

TPanelStatusBar::TPanelStatusBar(int firstPanelWidth, QWidget *parent) : QFrame(parent) {
    setFixedHeight(19);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 1, 0, 0);
    row->setSpacing(2);
    for (int i = 0; i < 2; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        panels_[i]->setContentsMargins(3, 0, 3, 0);
        panels_[i]->setTextFormat(Qt::PlainText);
    }
    panels_[0]->setFixedWidth(firstPanelWidth);
    row->addWidget(panels_[0]);
    row->addWidget(panels_[1], 1);
}

QString TPanelStatusBar::PanelText(int panel) const { return panels_[panel]->text(); }

void TPanelStatusBar::SetPanelText(int panel, const QString &text) { panels_[panel]->setText(text); }

}  // namespace vaultui
