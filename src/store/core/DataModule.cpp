#include "store/core/DataModule.h"

#include <QFileInfo>

#include "services/core/HotLog.h"
#include "services/core/Stopwatch.h"

#ifndef TRESORO_SYSDBA_PASSWORD
#define TRESORO_SYSDBA_PASSWORD "masterkey"
#endif

namespace {

TGeneratorField Generator(const char *name, TGeneratorField::Apply when) {
    TGeneratorField g;
    g.Generator = QString::fromLatin1(name);
    g.ApplyEvent = when;
    return g;
}

}  // namespace

TIBDataSet *TDataModule1::MakeDataSet(const QString &name, TDataSource *&source, const QString &sourceName) {
    auto *ds = new TIBDataSet(IBDatabase, name, this);
    ds->Transaction = &IBTransaction;
    source = new TDataSource(ds, sourceName, this);
    return ds;
}

TDataModule1::TDataModule1(const QString &programFile, QObject *parent)
    : QObject(parent), ProgramFile(programFile), IBTransaction(IBDatabase) {
    setObjectName(QStringLiteral("DataModule1"));
    IBDatabase.UserName = QStringLiteral("sysdba");
    IBDatabase.Password = QStringLiteral(TRESORO_SYSDBA_PASSWORD);
    IBDatabase.SQLDialect = 3;
    IBDatabase.DefaultTransaction = &IBTransaction;
    IBDatabase.BeforeConnect = [this] { IBDatabaseBeforeConnect(); };
    IBDatabase.AfterConnect = [this] { IBDatabaseAfterConnect(); };
    IBDatabase.AfterDisconnect = [this] { IBDatabaseAfterDisconnect(); };

    using A = TGeneratorField::Apply;

    IBDataSetProjekt = MakeDataSet(QStringLiteral("IBDataSetProjekt"), DataSourceProjekt, QStringLiteral("DataSourceProjekt"));
    IBDataSetProjekt->GeneratorField = Generator("GEN_TBLPROJEKT_ID", A::OnNewRecord);
    IBDataSetProjekt->SelectSQL = {QStringLiteral("select * from TBLPROJEKT")};
    IBDataSetProjekt->InsertSQL = {QStringLiteral("insert into TBLPROJEKT"), QStringLiteral("  (ID, PROJEKTNAME)"),
                                   QStringLiteral("values"), QStringLiteral("  (:ID, :PROJEKTNAME)")};
    IBDataSetProjekt->ModifySQL = {QStringLiteral("update TBLPROJEKT"), QStringLiteral("set"), QStringLiteral("  ID = :ID,"),
                                   QStringLiteral("  PROJEKTNAME = :PROJEKTNAME"), QStringLiteral("where"),
                                   QStringLiteral("  ID = :OLD_ID")};
    IBDataSetProjekt->DeleteSQL = {QStringLiteral("delete from TBLPROJEKT"), QStringLiteral("where"), QStringLiteral("  ID = :OLD_ID")};
    IBDataSetProjekt->RefreshSQL = {QStringLiteral("Select "), QStringLiteral("  ID,"), QStringLiteral("  PROJEKTNAME"),
                                    QStringLiteral("from TBLPROJEKT "), QStringLiteral("where"), QStringLiteral("  ID = :ID")};

    IBDataSetZugangsdaten = MakeDataSet(QStringLiteral("IBDataSetZugangsdaten"), DataSourceZugangsdaten,
                                        QStringLiteral("DataSourceZugangsdaten"));
    IBDataSetZugangsdaten->GeneratorField = Generator("GEN_TBLZUGANGSDATEN_ID", A::OnPost);
    IBDataSetZugangsdaten->SelectSQL = {QStringLiteral("select * from TBLZUGANGSDATEN")};
    IBDataSetZugangsdaten->InsertSQL = {
        QStringLiteral("insert into TBLZUGANGSDATEN"),
        QStringLiteral("  (ID, USERID, KENNWORT, BESCHREIBUNG, SCREENSHOT, PROJEKTID)"), QStringLiteral("values"),
        QStringLiteral("  (:ID, :USERID, :KENNWORT, :BESCHREIBUNG, :SCREENSHOT, :PROJEKTID)")};
    IBDataSetZugangsdaten->ModifySQL = {
        QStringLiteral("update TBLZUGANGSDATEN"), QStringLiteral("set"), QStringLiteral("  ID = :ID,"),
        QStringLiteral("  USERID = :USERID,"), QStringLiteral("  KENNWORT = :KENNWORT,"),
        QStringLiteral("  BESCHREIBUNG = :BESCHREIBUNG,"), QStringLiteral("  SCREENSHOT = :SCREENSHOT,"),
        QStringLiteral("  PROJEKTID = :PROJEKTID"), QStringLiteral("where"), QStringLiteral("  ID = :OLD_ID")};
    IBDataSetZugangsdaten->DeleteSQL = {QStringLiteral("delete from TBLZUGANGSDATEN"), QStringLiteral("where"),
                                        QStringLiteral("  ID = :OLD_ID")};
    IBDataSetZugangsdaten->RefreshSQL = {QStringLiteral("Select "),        QStringLiteral("  ID,"),
                                         QStringLiteral("  USERID,"),      QStringLiteral("  KENNWORT,"),
                                         QStringLiteral("  BESCHREIBUNG,"), QStringLiteral("  SCREENSHOT,"),
                                         QStringLiteral("  PROJEKTID"),    QStringLiteral("from TBLZUGANGSDATEN "),
                                         QStringLiteral("where"),          QStringLiteral("  ID = :ID")};

    IBDataSetEmail = MakeDataSet(QStringLiteral("IBDataSetEmail"), DataSourceEmail, QStringLiteral("DataSourceEmail"));
    IBDataSetEmail->GeneratorField = Generator("GEN_TBLEMAIL_ID", A::OnPost);
    IBDataSetEmail->SelectSQL = {QStringLiteral("select * from TBLEMAIL")};
    IBDataSetEmail->InsertSQL = {QStringLiteral("insert into TBLEMAIL"), QStringLiteral("  (ID, EMAILADRESSE, PROJEKTID)"),
                                 QStringLiteral("values"), QStringLiteral("  (:ID, :EMAILADRESSE, :PROJEKTID)")};
    IBDataSetEmail->ModifySQL = {QStringLiteral("update TBLEMAIL"), QStringLiteral("set"), QStringLiteral("  ID = :ID,"),
                                 QStringLiteral("  EMAILADRESSE = :EMAILADRESSE,"), QStringLiteral("  PROJEKTID = :PROJEKTID"),
                                 QStringLiteral("where"), QStringLiteral("  ID = :OLD_ID")};
    IBDataSetEmail->DeleteSQL = {QStringLiteral("delete from TBLEMAIL"), QStringLiteral("where"), QStringLiteral("  ID = :OLD_ID")};
    IBDataSetEmail->RefreshSQL = {QStringLiteral("Select "),       QStringLiteral("  ID,"),
                                  QStringLiteral("  EMAILADRESSE,"), QStringLiteral("  PROJEKTID"),
                                  QStringLiteral("from TBLEMAIL "), QStringLiteral("where"),
                                  QStringLiteral("  ID = :ID")};

    IBDataSetTelefon = MakeDataSet(QStringLiteral("IBDataSetTelefon"), DataSourceTelefon, QStringLiteral("DataSourceTelefon"));
    IBDataSetTelefon->GeneratorField = Generator("GEN_TBLTELEFON_ID", A::OnPost);
    IBDataSetTelefon->SelectSQL = {QStringLiteral("select * from  TBLTELEFON")};
    IBDataSetTelefon->InsertSQL = {QStringLiteral("insert into TBLTELEFON"),
                                   QStringLiteral("  (ID, TELEFONNUMMER, NAME, PROJEKTID)"), QStringLiteral("values"),
                                   QStringLiteral("  (:ID, :TELEFONNUMMER, :NAME, :PROJEKTID)")};
    IBDataSetTelefon->ModifySQL = {QStringLiteral("update TBLTELEFON"), QStringLiteral("set"), QStringLiteral("  ID = :ID,"),
                                   QStringLiteral("  TELEFONNUMMER = :TELEFONNUMMER,"), QStringLiteral("  NAME = :NAME,"),
                                   QStringLiteral("  PROJEKTID = :PROJEKTID"), QStringLiteral("where"),
                                   QStringLiteral("  ID = :OLD_ID")};
    IBDataSetTelefon->DeleteSQL = {QStringLiteral("delete from TBLTELEFON"), QStringLiteral("where"), QStringLiteral("  ID = :OLD_ID")};
    IBDataSetTelefon->RefreshSQL = {QStringLiteral("Select "),         QStringLiteral("  ID,"),
                                    QStringLiteral("  TELEFONNUMMER,"), QStringLiteral("  NAME,"),
                                    QStringLiteral("  PROJEKTID"),     QStringLiteral("from TBLTELEFON "),
                                    QStringLiteral("where"),           QStringLiteral("  ID = :ID")};

    IBDataSetTermine = MakeDataSet(QStringLiteral("IBDataSetTermine"), DataSourceTermine, QStringLiteral("DataSourceTermine"));
    IBDataSetTermine->GeneratorField = Generator("GEN_TBLTERMINE_ID", A::OnPost);
    IBDataSetTermine->SelectSQL = {QStringLiteral("select * from TBLTERMINE")};
    IBDataSetTermine->InsertSQL = {QStringLiteral("insert into TBLTERMINE"),
                                   QStringLiteral("  (BESCHREIBUNG, ID, PROJEKTID, TERMINDATUM)"), QStringLiteral("values"),
                                   QStringLiteral("  (:BESCHREIBUNG, :ID, :PROJEKTID, :TERMINDATUM)")};
    IBDataSetTermine->ModifySQL = {QStringLiteral("update TBLTERMINE"),          QStringLiteral("set"),
                                   QStringLiteral("  BESCHREIBUNG = :BESCHREIBUNG,"), QStringLiteral("  ID = :ID,"),
                                   QStringLiteral("  PROJEKTID = :PROJEKTID,"),   QStringLiteral("  TERMINDATUM = :TERMINDATUM"),
                                   QStringLiteral("where"),                      QStringLiteral("  ID = :OLD_ID")};
    IBDataSetTermine->DeleteSQL = {QStringLiteral("delete from TBLTERMINE"), QStringLiteral("where"), QStringLiteral("  ID = :OLD_ID")};
    IBDataSetTermine->RefreshSQL = {QStringLiteral("Select "),        QStringLiteral("  ID,"),
                                    QStringLiteral("  TERMINDATUM,"), QStringLiteral("  BESCHREIBUNG,"),
                                    QStringLiteral("  PROJEKTID"),    QStringLiteral("from TBLTERMINE "),
                                    QStringLiteral("where"),          QStringLiteral("  ID = :ID")};

    IBDataSetToDo = MakeDataSet(QStringLiteral("IBDataSetToDo"), DataSourceToDo, QStringLiteral("DataSourceToDo"));
    IBDataSetToDo->GeneratorField = Generator("GEN_TBLTODO_ID", A::OnPost);
    IBDataSetToDo->SelectSQL = {QStringLiteral("select * from tbltodo")};
    IBDataSetToDo->InsertSQL = {QStringLiteral("insert into tbltodo"),
                                QStringLiteral("  (BESCHREIBUNG, BISTERMIN, ERLEDIGT, FORTSCHRITT, ID, PROJEKTID)"),
                                QStringLiteral("values"),
                                QStringLiteral("  (:BESCHREIBUNG, :BISTERMIN, :ERLEDIGT, :FORTSCHRITT, :ID, :PROJEKTID)")};
    IBDataSetToDo->ModifySQL = {QStringLiteral("update tbltodo"),           QStringLiteral("set"),
                                QStringLiteral("  BESCHREIBUNG = :BESCHREIBUNG,"), QStringLiteral("  BISTERMIN = :BISTERMIN,"),
                                QStringLiteral("  ERLEDIGT = :ERLEDIGT,"),   QStringLiteral("  FORTSCHRITT = :FORTSCHRITT,"),
                                QStringLiteral("  ID = :ID,"),               QStringLiteral("  PROJEKTID = :PROJEKTID"),
                                QStringLiteral("where"),                    QStringLiteral("  ID = :OLD_ID")};
    IBDataSetToDo->DeleteSQL = {QStringLiteral("delete from tbltodo"), QStringLiteral("where"), QStringLiteral("  ID = :OLD_ID")};
    IBDataSetToDo->RefreshSQL = {QStringLiteral("Select "),        QStringLiteral("  ID,"),
                                 QStringLiteral("  BESCHREIBUNG,"), QStringLiteral("  FORTSCHRITT,"),
                                 QStringLiteral("  ERLEDIGT,"),    QStringLiteral("  BISTERMIN,"),
                                 QStringLiteral("  PROJEKTID"),    QStringLiteral("from tbltodo "),
                                 QStringLiteral("where"),          QStringLiteral("  ID = :ID")};

    IBDataSetAllgemein = MakeDataSet(QStringLiteral("IBDataSetAllgemein"), DataSourceAllgemein, QStringLiteral("DataSourceAllgemein"));
    IBDataSetAllgemein->SelectSQL = {QStringLiteral("select * from TBLALLGEMEIN")};
    IBDataSetAllgemein->InsertSQL = {
        QStringLiteral("insert into TBLALLGEMEIN"),
        QStringLiteral("  (AUTOMATICUPDATE, LASTUPDATETESTDATUM, MASTERKENNWORT, PASSPHRASE, ZEITSTEMPEL)"),
        QStringLiteral("values"), QStringLiteral("  (:AUTOMATICUPDATE, :LASTUPDATETESTDATUM, :MASTERKENNWORT, :PASSPHRASE, "),
        QStringLiteral("   :ZEITSTEMPEL)")};
    IBDataSetAllgemein->ModifySQL = {QStringLiteral("update TBLALLGEMEIN"),
                                     QStringLiteral("set"),
                                     QStringLiteral("  AUTOMATICUPDATE = :AUTOMATICUPDATE,"),
                                     QStringLiteral("  LASTUPDATETESTDATUM = :LASTUPDATETESTDATUM,"),
                                     QStringLiteral("  MASTERKENNWORT = :MASTERKENNWORT,"),
                                     QStringLiteral("  PASSPHRASE = :PASSPHRASE,"),
                                     QStringLiteral("  ZEITSTEMPEL = :ZEITSTEMPEL"),
                                     QStringLiteral("where"),
                                     QStringLiteral("  MASTERKENNWORT = :OLD_MASTERKENNWORT")};
    IBDataSetAllgemein->DeleteSQL = {QStringLiteral("delete from TBLALLGEMEIN"), QStringLiteral("where"),
                                     QStringLiteral("  MASTERKENNWORT = :OLD_MASTERKENNWORT")};
    IBDataSetAllgemein->RefreshSQL = {QStringLiteral("Select "),          QStringLiteral("  MASTERKENNWORT,"),
                                      QStringLiteral("  PASSPHRASE,"),    QStringLiteral("  ZEITSTEMPEL,"),
                                      QStringLiteral("  AUTOMATICUPDATE,"), QStringLiteral("  LASTUPDATETESTDATUM"),
                                      QStringLiteral("from TBLALLGEMEIN "), QStringLiteral("where"),
                                      QStringLiteral("  MASTERKENNWORT = :MASTERKENNWORT")};

    IBQueryZugangsdaten = new TIBQuery(IBDatabase, QStringLiteral("IBQueryZugangsdaten"), this);
    IBQueryZugangsdaten->Transaction = &IBTransaction;
    DataSourceQueryZugangsdaten = new TDataSource(IBQueryZugangsdaten, QStringLiteral("DataSourceQueryZugangsdaten"), this);
}

TDataModule1::~TDataModule1() {
    try {
        IBDatabase.Close();
    } catch (...) {
    }
    // The datasets know the connection, which is a member and goes before
    // the QObject children would: delete them while it still exists.
    qDeleteAll(findChildren<TDataSource *>(Qt::FindDirectChildrenOnly));
    qDeleteAll(findChildren<TIBDataSet *>(Qt::FindDirectChildrenOnly));
}

QList<TIBDataSet *> TDataModule1::DataSets() const {
    return {IBDataSetProjekt, IBDataSetZugangsdaten, IBDataSetTelefon, IBDataSetEmail,
            IBDataSetTermine, IBDataSetToDo,         IBDataSetAllgemein};
}

void TDataModule1::IBDatabaseBeforeConnect() {
    ProgramFolder = QFileInfo(ProgramFile).absolutePath();
    if (!ProgramFolder.endsWith(QLatin1Char('/'))) ProgramFolder += QLatin1Char('/');
    IBDatabase.DatabaseName = DatabaseFile.isEmpty() ? ProgramFolder + QStringLiteral("tresoro.gdb") : DatabaseFile;
    connectWatch_ = std::make_unique<TQTimer>();
    connectWatch_->AutoUnit = true;
    connectWatch_->ClearMarks();
    connectWatch_->StartMark();
}

void TDataModule1::IBDatabaseAfterConnect() {
    if (connectWatch_) connectWatch_->StopMark();
    if (Log) {
        LogLine(*Log, QStringLiteral("connected to: ") + IBDatabase.DatabaseName);
        LogLine(*Log, QStringLiteral("time to connect : ") + (connectWatch_ ? connectWatch_->ElapsedText(0) : QString()));
    }
    if (OnAfterConnect) OnAfterConnect();
}

void TDataModule1::IBDatabaseAfterDisconnect() {
    if (OnAfterDisconnect) OnAfterDisconnect();
}

void TDataModule1::Connect() {
    if (IBDatabase.Connected()) return;
    try {
        IBDatabase.Open();
    } catch (const EDatabaseError &e) {
        throw EConnectError(e.Message());
    }
}

void TDataModule1::OpenDatabase() {
    Connect();
    for (TIBDataSet *ds : DataSets()) {
        ds->Close();
        ds->Open();
    }
}

void TDataModule1::CloseDatabase() { IBDatabase.Close(); }

QVariant TDataModule1::QueryValue(const QString &sql) {
    IBQueryZugangsdaten->Close();
    IBQueryZugangsdaten->SQL() = QStringList{sql};
    IBQueryZugangsdaten->Open();
    const QVariant v = IBQueryZugangsdaten->IsEmpty() || IBQueryZugangsdaten->FieldCount() == 0
                           ? QVariant()
                           : IBQueryZugangsdaten->Fields(0).Value();
    return v;
}
