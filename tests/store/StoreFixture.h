#pragma once
// A data module on a fresh copy of the installed database, plus a second,
// independent connection to look at what really reached the file.

#include <QtTest>
#include <memory>

#include "store/core/DataModule.h"
#include "support/Committed.h"
#include "support/ProgramFolder.h"

struct StoreFixture {
    StoreFixture() : dm(std::make_unique<TDataModule1>(folder.ProgramFile())) {}

    // Runs one statement on its own connection and returns the first column
    // of the first row: the committed state of the file.
    QVariant Committed(const QString &sql) const {
        return CommittedValue(folder.File(QStringLiteral("tresoro.gdb")), sql);
    }

    // Executes SQL in the data module's own transaction and commits it.
    void Exec(const QString &sql) {
        dm->Connect();
        TSqlStatement st(dm->IBTransaction, sql);
        st.Execute();
        dm->IBTransaction.CommitRetaining();
    }

    // Value seen inside the data module's transaction.
    QVariant Seen(const QString &sql) {
        TSqlStatement st(dm->IBTransaction, sql);
        const auto rows = st.Fetch();
        return rows.isEmpty() || rows.first().isEmpty() ? QVariant() : rows.first().first();
    }

    TestProgramFolder folder;
    std::unique_ptr<TDataModule1> dm;
};
