// Cost of storing and revealing an access password against one digest.
//
// One pair = KeyFromPassPhrase + EncipherText, then KeyFromPassPhrase +
// DecipherText of a 40-character password, the key made from a digest text
// each time as the program does. Reference: one SHA-1 digest text of the same
// password. ratio = time of one pair / time of one digest text.

#include <QByteArray>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

#include "platform/core/Cp1252.h"
#include "vault/core/LbBlowfish.h"
#include "vault/core/LbSHA1.h"

namespace {

constexpr qint64 kRunNanoseconds = 1'000'000'000;

// Calls op in batches until the run time is used up; returns operations per second.
template <typename Op>
double PerSecond(Op op) {
    for (int i = 0; i < 1000; ++i) op();  // warm up
    QElapsedTimer timer;
    timer.start();
    qint64 count = 0;
    do {
        for (int i = 0; i < 1000; ++i) op();
        count += 1000;
    } while (timer.nsecsElapsed() < kRunNanoseconds);
    return double(count) * 1e9 / double(timer.nsecsElapsed());
}

}  // namespace

int main() {
    const QByteArray password = cp1252::Encode(QStringLiteral("Grüße aus Köln: Maß & Öl, Äpfel für 12 €"));
    if (password.size() != 40) {
        std::fprintf(stderr, "the sample password must have 40 characters, has %lld\n", qlonglong(password.size()));
        return EXIT_FAILURE;
    }
    TLbSHA1 sha;
    const QByteArray digest = sha.DigestText(cp1252::Encode(QStringLiteral("Mein Masterkennwort"))).toLatin1();

    TLbBlowfish cipher;
    volatile qsizetype sink = 0;
    bool intact = true;
    const double pairs = PerSecond([&] {
        cipher.KeyFromPassPhrase(digest);
        const QByteArray stored = cipher.EncipherText(password);
        cipher.KeyFromPassPhrase(digest);
        const QByteArray clear = cipher.DecipherText(stored);
        intact = intact && clear == password;
        sink = sink + clear.size();
    });
    const double digests = PerSecond([&] { sink = sink + sha.DigestText(password).size(); });
    if (!intact) {
        std::fprintf(stderr, "round trip failed\n");
        return EXIT_FAILURE;
    }

    std::printf("encipher_decipher_pairs_per_second: %.0f\n", pairs);
    std::printf("sha1_digest_texts_per_second: %.0f\n", digests);
    std::printf("ratio: %.2f\n", digests / pairs);
    return EXIT_SUCCESS;
}
