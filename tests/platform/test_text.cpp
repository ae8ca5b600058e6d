#include <QtTest>

#include "platform/core/Cp1252.h"
#include "platform/core/GermanFormat.h"

class TestText : public QObject {
    Q_OBJECT
private slots:
    void roundTripsEveryByte() {
        QByteArray all;
        for (int b = 0; b < 256; ++b) all.append(char(b));
        const QString text = cp1252::Decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(cp1252::Encode(text), all);
    }
    void mapsTheHighRange_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("euro") << QStringLiteral("€") << QByteArray("\x80");
        QTest::newRow("bullet") << QStringLiteral("•") << QByteArray("\x95");
        QTest::newRow("micro") << QStringLiteral("µ") << QByteArray("\xB5");
        QTest::newRow("umlauts") << QStringLiteral("Büro ß") << QByteArray("B\xFCro \xDF");
        QTest::newRow("quotes") << QStringLiteral("„x“") << QByteArray("\x84x\x93");
    }
    void mapsTheHighRange() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(cp1252::Encode(text), bytes);
        QCOMPARE(cp1252::Decode(bytes), text);
    }
    void refusesWhatItCannotHold() {
        const QString text = QStringLiteral("ab\u20BDc");  // rouble sign
        QCOMPARE(cp1252::FirstUnencodable(text), 2);
        QVERIFY(!cp1252::TryEncode(text));
        QVERIFY_THROWS_EXCEPTION(cp1252::EncodeError, cp1252::Encode(text));
        QVERIFY(!cp1252::TryEncode(QString::fromUtf8("\xF0\x9F\x98\x80")));  // outside the BMP
        QVERIFY(cp1252::UnencodableMessage(QChar(0x20BD)).contains(QStringLiteral("U+20BD")));
    }
    void germanFormats() {
        QCOMPARE(de::DateText(QDate(2008, 7, 23)), QStringLiteral("23.07.2008"));
        QCOMPARE(de::DateTimeText(QDateTime(QDate(2007, 6, 5), QTime(14, 3, 27))), QStringLiteral("05.06.2007 14:03:27"));
        QCOMPARE(de::LogLine(QStringLiteral("Backup beendet"), QDateTime(QDate(2007, 6, 5), QTime(14, 3, 27))),
                 QStringLiteral("05.06.2007 14:03:27: Backup beendet"));
        QCOMPARE(de::FixedText(45.1, 9), QStringLiteral("45,100000000"));
        QCOMPARE(de::FixedText(1234567.5, 2), QStringLiteral("1.234.567,50"));
        QCOMPARE(de::FixedText(-999.5, 1), QStringLiteral("-999,5"));
        QCOMPARE(de::FixedText(100, 0), QStringLiteral("100"));
        QCOMPARE(de::ParseDate(QStringLiteral("29.02.2008")), QDate(2008, 2, 29));
        QVERIFY(!de::ParseDate(QStringLiteral("2008-02-29")).isValid());
    }
    void upperCaseRaisesOnlyAToZ() {
        QCOMPARE(de::UpperAZ(QStringLiteral("Büro")), QStringLiteral("BüRO"));
        QCOMPARE(de::UpperAZ(QStringLiteral("straße äöü ÄÖÜ éè 1-2 abc@xyz.de")), QStringLiteral("STRAßE äöü ÄÖÜ éè 1-2 ABC@XYZ.DE"));
        QCOMPARE(de::UpperAZ(QString()), QString());
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "test_text.moc"
