#include "platform/window/TextEntry.h"

#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QToolTip>

#include "platform/core/Cp1252.h"

namespace links {
namespace {
std::function<void(const QString &)> &Reporter() {
    static std::function<void(const QString &)> reporter;
    return reporter;
}
}  // namespace

void SetErrorReporter(std::function<void(const QString &)> reporter) { Reporter() = std::move(reporter); }

void ReportError(const QString &message) {
    if (Reporter()) Reporter()(message);
}

namespace {
bool &RefusalFlag() {
    static bool underWay = false;
    return underWay;
}
}  // namespace

void ReportRefusal(QWidget *editor, const QString &message) {
    // The box must not open inside the editor's own key or paste handling:
    // a modal loop there lets the editor be closed (a grid's cell editor is
    // deleted on focus loss) while its handler still runs. It opens once the
    // event is done, and the focus goes back to the editor afterwards.
    if (RefusalUnderWay()) return;
    RefusalFlag() = true;
    QPointer<QWidget> target(editor);
    QTimer::singleShot(0, [target, message] {
        ReportError(message);
        if (target && target->isVisible()) {
            target->activateWindow();
            target->setFocus(Qt::OtherFocusReason);
        }
        RefusalFlag() = false;
    });
}

bool RefusalUnderWay() { return RefusalFlag(); }

bool Guard(const std::function<void()> &action) {
    try {
        action();
        return true;
    } catch (const std::exception &e) {
        ReportError(QString::fromStdString(e.what()));
    }
    return false;
}

namespace {
// Typed text the code page cannot hold: back to the last good text, reported.
bool RestoreIfUnencodable(QLineEdit *edit, const QString &text, const QString &lastGood) {
    const qsizetype bad = cp1252::FirstUnencodable(text);
    if (bad < 0) return false;
    const int cursor = qMax(0, edit->cursorPosition() - 1);
    edit->setText(lastGood);
    edit->setCursorPosition(qMin(cursor, int(lastGood.size())));
    ReportRefusal(edit, cp1252::UnencodableMessage(text.at(bad)));
    return true;
}

class TUnencodableGuard : public QObject {
public:
    explicit TUnencodableGuard(QLineEdit *edit) : QObject(edit), lastGood_(edit->text()) {
        connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString &text) {
            if (!RestoreIfUnencodable(edit, text, lastGood_)) lastGood_ = text;
        });
        // Text set by the program is the new reference.
        connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) {
            if (cp1252::FirstUnencodable(text) < 0) lastGood_ = text;
        });
    }

private:
    QString lastGood_;
};
}  // namespace

void RefuseUnencodable(QLineEdit *edit) { new TUnencodableGuard(edit); }
}  // namespace links

namespace links {
namespace {
// Says so when a full entry is typed into or pasted into: characters beyond
// the limit are dropped, and the user must see that they were.
class TVisibleLimit : public QObject {
public:
    TVisibleLimit(QLineEdit *edit, QString hint) : QObject(edit), edit_(edit), hint_(std::move(hint)) {
        edit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == edit_ && event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            const bool typing = !key->text().isEmpty() && key->text().at(0) >= QLatin1Char(' ');
            const bool paste = key->matches(QKeySequence::Paste);
            if ((typing || paste) && !edit_->hasSelectedText() && edit_->text().size() >= edit_->maxLength())
                Show();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Show() {
        Shown = hint_;
        QToolTip::showText(edit_->mapToGlobal(QPoint(0, edit_->height())), hint_, edit_);
    }

public:
    QString Shown;

private:
    QLineEdit *edit_;
    QString hint_;
};
}  // namespace

void LimitVisibly(QLineEdit *edit, int maxLength) {
    edit->setMaxLength(maxLength);
    new TVisibleLimit(edit, QStringLiteral("Höchstens %1 Zeichen").arg(maxLength));
}

QString LimitHintShown(const QLineEdit *edit) {
    for (QObject *o : edit->children())
        if (auto *limit = dynamic_cast<TVisibleLimit *>(o)) return limit->Shown;
    return QString();
}
}  // namespace links
