#pragma once
// A data module on a fresh program folder with one project and two access
// records, the first with a picture; the access dataset open on them.

#include <QtTest>
#include <memory>

#include "Pictures.h"
#include "screenshots/core/Screenshots.h"
#include "store/core/DataModule.h"
#include "support/Committed.h"
#include "support/ProgramFolder.h"

struct ColumnFixture {
    ColumnFixture() : dm(std::make_unique<TDataModule1>(folder.ProgramFile())) {
        dm->Connect();
        Exec(QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (1, 'Bank')"));
        firstPicture = EncodeJpeg(Pattern(320, 200, TPixels::Layout::Bgrx, 7), 60);
        Exec(QStringLiteral("insert into TBLZUGANGSDATEN (ID, USERID, PROJEKTID, SCREENSHOT) values (1, 'erster', 1, ?)"),
             {firstPicture});
        Exec(QStringLiteral("insert into TBLZUGANGSDATEN (ID, USERID, PROJEKTID) values (2, 'zweiter', 1)"));
        Exec(QStringLiteral("set generator GEN_TBLZUGANGSDATEN_ID to 2"));
        Access()->SelectSQL = {QStringLiteral("select * from TBLZUGANGSDATEN order by ID")};
        Access()->Open();
    }

    TIBDataSet *Access() const { return dm->IBDataSetZugangsdaten; }
    TScreenshotColumn Column() const { return TScreenshotColumn(Access()); }
    QString Folder() const { return dm->ProgramFolder; }
    QString Temp() const { return screenshots::TempJpegPath(Folder()); }

    void Exec(const QString &sql, const TRowValues &params = {}) {
        TSqlStatement st(dm->IBTransaction, sql);
        st.Execute(params);
        dm->IBTransaction.CommitRetaining();
    }
    // What reached the file for record `id`.
    QByteArray CommittedPicture(int id) const {
        return CommittedValue(folder.File(QStringLiteral("tresoro.gdb")),
                              QStringLiteral("select SCREENSHOT from TBLZUGANGSDATEN where ID = %1").arg(id))
            .toByteArray();
    }
    // Saves the record being edited as the save command does.
    void Save() {
        Access()->Post();
        dm->IBTransaction.CommitRetaining();
    }

    TestProgramFolder folder;
    std::unique_ptr<TDataModule1> dm;
    QByteArray firstPicture;
};
