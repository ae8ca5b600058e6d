#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

#include "vault/core/Base64.h"
#include "vault/core/CipherErrors.h"

class TestBase64 : public QObject {
    Q_OBJECT
private slots:
    void readsByItsOwnRules_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("zeros") << QByteArray("AAAA") << QByteArray(3, '\0');
        QTest::newRow("three bytes") << QByteArray("QUJD") << QByteArray("ABC");
        QTest::newRow("one fill") << QByteArray("QUI=") << QByteArray("AB");
        QTest::newRow("two fills") << QByteArray("QQ==") << QByteArray("A");
        QTest::newRow("alphabet ends") << QByteArray("+/zz") << QByteArray("\xFB\xFC\xF3");
        QTest::newRow("fill does not end the text") << QByteArray("QQ==QUJD") << QByteArray("AABC");
        QTest::newRow("third fill alone") << QByteArray("AA=A") << QByteArray(1, '\0');
        // characters of "+" ... "z" outside the alphabet count as 127
        QTest::newRow("full stops") << QByteArray("....") << QByteArray("\xFF\xFF\xFF");
        QTest::newRow("brackets") << QByteArray("[\\]^") << QByteArray("\xFF\xFF\xFF");
        QTest::newRow("colon to at") << QByteArray(":;<@") << QByteArray("\xFF\xFF\xFF");
        QTest::newRow("leading fill") << QByteArray("=AAA") << QByteArray("\xFC\x00\x00", 3);
        QTest::newRow("second fill") << QByteArray("A=AA") << QByteArray("\x07\xF0\x00", 3);
    }
    void readsByItsOwnRules() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(vault::Base64Decode(text), bytes);
    }

    void refusesCharactersOutsideTheRange_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("exclamation marks") << QByteArray("!!!!");
        QTest::newRow("space") << QByteArray("QUJD QUJD");
        QTest::newRow("line break") << QByteArray("QUJD\nQUJ");
        QTest::newRow("CR LF") << QByteArray("QUJDQU\r\n");
        QTest::newRow("below plus") << QByteArray("QUJ*");
        QTest::newRow("above z") << QByteArray("QUJ{");
        QTest::newRow("tilde") << QByteArray("~UJD");
        QTest::newRow("umlaut") << QByteArray("QUJ\xFC");
        QTest::newRow("nul") << QByteArray("QU\0D", 4);
        QTest::newRow("bad character after good groups") << QByteArray("QUJDQUJDQUJ!");
    }
    void refusesCharactersOutsideTheRange() {
        QFETCH(QByteArray, text);
        try {
            vault::Base64Decode(text);
            QFAIL("no error");
        } catch (const EBase64Error &e) {
            QCOMPARE(QByteArray(e.what()), QByteArray("Invalid Base64 Character"));
        }
    }

    void refusesAnIncompleteLastGroup_data() {
        QTest::addColumn<QByteArray>("text");
        for (const char *text : {"Q", "QU", "QUJ", "QUJDQ", "QUJDQUI", "QUJDQUJD="}) QTest::newRow(text) << QByteArray(text);
    }
    void refusesAnIncompleteLastGroup() {
        QFETCH(QByteArray, text);
        QVERIFY_THROWS_EXCEPTION(EBase64Error, vault::Base64Decode(text));
    }

    void readsEverythingItWrites() {
        static const QRegularExpression standard(QStringLiteral("^[A-Za-z0-9+/]*={0,2}$"));
        QRandomGenerator rng(1252);
        for (int n = 0; n <= 200; ++n) {
            QByteArray bytes(n, Qt::Uninitialized);
            for (auto &b : bytes) b = static_cast<char>(rng.bounded(256));
            const QByteArray text = vault::Base64Encode(bytes);
            QCOMPARE(text.size(), (n + 2) / 3 * 4);
            QVERIFY2(standard.match(QString::fromLatin1(text)).hasMatch(), text.constData());
            QCOMPARE(text.endsWith("=="), n % 3 == 1);
            QCOMPARE(text.endsWith("=") && !text.endsWith("=="), n % 3 == 2);
            QCOMPARE(vault::Base64Decode(text), bytes);
        }
    }
};

QTEST_GUILESS_MAIN(TestBase64)
#include "test_base64.moc"
