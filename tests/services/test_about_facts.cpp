// The About window's facts: the size text, the operating system, the lines.

#include <QtTest>

#include "services/core/about/AboutFacts.h"
#include "store/core/DataModule.h"
#include "support/ProgramFolder.h"

class TestAboutFacts : public QObject {
    Q_OBJECT
private slots:
    void formatByteSize_data() {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("negative") << qint64(-1) << QString();
        QTest::newRow("zero") << qint64(0) << QStringLiteral("0 Byte");
        QTest::newRow("512") << qint64(512) << QStringLiteral("512 Byte");
        QTest::newRow("1023") << qint64(1023) << QStringLiteral("1023 Byte");
        QTest::newRow("1024") << qint64(1024) << QStringLiteral("1,00 KB");
        QTest::newRow("1536") << qint64(1536) << QStringLiteral("1,50 KB");
        QTest::newRow("below 1 MB") << qint64(1048575) << QStringLiteral("1024,00 KB");
        QTest::newRow("1 MB") << qint64(1048576) << QStringLiteral("1,00 MB");
        QTest::newRow("600 pages") << qint64(600) * 4096 << QStringLiteral("2,34 MB");
        QTest::newRow("above 2 GiB") << qint64(3) * 1024 * 1024 * 1024 << QStringLiteral("3,00 GB");
        QTest::newRow("2 GiB + 1 page") << (qint64(2) << 30) + 4096 << QStringLiteral("2,00 GB");
        QTest::newRow("1 TB") << qint64(1099511627776) << QStringLiteral("1,000 TB");
        QTest::newRow("1.5 TB") << qint64(1649267441664) << QStringLiteral("1,500 TB");
        QTest::newRow("2048 TB") << qint64(2048) * 1099511627776 << QStringLiteral("2048,000 TB");
    }
    void formatByteSize() {
        QFETCH(qint64, size);
        QFETCH(QString, text);
        QCOMPARE(FormatByteSize(size), text);
    }

    void operatingSystem_data() {
        QTest::addColumn<QString>("osRelease");
        QTest::addColumn<QString>("line");
        QTest::newRow("quoted") << QStringLiteral("NAME=\"X\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n")
                                << QStringLiteral("Debian GNU/Linux 12 (bookworm) 6.1.0-18-amd64");
        QTest::newRow("bare") << QStringLiteral("PRETTY_NAME=Plain\n") << QStringLiteral("Plain 6.1.0-18-amd64");
        QTest::newRow("missing") << QStringLiteral("NAME=X\n")
                                 << QStringLiteral("Fehler bei der Ermittlung der Windows-Version ");
    }
    void operatingSystem() {
        QFETCH(QString, osRelease);
        QFETCH(QString, line);
        QCOMPARE(TOperatingSystemInfo::FromOsRelease(osRelease, QStringLiteral("6.1.0-18-amd64")).Line(), line);
    }

    void databaseLines_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("line");
        QTest::newRow("with Fire") << QStringLiteral("WI-V6.3.0.12981 Firebird 2.0") << QStringLiteral("2.0.3.12981")
                                   << QStringLiteral("Firebird 2.0:  (2.0.3.12981)");
        QTest::newRow("without") << QStringLiteral("Some Server 1") << QString()
                                 << QStringLiteral("Some Server 1:  (NoVersionInfo)");
    }
    void databaseLines() {
        QFETCH(QString, version);
        QFETCH(QString, client);
        QFETCH(QString, line);
        TIBDatabaseInfo info;
        info.Version = version;
        info.ODSMajorVersion = 11;
        info.ODSMinorVersion = 0;
        info.Allocation = 600;
        info.PageSize = 4096;
        const TAboutDatabaseLines l = DatabaseLines(info, client);
        QCOMPARE(l.DBVersion, line);
        QCOMPARE(l.ODS, QStringLiteral("ODS-Version: 11.0"));
        QCOMPARE(l.Size, QStringLiteral("DB-Grösse: 2,34 MB"));
    }

    void theLinesOfARealDatabase() {
        TestProgramFolder folder;
        TDataModule1 dm(folder.ProgramFile());
        dm.Connect();
        const TAboutDatabaseLines l = DatabaseLines(dm.IBDatabase);
        QVERIFY2(l.DBVersion.startsWith(QStringLiteral("Firebird ")), qPrintable(l.DBVersion));
        QVERIFY2(QRegularExpression(QStringLiteral(":  \\(\\d+\\.\\d+\\.\\d+\\.\\d+\\)$")).match(l.DBVersion).hasMatch(),
                 qPrintable(l.DBVersion));
        QVERIFY(l.ODS.startsWith(QStringLiteral("ODS-Version: 12.")));
        const qint64 size = QFileInfo(folder.File(QStringLiteral("tresoro.gdb"))).size();
        QCOMPARE(l.Size, QStringLiteral("DB-Grösse: ") + FormatByteSize(size));
    }
};

QTEST_GUILESS_MAIN(TestAboutFacts)
#include "test_about_facts.moc"
