#pragma once
// What every text entry of the program shares: characters Windows-1252
// cannot hold are refused with a message once the key or paste is over,
// limits are shown when reached, and failures of actions started by input
// go to one error reporter (the general error box).

#include <QString>
#include <functional>

class QLineEdit;
class QWidget;

namespace links {
// Where links send what they refuse or what fails while the user types or
// clicks; the program shows it in its general error box.
void SetErrorReporter(std::function<void(const QString &)> reporter);
void ReportError(const QString &message);
// Typed or pasted text that was refused: reported once the editor's event
// is over, then the focus goes back to the editor.
void ReportRefusal(QWidget *editor, const QString &message);
// True from a refusal until its box has closed and the focus is back: an
// editor that closes when it loses the focus (a grid's cell editor) stays.
bool RefusalUnderWay();
// Runs an action started by a user's input and reports its failure.
bool Guard(const std::function<void()> &action);
// Gives a plain, unbound line edit the same refusal of characters outside
// Windows-1252 that the bound edits have.
void RefuseUnencodable(QLineEdit *edit);
// Sets the entry's limit and shows "Höchstens N Zeichen" when the user types
// or pastes into a full entry.
void LimitVisibly(QLineEdit *edit, int maxLength);
// The limit hint last shown for `edit` (empty when none was).
QString LimitHintShown(const QLineEdit *edit);
}  // namespace links
