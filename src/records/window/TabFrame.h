#pragma once
// The frame every record tab shares: its tool bar of add, edit, cancel and
// delete (named and hinted per tab), the matching context-menu entries, and
// the enabling table applied to fields and buttons.

#include <QAction>
#include <QList>
#include <QMenu>
#include <QToolBar>
#include <array>
#include <functional>

#include "store/core/Enabling.h"

class TShell;

namespace tabframe {

struct TButton {
    const char *Name;
    QString Hint;
};

// The tab's four commands in tool-bar order: add, edit, cancel, delete.
struct TButtons {
    QAction *Insert = nullptr, *Edit = nullptr, *Cancel = nullptr, *Delete = nullptr;
};

// The record keys; the buttons' hints name them.
extern const QList<QKeySequence> kInsertKeys;
extern const QKeySequence kEditKey, kCancelKey, kDeleteKey;
void NameRecordKeys(const TButtons &buttons);

// A tool bar of 16-pixel icons holding the four commands.
TButtons BuildToolBar(QToolBar *bar, const std::array<TButton, 4> &buttons);

// The context menu's four entries in menu order: add, edit, delete, cancel.
struct TEntry {
    const char *Name;  // may be empty
    QString Caption;
    std::function<void()> Run;
};
QList<QAction *> AddPopupEntries(QMenu *menu, const std::array<TEntry, 4> &entries);

// The keys of a record tab, active while the focus is inside `page`:
// Insert or Ctrl+N adds, F2 edits, Escape cancels, Delete on the focused
// grid deletes (with the tab's question). Each runs only while its button
// is enabled.
void InstallKeys(QWidget *page, const TButtons &buttons, QWidget *grid);

// Opens or locks the fields and switches the buttons as the row says.
void Apply(const TEnabling &row, const QList<QWidget *> &fields, const TButtons &buttons, TShell &shell);

}  // namespace tabframe
