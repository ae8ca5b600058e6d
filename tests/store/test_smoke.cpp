#include <QtTest>

#include "store/DataModule.h"
#include "support/ProgramFolder.h"

class TestSmoke : public QObject {
    Q_OBJECT
private slots:
    void opens() {
        TestProgramFolder folder;
        TDataModule1 dm(folder.ProgramFile());
        dm.OpenDatabase();
        QVERIFY(dm.IBDatabase.Connected());
        QCOMPARE(dm.IBDataSetAllgemein->RecordCount(), 1);
        QCOMPARE(dm.IBDataSetAllgemein->FieldByName("MASTERKENNWORT").AsString(), QString(""));
        auto info = TIBDatabaseInfo::Read(dm.IBDatabase);
        qDebug() << info.Version << info.ODSMajorVersion << info.ODSMinorVersion << info.Allocation << info.PageSize << info.ClientVersion;
        dm.IBDataSetProjekt->Insert();
        qDebug() << dm.IBDataSetProjekt->FieldByName("ID").Value();
        dm.IBDataSetProjekt->FieldByName("PROJEKTNAME").SetValue(QStringLiteral("Büro"));
        dm.IBDataSetProjekt->Post();
        dm.IBTransaction.CommitRetaining();
        dm.IBDataSetZugangsdaten->Open();
        dm.IBDataSetZugangsdaten->Insert();
        dm.IBDataSetZugangsdaten->FieldByName("BESCHREIBUNG").SetValue(QStringLiteral("Zeile1\r\nZeile2 äöü"));
        dm.IBDataSetZugangsdaten->FieldByName("SCREENSHOT").SetValue(QByteArray("\x00\x01\x02jpeg", 7));
        dm.IBDataSetZugangsdaten->FieldByName("PROJEKTID").SetValue(dm.IBDataSetProjekt->FieldByName("ID").Value());
        dm.IBDataSetZugangsdaten->Post();
        dm.IBDataSetZugangsdaten->Close();
        dm.IBDataSetZugangsdaten->Open();
        qDebug() << dm.QueryValue("select char_length(beschreibung) from tblzugangsdaten") << dm.QueryValue("select cast(beschreibung as varchar(100)) from tblzugangsdaten");
        QCOMPARE(dm.IBDataSetZugangsdaten->FieldByName("BESCHREIBUNG").AsString(), QStringLiteral("Zeile1\r\nZeile2 äöü"));
        QCOMPARE(dm.IBDataSetZugangsdaten->FieldByName("SCREENSHOT").AsBytes(), QByteArray("\x00\x01\x02jpeg", 7));
        dm.IBDataSetEmail->Insert();
        dm.IBDataSetEmail->FieldByName("EMAILADRESSE").SetValue(QString(41, 'x'));
        try { dm.IBDataSetEmail->Post(); QFAIL("no error"); } catch (const EDatabaseError& e) { qDebug() << e.Message(); }
        QCOMPARE(dm.IBDataSetEmail->State(), TDataSetState::dsInsert);
        dm.IBDataSetTermine->Insert();
        dm.IBDataSetTermine->FieldByName("TERMINDATUM").SetValue(QDateTime(QDate(2008,7,23), QTime(10,0)));
        dm.IBDataSetTermine->Post();
        QCOMPARE(dm.QueryValue("select count(id) from tblprojekt").toInt(), 1);
        qDebug() << dm.QueryValue("select termindatum from tbltermine");
        dm.CloseDatabase();
    }
};
QTEST_GUILESS_MAIN(TestSmoke)
#include "test_smoke.moc"
