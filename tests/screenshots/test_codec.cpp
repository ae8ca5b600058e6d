// The JPEG codec against djpeg, and what hostile data gets from it.
#include <QtTest>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include "Pictures.h"
#include "screenshots/core/JpegCodec.h"

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void DecodesAsDjpegDoes_data();
    void DecodesAsDjpegDoes();
    void ByteOrdersEncodeAlike();
    void QualityDecidesSize();
    void HostileDataGivesDecoderCodes_data();
    void HostileDataGivesDecoderCodes();
    void OversizedPicturesRefusedBeforeDecoding_data();
    void OversizedPicturesRefusedBeforeDecoding();
    void EndlessScansRefused();
    void EmptyPictureIsNotEncoded();
};

void TestCodec::DecodesAsDjpegDoes_data() {
    QTest::addColumn<int>("fitWidth");
    QTest::addColumn<int>("fitHeight");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<QString>("peerScale");
    // 800 x 600: the smallest reduction still covering the wanted size.
    QTest::newRow("full size") << 0 << 0 << 1 << QString();
    QTest::newRow("eighth exactly") << 100 << 75 << 8 << QStringLiteral("1/8");
    QTest::newRow("one pixel more: quarter") << 101 << 75 << 4 << QStringLiteral("1/4");
    QTest::newRow("half") << 400 << 300 << 2 << QStringLiteral("1/2");
    QTest::newRow("above half: full") << 401 << 300 << 1 << QString();
    QTest::newRow("panel of the tab") << 285 << 228 << 2 << QStringLiteral("1/2");
}

void TestCodec::DecodesAsDjpegDoes() {
    QFETCH(int, fitWidth);
    QFETCH(int, fitHeight);
    QFETCH(int, denominator);
    QFETCH(QString, peerScale);
    const QByteArray jpeg = EncodeJpeg(Pattern(800, 600), 70);
    for (const TPixels::Layout order : {TPixels::Layout::Rgb, TPixels::Layout::Bgrx}) {
        TJpegDecodeOptions o;
        o.FitWidth = fitWidth;
        o.FitHeight = fitHeight;
        o.Order = order;
        const TPixels ours = DecodeJpeg(jpeg, o);
        QCOMPARE(ours.ScaleDenominator, denominator);
        const TPeerPicture peer = Djpeg(jpeg, peerScale);
        QVERIFY2(!peer.Rgb.isEmpty(), "djpeg gave nothing");
        QCOMPARE(ours.Width, peer.Width);
        QCOMPARE(ours.Height, peer.Height);
        QCOMPARE(ours.Width, 800 / denominator);
        QVERIFY(AsRgb(ours) == peer.Rgb);
    }
}

void TestCodec::ByteOrdersEncodeAlike() {
    const TPixels rgb = Pattern(123, 77, TPixels::Layout::Rgb);
    const TPixels bgrx = Pattern(123, 77, TPixels::Layout::Bgrx);
    QCOMPARE(AsRgb(rgb), AsRgb(bgrx));
    QCOMPARE(EncodeJpeg(rgb, 50), EncodeJpeg(bgrx, 50));
    // A row gap beyond the pixels is skipped, not encoded.
    TPixels padded = TPixels::Make(123 + 5, 77, TPixels::Layout::Bgrx);
    for (int y = 0; y < 77; ++y)
        std::memcpy(padded.Data.data() + qsizetype(y) * padded.Stride, bgrx.Row(y), size_t(bgrx.Stride));
    padded.Width = 123;
    QCOMPARE(EncodeJpeg(padded, 50), EncodeJpeg(bgrx, 50));
}

void TestCodec::QualityDecidesSize() {
    const TPixels p = Pattern(640, 480);
    qsizetype last = 0;
    for (int q = 10; q <= 90; q += 10) {
        const QByteArray jpeg = EncodeJpeg(p, q);
        QVERIFY2(jpeg.size() > last, qPrintable(QStringLiteral("quality %1: %2 bytes").arg(q).arg(jpeg.size())));
        last = jpeg.size();
        // The quality is the one asked for: djpeg reads the same picture.
        QCOMPARE(AsRgb(DecodeJpeg(jpeg)), Djpeg(jpeg).Rgb);
    }
    QVERIFY(EncodeJpeg(p, 90).size() > 3 * EncodeJpeg(p, 10).size());
}

void TestCodec::HostileDataGivesDecoderCodes_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("code");
    const QByteArray good = EncodeJpeg(Pattern(64, 48), 70);
    QTest::newRow("empty") << QByteArray() << int(JERR_INPUT_EMPTY);
    QTest::newRow("not a JPEG") << QByteArray("BM this is a bitmap header") << int(JERR_NO_SOI);
    QTest::newRow("start of image only") << QByteArray("\xFF\xD8", 2) << int(JWRN_JPEG_EOF);
    QTest::newRow("cut in the header") << good.left(40) << int(JWRN_JPEG_EOF);
    QTest::newRow("cut in the data") << good.left(good.size() / 2) << int(JWRN_JPEG_EOF);
    QTest::newRow("without its end marker") << good.chopped(2) << int(JWRN_JPEG_EOF);
    QTest::newRow("zero width") << WithSize(good, 0, 48) << int(JERR_EMPTY_IMAGE);
    QTest::newRow("taller than its data") << WithSize(good, 64, 4000) << int(JWRN_HIT_MARKER);
    QByteArray badTable = good;
    badTable[FrameHeader(good) + 9] = 7;  // seven components
    QTest::newRow("impossible component count") << badTable << -1;
}

void TestCodec::HostileDataGivesDecoderCodes() {
    QFETCH(QByteArray, data);
    QFETCH(int, code);
    try {
        DecodeJpeg(data);
        QFAIL("decoded");
    } catch (const EJpegError &e) {
        if (code >= 0) QCOMPARE(e.Code(), code);
        QCOMPARE(QString::fromStdString(e.what()), QStringLiteral("JPEG error #%1").arg(e.Code()));
        // djpeg gives up too (a warning alone would still let it succeed).
        if (code != int(JWRN_JPEG_EOF) && code != int(JWRN_HIT_MARKER)) QVERIFY(Djpeg(data).Rgb.isEmpty());
    }
}

void TestCodec::OversizedPicturesRefusedBeforeDecoding_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("refused");
    QTest::newRow("60000 x 60000") << 60000 << 60000 << kMaxPicturePixels << true;
    QTest::newRow("10001 x 10000") << 10001 << 10000 << kMaxPicturePixels << true;
    QTest::newRow("at a small limit") << 64 << 48 << qint64(64 * 48) << false;
    QTest::newRow("one pixel above it") << 64 << 48 << qint64(64 * 48 - 1) << true;
}

void TestCodec::OversizedPicturesRefusedBeforeDecoding() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(qint64, limit);
    QFETCH(bool, refused);
    const QByteArray jpeg = WithSize(EncodeJpeg(Pattern(64, 48), 70), width, height);
    TJpegDecodeOptions o;
    o.MaxPixels = limit;
    try {
        const TPixels p = DecodeJpeg(jpeg, o);
        QVERIFY(!refused);
        QCOMPARE(p.Width, width);
    } catch (const EPictureRefused &e) {
        QVERIFY(refused);
        QCOMPARE(QString::fromStdString(e.what()), PictureTooLargeText(width, height));
        QVERIFY(QString::fromStdString(e.what()).contains(QStringLiteral("%1 × %2").arg(width).arg(height)));
    }
}

// Progressive data made by cjpeg, its last scan (a whole first pass over one
// component's AC coefficients) repeated: each repetition is one more pass
// over the picture, and the decoder only warns about them.
void TestCodec::EndlessScansRefused() {
    QTemporaryDir dir;
    const TPixels p = Pattern(64, 48, TPixels::Layout::Rgb);
    QFile ppm(dir.filePath(QStringLiteral("p.ppm")));
    QVERIFY(ppm.open(QIODevice::WriteOnly));
    ppm.write(QByteArray("P6\n64 48\n255\n") + p.Data);
    ppm.close();
    QFile script(dir.filePath(QStringLiteral("scans.txt")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("0,1,2: 0 0 0 0;\n0: 1 63 0 0;\n1: 1 63 0 0;\n2: 1 63 0 0;\n");
    script.close();
    QProcess cjpeg;
    cjpeg.start(QStringLiteral("cjpeg"), {QStringLiteral("-scans"), script.fileName(), ppm.fileName()});
    QVERIFY(cjpeg.waitForFinished(30000));
    const QByteArray progressive = cjpeg.readAllStandardOutput();
    QCOMPARE(DecodeJpeg(progressive).Width, 64);
    const qsizetype lastScan = progressive.lastIndexOf(QByteArray("\xFF\xDA", 2));
    QVERIFY(lastScan > 0 && progressive.endsWith(QByteArray("\xFF\xD9", 2)));
    const QByteArray scan = progressive.mid(lastScan, progressive.size() - 2 - lastScan);
    for (const int repeats : {10, kMaxJpegScans + 10}) {
        const QByteArray data = progressive.chopped(2) + scan.repeated(repeats) + QByteArray("\xFF\xD9", 2);
        if (repeats < kMaxJpegScans) {
            QCOMPARE(DecodeJpeg(data).Width, 64);
        } else {
            QVERIFY_THROWS_EXCEPTION(EPictureRefused, DecodeJpeg(data));
            QVERIFY(!Djpeg(data).Rgb.isEmpty());  // a plain decoder would go through them all
        }
    }
}

void TestCodec::EmptyPictureIsNotEncoded() {
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, EncodeJpeg(TPixels(), 70));
    TPixels shortData = Pattern(10, 10);
    shortData.Data.chop(1);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, EncodeJpeg(shortData, 70));
}

QTEST_GUILESS_MAIN(TestCodec)
#include "test_codec.moc"
