#include "vault/core/Secrets.h"

#include "platform/core/SecureZero.h"

namespace secure {

void Wipe(QString &text) {
    // Another holder's text is never written to: a shared string is only let go.
    if (!text.isEmpty() && text.isDetached()) Zero(text.data(), std::size_t(text.size()) * sizeof(QChar));
    text.clear();
}

void Wipe(QByteArray &bytes) {
    if (!bytes.isEmpty() && bytes.isDetached()) Zero(bytes.data(), std::size_t(bytes.size()));
    bytes.clear();
}

}  // namespace secure
