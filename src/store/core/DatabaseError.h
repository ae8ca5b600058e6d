#pragma once
#include <QString>
#include <stdexcept>

// A failure reported by the database or its client library. The message is
// the database's own error text, so the user sees what the server said.
class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const QString &message, int sqlCode = 0)
        : std::runtime_error(message.toStdString()), sqlCode_(sqlCode) {}
    QString Message() const { return QString::fromStdString(what()); }
    int SqlCode() const { return sqlCode_; }

private:
    int sqlCode_;
};
