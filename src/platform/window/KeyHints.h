#pragma once
// Keyboard finish shared by every window: key names as a German desktop
// shows them, tool-button hints that name their keys, a focus ring that
// follows the input focus, and the keyboard context menu.

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QMenu;
class QToolButton;
class QWidget;

namespace keyhints {

// "Strg+N", "Einfg", "Entf", "Umschalt+F10"… whatever the desktop's language.
QString KeyText(const QKeySequence &key);
// The keys joined for a hint: "Einfg oder Strg+N".
QString KeysText(const QList<QKeySequence> &keys);

// The tool button's hint names the keys that run its action: the action's
// own hint stays as it is (status texts and tests read it), the tool tip
// shown over the button gets the keys appended, or is only the keys when
// the action has no hint.
void NameKeys(QAction *action, const QString &keys);
void NameKeys(QToolButton *button, const QString &keys);  // a button without an action
QString ShownHint(const QAction *action);
QString ShownHint(const QToolButton *button);

// The context menu of a widget, opened by the mouse, the menu key or
// Shift+F10; a scroll area's menu opens where the event happened in its
// viewport.
void AttachContextMenu(QWidget *widget, QMenu *menu);
// What the menu key does, for Shift+F10: a keyboard context-menu request to
// the focused widget, at its cursor or current cell.
void RequestContextMenu(QWidget *focus);

// A visible frame around whichever control holds the input focus, in every
// window of the program. Installed once; safe to call again.
void InstallFocusRing();
// The control the ring currently frames (null when none).
QWidget *FocusRingTarget();

}  // namespace keyhints
