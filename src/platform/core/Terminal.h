#pragma once
// Lines from a terminal or from standard input, for the terminal program:
// UTF-8 at the edge, a secret read without echo when standard input is a
// terminal.

#include <QString>
#include <optional>

namespace terminal {
bool InputIsTerminal();
// Shows `prompt` on standard error (on a terminal only) and reads one line
// without its line end; echo is off while a secret is typed. Nothing at the
// end of input.
std::optional<QString> ReadLine(const QString &prompt, bool secret);
void Out(const QString &text);  // standard output, UTF-8
void Err(const QString &text);  // standard error, UTF-8
}  // namespace terminal
