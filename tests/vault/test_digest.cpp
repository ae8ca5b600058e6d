#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "vault/core/LbSHA1.h"
#include "vault/core/PassPhraseDigest.h"
#include "vault/core/PiFraction.h"

namespace {

// Digit extraction (Bailey-Borwein-Plouffe): frac(16^n pi) computed without
// the digits before position n. Independent of the series the build uses.
std::uint64_t PowMod(std::uint64_t base, std::uint64_t exp, std::uint64_t mod) {
    std::uint64_t result = 1 % mod;
    base %= mod;
    for (; exp; exp >>= 1) {
        if (exp & 1) result = result * base % mod;
        base = base * base % mod;
    }
    return result;
}

long double Series(std::uint64_t j, std::uint64_t n) {
    long double s = 0;
    for (std::uint64_t k = 0; k <= n; ++k) {
        const std::uint64_t d = 8 * k + j;
        s += static_cast<long double>(PowMod(16, n - k, d)) / d;
        s -= std::floor(s);
    }
    for (std::uint64_t k = n + 1; k <= n + 24; ++k)
        s += std::pow(16.0L, -static_cast<long double>(k - n)) / (8 * k + j);
    return s - std::floor(s);
}

long double PiFractionAt(std::uint64_t hexDigit) {
    long double x = 4 * Series(1, hexDigit) - 2 * Series(4, hexDigit) - Series(5, hexDigit) - Series(6, hexDigit);
    return x - std::floor(x);
}

// One step of a mixing table: up to two additions and one xor with a shifted
// word, in the order the table gives them. Shift > 0 is left, < 0 right.
struct MixStep {
    enum Kind { Add, XorShift } kind;
    int target;
    int source;
    int shift;
};

template <std::size_t N, std::size_t S>
void RunTable(std::array<std::uint32_t, N> &w, const std::array<MixStep, S> &steps) {
    for (const auto &s : steps) {
        if (s.kind == MixStep::Add)
            w[s.target] += w[s.source];
        else
            w[s.target] ^= s.shift > 0 ? w[s.source] << s.shift : w[s.source] >> -s.shift;
    }
}

constexpr int a = 0, b = 1, c = 2, d = 3, e = 4, f = 5, g = 6, h = 7;
using K = MixStep;

// Transcribed row by row from the mixing tables.
constexpr std::array<MixStep, 24> kMixFourTable = {{
    {K::Add, a, d, 0}, {K::Add, d, a, 0}, {K::XorShift, a, a, -7},
    {K::Add, b, a, 0}, {K::Add, a, b, 0}, {K::XorShift, b, b, 13},
    {K::Add, c, b, 0}, {K::Add, b, c, 0}, {K::XorShift, c, c, -17},
    {K::Add, d, c, 0}, {K::Add, c, d, 0}, {K::XorShift, d, d, 9},
    {K::Add, a, d, 0}, {K::Add, d, a, 0}, {K::XorShift, a, a, -3},
    {K::Add, b, a, 0}, {K::Add, a, b, 0}, {K::XorShift, b, b, 7},
    {K::Add, c, b, 0}, {K::Add, b, c, 0}, {K::XorShift, c, d, -15},
    {K::Add, d, c, 0}, {K::Add, c, d, 0}, {K::XorShift, d, d, 11},
}};

constexpr std::array<MixStep, 24> kMixEightTable = {{
    {K::XorShift, a, b, 11}, {K::Add, d, a, 0}, {K::Add, b, c, 0},
    {K::XorShift, b, c, -2}, {K::Add, e, b, 0}, {K::Add, c, d, 0},
    {K::XorShift, c, d, 8},  {K::Add, f, c, 0}, {K::Add, d, e, 0},
    {K::XorShift, d, e, -16}, {K::Add, g, d, 0}, {K::Add, e, f, 0},
    {K::XorShift, e, f, 10}, {K::Add, h, e, 0}, {K::Add, f, g, 0},
    {K::XorShift, f, g, -4}, {K::Add, a, f, 0}, {K::Add, g, h, 0},
    {K::XorShift, g, h, 8},  {K::Add, b, g, 0}, {K::Add, h, a, 0},
    {K::XorShift, h, a, -9}, {K::Add, c, h, 0}, {K::Add, a, b, 0},
}};

vault::CipherKey Key(const QByteArray &passPhrase) {
    vault::CipherKey key;
    vault::PassPhraseDigest(passPhrase, key.data(), key.size());
    return key;
}

QByteArray Enciphered(const vault::DigestBlockCipher &cipher, QByteArray block) {
    cipher.EncipherBlock(reinterpret_cast<unsigned char *>(block.data()));
    return block;
}

}  // namespace

class TestDigest : public QObject {
    Q_OBJECT
private slots:
    void piTableStartsWithTheKnownDigits() {
        QCOMPARE(vault::kPiFraction[0], 0x243F6A88u);   // P[0]
        QCOMPARE(vault::kPiFraction[1], 0x85A308D3u);   // P[1]
        QCOMPARE(vault::kPiFraction[18], 0xD1310BA6u);  // S0[0]
        // the digest buffer's first bytes, read big-endian
        QCOMPARE(vault::kPiFraction[2], 0x13198A2Eu);
        QCOMPARE(vault::kPiFraction[3], 0x03707344u);
    }

    void piTableMatchesDigitExtraction() {
        for (std::size_t w = 0; w + 1 < vault::kPiFractionWords; ++w) {
            const long double expected = PiFractionAt(8 * w);
            // two table words give 64 bits from this position on; a wrong digit
            // is off by at least 16^-8
            const long double table =
                (static_cast<long double>(vault::kPiFraction[w]) +
                 static_cast<long double>(vault::kPiFraction[w + 1]) / 4294967296.0L) / 4294967296.0L;
            long double diff = expected - table;
            diff -= std::round(diff);
            QVERIFY2(std::fabs(diff) < 1e-12L, qPrintable(QStringLiteral("word %1").arg(w)));
        }
        const std::size_t last = vault::kPiFractionWords - 1;
        const long double rest = PiFractionAt(8 * last) - vault::kPiFraction[last] / 4294967296.0L;
        QVERIFY(rest > -1e-12L && rest < 1.0L / 4294967296.0L + 1e-12L);
    }

    void digestTextIsSha1InUpperCaseHex_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("digest");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
        QTest::newRow("abc") << QByteArray("abc") << QStringLiteral("A9993E364706816ABA3E25717850C26C9CD0D89D");
        QTest::newRow("two blocks") << QByteArray("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")
                                    << QStringLiteral("84983E441C3BD26EBAAE4AA1F95129E5E54670F1");
        QTest::newRow("million a") << QByteArray(1000000, 'a')
                                   << QStringLiteral("34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
    }
    void digestTextIsSha1InUpperCaseHex() {
        QFETCH(QByteArray, text);
        QFETCH(QString, digest);
        TLbSHA1 sha;
        QCOMPARE(sha.DigestText(text), digest);
        const auto &last = sha.Digest();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(last.data()), 20).toHex().toUpper(), digest.toLatin1());
    }

    void letterCaseChangesTheDigest() {
        TLbSHA1 sha;
        const QString lower = sha.DigestText("geheimnis");
        QVERIFY(lower != sha.DigestText("Geheimnis"));
        QVERIFY(lower != sha.DigestText("GEHEIMNIS"));
        QCOMPARE(sha.DigestText("geheimnis"), lower);
    }

    void mixFourFollowsItsTable() {
        QRandomGenerator rng(4711);
        for (int i = 0; i < 1000; ++i) {
            std::array<std::uint32_t, 4> w;
            for (auto &x : w) x = rng.generate();
            auto expected = w;
            RunTable(expected, kMixFourTable);
            vault::MixFour(w[0], w[1], w[2], w[3]);
            QCOMPARE(w, expected);
        }
    }

    void mixEightFollowsItsTable() {
        QRandomGenerator rng(4711);
        for (int i = 0; i < 1000; ++i) {
            std::array<std::uint32_t, 8> w;
            for (auto &x : w) x = rng.generate();
            auto expected = w;
            RunTable(expected, kMixEightTable);
            vault::MixEight(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
            QCOMPARE(w, expected);
        }
    }

    void digestBlockCipherClampsItsRounds() {
        const vault::CipherKey key = Key("Schluessel");
        const QByteArray block("0123456789ABCDEF");
        const QByteArray four = Enciphered(vault::DigestBlockCipher(key, 4), block);
        const QByteArray eight = Enciphered(vault::DigestBlockCipher(key, 8), block);
        const QByteArray sixteen = Enciphered(vault::DigestBlockCipher(key, 16), block);
        QCOMPARE(Enciphered(vault::DigestBlockCipher(key, 0), block), four);
        QCOMPARE(Enciphered(vault::DigestBlockCipher(key, -3), block), four);
        QCOMPARE(Enciphered(vault::DigestBlockCipher(key, 17), block), sixteen);
        QCOMPARE(Enciphered(vault::DigestBlockCipher(key, 1000), block), sixteen);
        QVERIFY(four != eight && eight != sixteen && four != block);
    }

    void passPhraseDigestGivesAtMost256Bytes() {
        const QByteArray phrase("DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
        unsigned char all[300];
        std::fill(std::begin(all), std::end(all), 0xEE);
        QCOMPARE(vault::PassPhraseDigest(phrase, all, sizeof all), std::size_t(256));
        QVERIFY(std::all_of(all + 256, all + 300, [](unsigned char x) { return x == 0xEE; }));
        unsigned char key[16];
        QCOMPARE(vault::PassPhraseDigest(phrase, key, sizeof key), std::size_t(16));
        QVERIFY(std::equal(key, key + 16, all));
        // independent 16-byte blocks: asking for 20 bytes changes nothing before them
        unsigned char twenty[20];
        vault::PassPhraseDigest(phrase, twenty, sizeof twenty);
        QVERIFY(std::equal(twenty, twenty + 20, all));
    }

    // Reference values from a separate model of the format, written apart from
    // this code. Every stored key depends on them: a change is a format change.
    void passPhraseDigestReferenceValues_data() {
        QTest::addColumn<QByteArray>("phrase");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("digest");
        QByteArray wrapping;
        for (int i = 0; i < 512; ++i) wrapping.append(static_cast<char>(i));
        QTest::newRow("empty") << QByteArray() << 0 << QByteArray("0bd132aa831c56ac1f92e61084a342d2");
        QTest::newRow("one byte") << QByteArray("a") << 0 << QByteArray("845eb2948758dc943b8a2f887491032e");
        QTest::newRow("seven") << QByteArray("1234567") << 0 << QByteArray("24fc3cdb60455598e1015696707cc139");
        QTest::newRow("eight") << QByteArray("12345678") << 0 << QByteArray("b71bccfc7a8c64aae7e3b7c6716ad7d6");
        QTest::newRow("digest text") << QByteArray("4D376B70DAD934828FB73FB4AAB5D0217FF88D15") << 0
                                     << QByteArray("d8d772e32e23716ea63ed5ab47b6746a");
        QTest::newRow("512 bytes, first block") << wrapping << 0 << QByteArray("f5c90d6ccae5e40b18335861b52053c7");
        QTest::newRow("512 bytes, last block") << wrapping << 240 << QByteArray("7c1b148deaeb4b42e9863455c4f56f2a");
    }
    void passPhraseDigestReferenceValues() {
        QFETCH(QByteArray, phrase);
        QFETCH(int, offset);
        QFETCH(QByteArray, digest);
        unsigned char all[vault::kPassPhraseDigestSize];
        vault::PassPhraseDigest(phrase, all, sizeof all);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(all) + offset, 16).toHex(), digest);
    }

    void everyPassPhraseByteCounts_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("position");
        for (int position : {0, 7, 8, 15, 16, 39}) QTest::addRow("40 chars, byte %d", position) << 40 << position;
        for (int position : {255, 256, 263, 299}) QTest::addRow("300 bytes, byte %d", position) << 300 << position;
    }
    void everyPassPhraseByteCounts() {
        QFETCH(int, length);
        QFETCH(int, position);
        QByteArray phrase(length, 'A');
        const vault::CipherKey base = Key(phrase);
        phrase[position] = 'B';
        QVERIFY(Key(phrase) != base);
    }

    void padIsNotConfusedWithText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("textWithPadBytes");
        // A complete group still gets a full pad of its own.
        QTest::newRow("empty") << QByteArray() << QByteArray("\x01\0\0\0\0\0\0\0", 8);
        QTest::newRow("three") << QByteArray("abc") << QByteArray("abc\x01\0\0\0\0", 8);
        QTest::newRow("seven") << QByteArray("abcdefg") << QByteArray("abcdefg\x01", 8);
        QTest::newRow("eleven") << QByteArray("abcdefghijk") << QByteArray("abcdefghijk\x01\0\0\0\0", 16);
    }
    void padIsNotConfusedWithText() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, textWithPadBytes);
        QVERIFY(Key(text) != Key(textWithPadBytes));
    }
};

QTEST_GUILESS_MAIN(TestDigest)
#include "test_digest.moc"
