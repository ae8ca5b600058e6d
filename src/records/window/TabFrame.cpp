#include "records/window/TabFrame.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>

#include "app/window/icons/ImageListMain.h"
#include "platform/window/KeyHints.h"
#include "store/core/Shell.h"
#include "store/window/Looks.h"

namespace tabframe {

const QList<QKeySequence> kInsertKeys = {QKeySequence(Qt::Key_Insert), QKeySequence(Qt::CTRL | Qt::Key_N)};
const QKeySequence kEditKey(Qt::Key_F2), kCancelKey(Qt::Key_Escape), kDeleteKey(Qt::Key_Delete);

void NameRecordKeys(const TButtons &buttons) {
    keyhints::NameKeys(buttons.Insert, keyhints::KeysText(kInsertKeys));
    keyhints::NameKeys(buttons.Edit, keyhints::KeyText(kEditKey));
    keyhints::NameKeys(buttons.Cancel, keyhints::KeyText(kCancelKey));
    keyhints::NameKeys(buttons.Delete, keyhints::KeyText(kDeleteKey));
}

TButtons BuildToolBar(QToolBar *bar, const std::array<TButton, 4> &buttons) {
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const ImageListMain::Index icons[4] = {ImageListMain::Add, ImageListMain::Edit, ImageListMain::CancelEditing,
                                           ImageListMain::Delete};
    TButtons made;
    QAction **targets[4] = {&made.Insert, &made.Edit, &made.Cancel, &made.Delete};
    for (size_t i = 0; i < 4; ++i) {
        QAction *a = bar->addAction(ImageListMain::Icon(icons[i]), buttons[i].Hint);
        a->setObjectName(QString::fromLatin1(buttons[i].Name));
        a->setToolTip(buttons[i].Hint);
        if (QWidget *w = bar->widgetForAction(a)) w->setObjectName(a->objectName() + QStringLiteral("Button"));
        *targets[i] = a;
    }
    NameRecordKeys(made);
    return made;
}

QList<QAction *> AddPopupEntries(QMenu *menu, const std::array<TEntry, 4> &entries) {
    const ImageListMain::Index icons[4] = {ImageListMain::Add, ImageListMain::Edit, ImageListMain::Delete,
                                           ImageListMain::CancelEditing};
    QList<QAction *> made;
    for (size_t i = 0; i < 4; ++i) {
        QAction *entry = menu->addAction(ImageListMain::Icon(icons[i]), entries[i].Caption);
        if (entries[i].Name && *entries[i].Name) entry->setObjectName(QString::fromLatin1(entries[i].Name));
        QObject::connect(entry, &QAction::triggered, entry, entries[i].Run);
        made << entry;
    }
    return made;
}

namespace {
void RunIfEnabled(QAction *action) {
    if (action && action->isEnabled()) action->trigger();
}

class TGridDeleteKey : public QObject {
public:
    TGridDeleteKey(QWidget *grid, QAction *del) : QObject(grid), del_(del) { grid->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == kDeleteKey[0].key() &&
            static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
            RunIfEnabled(del_);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAction *del_;
};
}  // namespace

void InstallKeys(QWidget *page, const TButtons &buttons, QWidget *grid) {
    const std::pair<QKeySequence, QAction *> keys[] = {{kInsertKeys[0], buttons.Insert},
                                                       {kInsertKeys[1], buttons.Insert},
                                                       {kEditKey, buttons.Edit},
                                                       {kCancelKey, buttons.Cancel}};
    for (const auto &[key, action] : keys) {
        auto *shortcut = new QShortcut(key, page);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, page, [action = action, key = key] {
            // An open drop-down takes Escape for itself.
            if (QWidget *popup = QApplication::activePopupWidget(); popup && key == QKeySequence(Qt::Key_Escape)) {
                popup->close();
                return;
            }
            RunIfEnabled(action);
        });
    }
    if (grid) new TGridDeleteKey(grid, buttons.Delete);
}

void Apply(const TEnabling &row, const QList<QWidget *> &fields, const TButtons &buttons, TShell &shell) {
    if (!row.Touch) return;
    for (QWidget *field : fields) SetLook(field, row.FieldsOpen);
    buttons.Insert->setEnabled(row.Insert);
    buttons.Edit->setEnabled(row.Edit);
    buttons.Delete->setEnabled(row.Delete);
    if (row.Save != TSaveRule::Leave) shell.SetSaveEnabled(row.Save == TSaveRule::Enable);
}

}  // namespace tabframe
