#pragma once
// What really reached a database file: one statement on a connection of its
// own, which sees only committed work.

#include <QVariant>

#include "store/core/IBDatabase.h"
#include "store/core/SqlStatement.h"

// The first column of the first row, or an invalid value without rows.
inline QVariant CommittedValue(const QString &databaseFile, const QString &sql) {
    TIBDatabase db;
    db.DatabaseName = databaseFile;
    db.Password = QStringLiteral("masterkey");
    TIBTransaction tr(db);
    db.Open();
    QVariant v;
    {
        TSqlStatement st(tr, sql);
        const auto rows = st.Fetch();
        if (!rows.isEmpty() && !rows.first().isEmpty()) v = rows.first().first();
    }
    db.Close();
    return v;
}
