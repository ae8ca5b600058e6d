#include "platform/core/Terminal.h"

#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace terminal {

bool InputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

std::optional<QString> ReadLine(const QString &prompt, bool secret) {
    const bool tty = InputIsTerminal();
    if (tty) {
        std::fputs(prompt.toUtf8().constData(), stderr);
        std::fflush(stderr);
    }
    termios saved{};
    const bool hide = tty && secret && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (hide) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    bool any = false;
    for (int c; (c = std::fgetc(stdin)) != EOF;) {
        any = true;
        if (c == '\n') break;
        line.push_back(char(c));
    }
    if (hide) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fputs("\n", stderr);
    }
    if (!any) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    QString text = QString::fromUtf8(line.data(), qsizetype(line.size()));
    // Wipe what the line held; the caller's copy is its own.
    std::fill(line.begin(), line.end(), '\0');
    return text;
}

void Out(const QString &text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void Err(const QString &text) {
    std::fputs(text.toUtf8().constData(), stderr);
    std::fflush(stderr);
}

}  // namespace terminal
