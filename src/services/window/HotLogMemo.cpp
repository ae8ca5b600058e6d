#include "services/window/HotLogMemo.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>

#include "services/core/HotLog.h"
#include "services/core/HotLogVisual.h"

namespace {
class TMemoLogView : public THotLogView {
public:
    explicit TMemoLogView(QPlainTextEdit *memo) : THotLogView(memo), memo_(memo) {
        memo->setUndoRedoEnabled(false);  // a log view has nothing to undo; the history would double the memory
    }

    void AppendLines(const QString &text, bool scrollToEnd) override {
        QPlainTextEdit *edit = memo_.data();
        if (!edit) return;
        edit->setUpdatesEnabled(false);
        QScrollBar *bar = edit->verticalScrollBar();
        QScrollBar *across = edit->horizontalScrollBar();
        // The view follows the newest line unless the user has scrolled up,
        // and stays at the lines' beginnings unless scrolled across.
        const bool atEnd = bar->value() >= bar->maximum();
        const int left = across->value();
        edit->appendPlainText(text);
        across->setValue(left);
        // The first time it is asked to, it goes to the end whatever was shown.
        if (scrollToEnd && (atEnd || !asked_)) bar->setValue(bar->maximum());
        asked_ = asked_ || scrollToEnd;
        edit->setUpdatesEnabled(true);
        edit->viewport()->update();
    }

private:
    QPointer<QPlainTextEdit> memo_;
    bool asked_ = false;
};
}  // namespace

void AttachLogMemo(THotLog &log, QPlainTextEdit *memo) {
    if (!memo) return;
    auto *view = memo->findChild<THotLogView *>(QString(), Qt::FindDirectChildrenOnly);
    log.AttachView(view ? view : new TMemoLogView(memo));
}
