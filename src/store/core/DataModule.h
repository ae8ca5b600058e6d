#pragma once
// The data module: the connection, the one transaction, the seven datasets
// with their statements and data sources, and the shared work query.

#include <QObject>
#include <functional>
#include <memory>

#include "store/core/DataSet.h"
#include "store/core/IBDatabase.h"

class THotLog;
class TQTimer;

// Connecting failed: fatal at start-up, unlike a dataset that cannot open.
class EConnectError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

class TDataModule1 : public QObject {
    Q_OBJECT
public:
    // programFile: the executable's full path; its folder is the program folder.
    explicit TDataModule1(const QString &programFile, QObject *parent = nullptr);
    ~TDataModule1() override;

    QString ProgramFile;
    QString ProgramFolder;  // with trailing separator; recomputed at every connect
    // Another database file than the installed one (the terminal program's
    // --database); empty: ProgramFolder + "tresoro.gdb".
    QString DatabaseFile;

    TIBDatabase IBDatabase;
    TIBTransaction IBTransaction;

    TIBDataSet *IBDataSetProjekt;
    TIBDataSet *IBDataSetZugangsdaten;
    TIBDataSet *IBDataSetEmail;
    TIBDataSet *IBDataSetTelefon;
    TIBDataSet *IBDataSetTermine;
    TIBDataSet *IBDataSetToDo;
    TIBDataSet *IBDataSetAllgemein;

    TDataSource *DataSourceProjekt;
    TDataSource *DataSourceZugangsdaten;
    TDataSource *DataSourceEmail;
    TDataSource *DataSourceTelefon;
    TDataSource *DataSourceTermine;
    TDataSource *DataSourceToDo;
    TDataSource *DataSourceAllgemein;

    TIBQuery *IBQueryZugangsdaten;
    TDataSource *DataSourceQueryZugangsdaten;

    // True while TBLPROJEKT holds at least one row (set by the project count).
    bool ProjekteVorhanden = false;

    // Where the connection hooks write their log lines; none in some tests.
    THotLog *Log = nullptr;

    // Extensions of the connection hooks for the window (status panels, log).
    std::function<void()> OnAfterConnect;
    std::function<void()> OnAfterDisconnect;

    // The connect step alone; throws EConnectError.
    void Connect();
    // Connects unless connected (EConnectError), then closes and reopens the
    // seven datasets in their fixed order (EDatabaseError when one fails).
    void OpenDatabase();
    // Closes the connection: datasets closed, edits dropped, commit.
    void CloseDatabase();

    // Executes a statement on the work query and returns the first column
    // of the first row; the query stays open, as every user of it expects.
    QVariant QueryValue(const QString &sql);

    // The seven datasets in the order the program reopens them.
    QList<TIBDataSet *> DataSets() const;

    void IBDatabaseBeforeConnect();
    void IBDatabaseAfterConnect();
    void IBDatabaseAfterDisconnect();

private:
    std::unique_ptr<TQTimer> connectWatch_;  // timed from before to after each connect
    TIBDataSet *MakeDataSet(const QString &name, TDataSource *&source, const QString &sourceName);
};
