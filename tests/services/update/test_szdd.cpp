#include <QtTest>

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "services/core/update/Szdd.h"

namespace {
QByteArray Sample(const QString &kind) {
    if (kind == QLatin1String("empty")) return {};
    if (kind == QLatin1String("one byte")) return "x";
    if (kind == QLatin1String("blanks")) return QByteArray(10000, ' ');
    if (kind == QLatin1String("run")) return QByteArray(9000, 'a');
    if (kind == QLatin1String("text")) return QByteArray("Zugangsdaten je Projekt, ").repeated(700);
    QByteArray random(70000, Qt::Uninitialized);
    QRandomGenerator gen(42);
    for (char &c : random) c = char(gen.bounded(kind == QLatin1String("random") ? 256 : 4));
    return random;
}
}  // namespace

class TestSzdd : public QObject {
    Q_OBJECT
private slots:
    void samples_data() {
        QTest::addColumn<QString>("kind");
        for (const char *k : {"empty", "one byte", "blanks", "run", "text", "random", "four letters"})
            QTest::newRow(k) << QString::fromLatin1(k);
    }
    void roundTrips_data() { samples_data(); }
    void roundTrips() {
        QFETCH(QString, kind);
        const QByteArray data = Sample(kind);
        const QByteArray image = szdd::Compress(data, 'e');
        const szdd::TExpandResult back = szdd::Expand(image);
        QVERIFY2(back.Ok, qPrintable(back.Error));
        QCOMPARE(back.Data, data);
        QCOMPARE(back.MissingChar, 'e');
        if (kind == QLatin1String("text") || kind == QLatin1String("run")) QVERIFY(image.size() < data.size() / 4);
    }

    // The Debian mscompress tool as an independent writer of the format.
    // (A one-byte file is left out: mscompress 0.4 writes a zero byte for it.)
    void expandsWhatMscompressWrites_data() {
        QTest::addColumn<QString>("kind");
        for (const char *k : {"empty", "blanks", "run", "text", "random", "four letters"})
            QTest::newRow(k) << QString::fromLatin1(k);
    }
    void expandsWhatMscompressWrites() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QByteArray data = Sample(kind);
        QFile f(dir.filePath(QStringLiteral("probe.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
        f.close();
        QCOMPARE(QProcess::execute(QStringLiteral(MSCOMPRESS), {f.fileName()}), 0);
        QFile packed(f.fileName() + QLatin1Char('_'));
        QVERIFY(packed.open(QIODevice::ReadOnly));
        const szdd::TExpandResult back = szdd::Expand(packed.readAll());
        QVERIFY2(back.Ok, qPrintable(back.Error));
        QCOMPARE(back.Data, data);
    }

    void refusesBrokenImages_data() {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QString>("error");
        const QByteArray good = szdd::Compress(QByteArray("abcdefabcdefabcdef"), 0);
        QTest::newRow("too short") << good.left(10) << QStringLiteral("no SZDD header");
        QByteArray magic = good;
        magic[3] = 'X';
        QTest::newRow("wrong magic") << magic << QStringLiteral("no SZDD header");
        QByteArray mode = good;
        mode[8] = 'B';
        QTest::newRow("unknown mode") << mode << QStringLiteral("unknown SZDD compression mode 66");
        QTest::newRow("data ends early") << good.left(good.size() - 3) << QStringLiteral("SZDD data ends after 5 of 18 bytes");
        QByteArray huge = good;
        huge[13] = char(0x7F);
        QTest::newRow("length beyond the limit")
            << huge << QStringLiteral("declared length 2130706450 exceeds the limit of 536870912 bytes");
    }
    void refusesBrokenImages() {
        QFETCH(QByteArray, image);
        QFETCH(QString, error);
        const szdd::TExpandResult r = szdd::Expand(image);
        QVERIFY(!r.Ok);
        QCOMPARE(r.Error, error);
    }
};

QTEST_GUILESS_MAIN(TestSzdd)
#include "test_szdd.moc"
