// libFuzzer target: DecipherText on any bytes must either fail with one of
// its two errors or give a text no longer than the blocks allow; whatever it
// is given also goes through EncipherText and must come back unchanged.
// Built and run by scripts/fuzz.sh, not by the normal build.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "vault/core/Base64.h"
#include "vault/core/CipherErrors.h"
#include "vault/core/LbBlowfish.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    quint32 tick = 0x12345678u;
    TLbBlowfish cipher([&tick] { return tick++; });
    cipher.KeyFromPassPhrase("4D376B70DAD934828FB73FB4AAB5D0217FF88D15");

    try {
        const QByteArray clear = cipher.DecipherText(input);
        const qsizetype decoded = vault::Base64Decode(input).size();
        if (decoded < 16 || clear.size() > 8 * (decoded / 8 - 1) || clear.size() < 8 * (decoded / 8 - 2)) std::abort();
    } catch (const EBase64Error &) {
    } catch (const ECipherException &) {
    }

    const QByteArray stored = cipher.EncipherText(input);
    if (cipher.DecipherText(stored) != input) std::abort();
    return 0;
}
