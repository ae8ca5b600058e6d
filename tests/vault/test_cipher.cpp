#include <QRandomGenerator>
#include <QThread>
#include <QtEndian>
#include <QtTest>
#include <memory>

#include "platform/core/Cp1252.h"
#include "platform/core/TickCounter.h"
#include "vault/core/Base64.h"
#include "vault/core/BlockOp.h"
#include "vault/core/CipherErrors.h"
#include "vault/core/LbBlowfish.h"
#include "vault/core/LbSHA1.h"
#include "vault/core/PassPhraseDigest.h"
#include "vault/core/StoredForm.h"

Q_DECLARE_METATYPE(vault::CipherKey)

namespace {

// A clear text with umlauts, ß, euro sign and spaces, cut to length.
QByteArray Sample(qsizetype length) {
    const QByteArray all = cp1252::Encode(QStringLiteral("Grüße aus Köln: Maß & Öl, Äpfel für 12 € – ÜBER alles ß "));
    Q_ASSERT(all.size() >= 40);
    return all.left(length);
}

// The program's pass phrase: the digest text of a master password.
QByteArray MasterDigest(const QString &masterPassword) {
    TLbSHA1 sha;
    return sha.DigestText(cp1252::Encode(masterPassword)).toLatin1();
}

vault::CipherKey KeyOf(const QByteArray &passPhrase) {
    vault::CipherKey key;
    vault::PassPhraseDigest(passPhrase, key.data(), key.size());
    return key;
}

// Hands out the given readings in turn and counts how often it was read.
struct FixedTicks {
    QList<quint32> readings;
    std::shared_ptr<int> reads = std::make_shared<int>(0);
    TLbBlowfish::TickSource Source() const {
        return [readings = readings, reads = reads] { return readings[(*reads)++ % readings.size()]; };
    }
};

// Standard decoding, deliberately not ours.
QByteArray StandardDecode(const QByteArray &text) {
    const auto result = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    Q_ASSERT(result.decodingStatus == QByteArray::Base64DecodingStatus::Ok);
    return result.decoded;
}

QByteArray MaskBytes(vault::Block mask) {
    QByteArray bytes(8, Qt::Uninitialized);
    qToLittleEndian(mask.w0, bytes.data());
    qToLittleEndian(mask.w1, bytes.data() + 4);
    return bytes;
}

QByteArray Xor(const QByteArray &x, const QByteArray &y, const QByteArray &z) {
    QByteArray r(x.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < x.size(); ++i) r[i] = static_cast<char>(x[i] ^ y[i] ^ z[i]);
    return r;
}

// Undoes the chaining block by block, byte-wise: each block after the start
// block is (block xor mask xor previous block).
QByteArray Unchain(const QByteArray &bytes, vault::Block mask) {
    QByteArray clear;
    for (qsizetype at = 8; at + 8 <= bytes.size(); at += 8)
        clear += Xor(bytes.mid(at, 8), MaskBytes(mask), bytes.mid(at - 8, 8));
    return clear;
}

QByteArray RandomBytes(QRandomGenerator &rng, qsizetype n) {
    QByteArray bytes(n, Qt::Uninitialized);
    for (auto &b : bytes) b = static_cast<char>(rng.bounded(256));
    return bytes;
}

}  // namespace

class TestCipher : public QObject {
    Q_OBJECT
private slots:
    void blockOpForms_data() {
        QTest::addColumn<vault::CipherKey>("key");
        vault::CipherKey counting;
        for (int i = 0; i < 16; ++i) counting[i] = static_cast<std::uint8_t>(i);
        vault::CipherKey ones;
        ones.fill(0xFF);
        QRandomGenerator rng(16);
        vault::CipherKey random;
        for (auto &k : random) k = static_cast<std::uint8_t>(rng.bounded(256));
        QTest::newRow("zero") << vault::CipherKey{};
        QTest::newRow("counting") << counting;
        QTest::newRow("all ones") << ones;
        QTest::newRow("random") << random;
        QTest::newRow("from a master digest") << KeyOf(MasterDigest(QStringLiteral("Geheimnis")));
    }
    void blockOpForms() {
        QFETCH(vault::CipherKey, key);
        const auto full = std::make_unique<vault::BlockOp>(key);
        const vault::BlockOpMask reduced(key);
        QCOMPARE(reduced.Mask(), full->Mask());
        QCOMPARE(full->Encipher(vault::Block{}), full->Mask());

        QRandomGenerator rng(8);
        for (int i = 0; i < 16; ++i) {
            const vault::Block x{rng.generate(), rng.generate()};
            QCOMPARE(full->Encipher(x), reduced.Apply(x));
            QCOMPARE(full->Decipher(x), reduced.Apply(x));
            QCOMPARE(full->Encipher(full->Encipher(x)), x);
            QCOMPARE(full->Decipher(full->Encipher(x)), x);
        }
    }

    // Key bytes 8 to 15 enter four even or four odd P entries each and cancel
    // out of the mask; every bit of bytes 0 to 7 changes it.
    void onlyTheFirstEightKeyBytesCount() {
        QRandomGenerator rng(64);
        vault::CipherKey base;
        for (auto &k : base) k = static_cast<std::uint8_t>(rng.bounded(256));
        const vault::Block mask = vault::BlockOpMask(base).Mask();
        for (int byte = 0; byte < 16; ++byte) {
            for (int bit = 0; bit < 8; ++bit) {
                vault::CipherKey key = base;
                key[byte] ^= static_cast<std::uint8_t>(1 << bit);
                QVERIFY2((vault::BlockOpMask(key).Mask() != mask) == (byte < 8),
                         qPrintable(QStringLiteral("byte %1 bit %2").arg(byte).arg(bit)));
            }
        }
    }

    void storedLengths_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("textLength");
        QTest::addColumn<int>("fills");
        struct Row { int from, to, textLength, fills; };
        for (const Row r : {Row{0, 7, 24, 2}, Row{8, 15, 32, 0}, Row{16, 23, 44, 1}, Row{24, 31, 56, 2},
                            Row{32, 39, 64, 0}, Row{40, 40, 76, 1}})
            for (int n = r.from; n <= r.to; ++n) QTest::addRow("%d characters", n) << n << r.textLength << r.fills;
    }
    void storedLengths() {
        QFETCH(int, length);
        QFETCH(int, textLength);
        QFETCH(int, fills);
        TLbBlowfish cipher;
        cipher.KeyFromPassPhrase(MasterDigest(QStringLiteral("Geheimnis")));
        const QByteArray stored = cipher.EncipherText(Sample(length));
        QCOMPARE(stored.size(), textLength);
        QCOMPARE(stored.size() - QByteArray(stored).replace("=", "").size(), fills);
        QVERIFY(stored.endsWith(QByteArray(fills, '=')));
        QCOMPARE(StandardDecode(stored).size(), 8 * (length / 8 + 2));
        QCOMPARE(vault::StoredTextLength(length), textLength);
    }

    void layoutOfTheBytes_data() {
        QTest::addColumn<int>("length");
        for (int n : {0, 1, 7, 8, 9, 15, 16, 40}) QTest::addRow("%d characters", n) << n;
    }
    void layoutOfTheBytes() {
        QFETCH(int, length);
        const QByteArray phrase = MasterDigest(QStringLiteral("Geheimnis"));
        FixedTicks ticks{{0x11223344u, 0xA5B6C7D8u}};
        TLbBlowfish cipher(ticks.Source());
        cipher.KeyFromPassPhrase(phrase);
        const QByteArray clear = Sample(length);
        const QByteArray bytes = StandardDecode(cipher.EncipherText(clear));
        const vault::Block mask = vault::BlockOp(KeyOf(phrase)).Mask();

        // start block: the two readings in order, enciphered
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData()), 0x11223344u ^ mask.w0);
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 4), 0xA5B6C7D8u ^ mask.w1);

        // the groups, then the rest padded with zeros and its length in byte 7
        const int rest = length % 8;
        QByteArray expected = clear.left(length - rest) + clear.right(rest) + QByteArray(7 - rest, '\0');
        expected += static_cast<char>(rest);
        QCOMPARE(Unchain(bytes, mask), expected);
    }

    void roundTripsEveryLength() {
        TLbBlowfish cipher;
        const QByteArray phrase = MasterDigest(QStringLiteral("Mein Masterkennwort"));
        for (int n = 0; n <= 40; ++n) {
            const QByteArray clear = Sample(n);
            cipher.KeyFromPassPhrase(phrase);
            const QByteArray stored = cipher.EncipherText(clear);
            cipher.KeyFromPassPhrase(phrase);
            QCOMPARE(cipher.DecipherText(stored), clear);
        }
        // bytes a typed text never holds survive as well
        QByteArray odd("\0\x01\x7F\x80\xFF  \0\0", 10);
        QCOMPARE(cipher.DecipherText(cipher.EncipherText(odd)), odd);
        QCOMPARE(cipher.DecipherText(cipher.EncipherText(QByteArray(300, 'x'))), QByteArray(300, 'x'));
    }

    // Reference values from a separate model of the format, written apart from
    // this code; existing databases hold stored forms made exactly like these.
    void storedFormReferenceValues_data() {
        QTest::addColumn<QString>("clear");
        QTest::addColumn<quint32>("first");
        QTest::addColumn<quint32>("second");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("umlauts, two groups") << QStringLiteral("Grüße, Köln 12345678") << 0x01020304u << 0xA0B0C0D0u
                                            << QByteArray("mg9gsJrYdABDcf7eteyQ6ysR8k/Oxmd/gCunxoTeo9s=");
        QTest::newRow("empty") << QString() << 0u << 0u << QByteArray("ngxisUoYxKAAAAAAAAAAAA==");
        QTest::newRow("eight") << QStringLiteral("Passwort") << 123456789u << 123456790u
                               << QByteArray("i8E5tlzVn6dFrCh0YaIpc9ugSsUruu3T");
    }
    void storedFormReferenceValues() {
        QFETCH(QString, clear);
        QFETCH(quint32, first);
        QFETCH(quint32, second);
        QFETCH(QByteArray, stored);
        const QByteArray phrase = MasterDigest(QStringLiteral("Geheim"));
        QCOMPARE(phrase, QByteArray("4D376B70DAD934828FB73FB4AAB5D0217FF88D15"));
        FixedTicks ticks{{first, second}};
        TLbBlowfish cipher(ticks.Source());
        cipher.KeyFromPassPhrase(phrase);
        QCOMPARE(cipher.EncipherText(cp1252::Encode(clear)), stored);
        cipher.KeyFromPassPhrase(phrase);
        QCOMPARE(cipher.DecipherText(stored), cp1252::Encode(clear));
    }

    void ticksMakeTheStoredForm() {
        const QByteArray phrase = MasterDigest(QStringLiteral("Geheimnis"));
        const QByteArray clear = Sample(13);
        FixedTicks first{{1000u, 1001u}}, again{{1000u, 1001u}}, later{{1002u, 1003u}};
        TLbBlowfish a(first.Source()), b(again.Source()), c(later.Source());
        for (TLbBlowfish *cipher : {&a, &b, &c}) cipher->KeyFromPassPhrase(phrase);
        const QByteArray stored = a.EncipherText(clear);
        QCOMPARE(*first.reads, 2);
        QCOMPARE(b.EncipherText(clear), stored);
        const QByteArray other = c.EncipherText(clear);
        QVERIFY(other != stored);
        QCOMPARE(a.DecipherText(other), clear);
        QCOMPARE(c.DecipherText(stored), clear);
        QCOMPARE(*first.reads, 2);  // deciphering never reads the counter
    }

    void systemTickCounter() {
        const quint32 before = ticks::GetTickCount32();
        QThread::msleep(30);
        const quint32 elapsed = ticks::GetTickCount32() - before;  // wraps like the counter
        QVERIFY2(elapsed >= 30 && elapsed < 60000, qPrintable(QString::number(elapsed)));

        TLbBlowfish cipher;  // reads the system counter
        const QByteArray first = cipher.EncipherText("Kennwort");
        QThread::msleep(5);
        const QByteArray second = cipher.EncipherText("Kennwort");
        QVERIFY(first != second);
        QCOMPARE(cipher.DecipherText(first), QByteArray("Kennwort"));
        QCOMPARE(cipher.DecipherText(second), QByteArray("Kennwort"));
    }

    void keyIsThePassPhraseDigest() {
        FixedTicks ticks{{7u, 9u}};
        TLbBlowfish cipher(ticks.Source());
        const auto startBlock = [&cipher] {
            const QByteArray bytes = StandardDecode(cipher.EncipherText(QByteArray()));
            return vault::Block{qFromLittleEndian<quint32>(bytes.constData()) ^ 7u,
                                qFromLittleEndian<quint32>(bytes.constData() + 4) ^ 9u};
        };
        QCOMPARE(startBlock(), vault::BlockOp(vault::CipherKey{}).Mask());  // a new cipher's key is zero
        const QByteArray one = MasterDigest(QStringLiteral("eins"));
        const QByteArray two = MasterDigest(QStringLiteral("zwei"));
        cipher.KeyFromPassPhrase(one);
        QCOMPARE(startBlock(), vault::BlockOp(KeyOf(one)).Mask());
        QCOMPARE(startBlock(), vault::BlockOp(KeyOf(one)).Mask());  // the key stays
        cipher.KeyFromPassPhrase(two);
        QCOMPARE(startBlock(), vault::BlockOp(KeyOf(two)).Mask());  // replaced, not mixed
    }

    void wrongKeyGivesWrongTextWithoutError() {
        TLbBlowfish cipher;
        const QByteArray clear = Sample(20);
        cipher.KeyFromPassPhrase(MasterDigest(QStringLiteral("richtig")));
        const QByteArray stored = cipher.EncipherText(clear);
        cipher.KeyFromPassPhrase(MasterDigest(QStringLiteral("Richtig")));
        QByteArray wrong;
        try {
            wrong = cipher.DecipherText(stored);
        } catch (const std::exception &e) {
            QFAIL(e.what());
        }
        QVERIFY(wrong != clear);
        QVERIFY(wrong.size() <= 24);
    }

    void refusesWhatCannotBeDeciphered_data() {
        TLbBlowfish cipher;
        const QByteArray valid = cipher.EncipherText(Sample(12));
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("message");
        const QByteArray base64("Invalid Base64 Character");
        const QByteArray format("Invalid file format");
        QTest::newRow("exclamation marks") << QByteArray("!!!!") << base64;
        QTest::newRow("three zero bytes") << QByteArray("AAAA") << format;
        QTest::newRow("empty") << QByteArray() << format;
        QTest::newRow("15 bytes") << QByteArray(20, 'A') << format;
        QTest::newRow("password as typed, 8 letters") << QByteArray("Geheim12") << format;
        QTest::newRow("password as typed, 9 letters") << QByteArray("Geheim123") << base64;
        QTest::newRow("password with umlaut") << QByteArray("Schl\xFCssel") << base64;
        QTest::newRow("trailing space") << valid + ' ' << base64;
        QTest::newRow("line break inside") << QByteArray(valid).insert(16, "\r\n") << base64;
        QTest::newRow("cut short") << valid.chopped(1) << base64;
    }
    void refusesWhatCannotBeDeciphered() {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, message);
        TLbBlowfish cipher;
        try {
            cipher.DecipherText(stored);
            QFAIL("no error");
        } catch (const std::runtime_error &e) {
            QCOMPARE(QByteArray(e.what()), message);
            QCOMPARE(dynamic_cast<const ECipherException *>(&e) != nullptr, message == "Invalid file format");
            QCOMPARE(dynamic_cast<const EBase64Error *>(&e) != nullptr, message == "Invalid Base64 Character");
        }
    }

    void surplusBytesAreIgnored() {
        QRandomGenerator rng(3);
        TLbBlowfish cipher;
        for (int n : {0, 5, 8, 13}) {
            const QByteArray clear = Sample(n);
            const QByteArray bytes = StandardDecode(cipher.EncipherText(clear));
            for (int surplus = 1; surplus < 8; ++surplus)
                QCOMPARE(cipher.DecipherText((bytes + RandomBytes(rng, surplus)).toBase64()), clear);
        }
    }

    void lengthByteAboveSevenGivesTheWholeBlock_data() {
        QTest::addColumn<int>("lengthByte");
        QTest::addColumn<int>("fullBlocks");
        for (int value : {8, 9, 127, 200, 255}) {
            QTest::addRow("%d alone", value) << value << 0;
            QTest::addRow("%d after two blocks", value) << value << 2;
        }
    }
    void lengthByteAboveSevenGivesTheWholeBlock() {
        QFETCH(int, lengthByte);
        QFETCH(int, fullBlocks);
        const vault::Block mask = vault::BlockOpMask(vault::CipherKey{}).Mask();
        QRandomGenerator rng{quint32(lengthByte)};
        QByteArray clear = RandomBytes(rng, 8 * fullBlocks + 8);
        clear[clear.size() - 1] = static_cast<char>(lengthByte);
        QByteArray bytes = RandomBytes(rng, 8);  // start block
        for (qsizetype at = 0; at < clear.size(); at += 8)
            bytes += Xor(clear.mid(at, 8), MaskBytes(mask), bytes.right(8));
        TLbBlowfish cipher;  // zero key
        QCOMPARE(cipher.DecipherText(bytes.toBase64()), clear);
    }

    void anyAcceptedTextStaysInBounds() {
        QRandomGenerator rng(122);
        TLbBlowfish cipher;
        cipher.KeyFromPassPhrase(MasterDigest(QStringLiteral("Geheimnis")));
        for (int i = 0; i < 2000; ++i) {
            QByteArray text(4 * rng.bounded(30), Qt::Uninitialized);
            for (auto &ch : text) ch = static_cast<char>('+' + rng.bounded('z' - '+' + 1));
            const qsizetype decoded = vault::Base64Decode(text).size();
            try {
                const QByteArray clear = cipher.DecipherText(text);
                QVERIFY(decoded >= 16);
                QVERIFY(clear.size() >= 8 * (decoded / 8 - 2) && clear.size() <= 8 * (decoded / 8 - 1));
            } catch (const ECipherException &) {
                QVERIFY(decoded < 16);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCipher)
#include "test_cipher.moc"
