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
        edit->appendPlainText(text);
        if (scrollToEnd) {
            QScrollBar *bar = edit->verticalScrollBar();
            bar->setValue(bar->maximum());
        }
        edit->setUpdatesEnabled(true);
        edit->viewport()->update();
    }

private:
    QPointer<QPlainTextEdit> memo_;
};
}  // namespace

void AttachLogMemo(THotLog &log, QPlainTextEdit *memo) {
    if (!memo) return;
    auto *view = memo->findChild<THotLogView *>(QString(), Qt::FindDirectChildrenOnly);
    log.AttachView(view ? view : new TMemoLogView(memo));
}
