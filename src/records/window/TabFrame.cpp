#include "records/window/TabFrame.h"

#include "app/window/icons/ImageListMain.h"
#include "store/core/Shell.h"
#include "store/window/Looks.h"

namespace tabframe {

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

void Apply(const TEnabling &row, const QList<QWidget *> &fields, const TButtons &buttons, TShell &shell) {
    if (!row.Touch) return;
    for (QWidget *field : fields) SetLook(field, row.FieldsOpen);
    buttons.Insert->setEnabled(row.Insert);
    buttons.Edit->setEnabled(row.Edit);
    buttons.Delete->setEnabled(row.Delete);
    if (row.Save != TSaveRule::Leave) shell.SetSaveEnabled(row.Save == TSaveRule::Enable);
}

}  // namespace tabframe
