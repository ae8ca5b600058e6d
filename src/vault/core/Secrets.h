#pragma once
// Overwriting clear passwords and master passwords once they are no longer
// needed. Only a string's own buffer is overwritten: one it shares with
// another holder is let go, and that holder keeps its text.

#include <QByteArray>
#include <QString>

namespace secure {

// Overwrites the characters, then empties the string.
void Wipe(QString &text);
void Wipe(QByteArray &bytes);

// Wipes a string when it goes out of scope.
class TWipeOnExit {
public:
    explicit TWipeOnExit(QString &text) : text_(&text) {}
    explicit TWipeOnExit(QByteArray &bytes) : bytes_(&bytes) {}
    ~TWipeOnExit() {
        if (text_) Wipe(*text_);
        if (bytes_) Wipe(*bytes_);
    }
    TWipeOnExit(const TWipeOnExit &) = delete;
    TWipeOnExit &operator=(const TWipeOnExit &) = delete;

private:
    QString *text_ = nullptr;
    QByteArray *bytes_ = nullptr;
};

}  // namespace secure
