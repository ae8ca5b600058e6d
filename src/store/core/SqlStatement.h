#pragma once
// One prepared statement with named parameters, bound from QVariant values.
//
// Statements are written with ":NAME" markers; they are sent with positional
// markers in their place. Values bind by their own type (the server converts),
// so texts that are too long or of the wrong kind get the server's own error.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <firebird/Interface.h>

#include "store/core/IBDatabase.h"

enum class TFieldKind { Integer, BigInt, Float, Text, Date, Time, DateTime, Memo, Blob, Boolean, Other };

struct TColumnInfo {
    QString Name;
    TFieldKind Kind = TFieldKind::Other;
    int Length = 0;  // bytes, for texts
    bool Nullable = true;
};

struct TParsedSql {
    QString Text;        // with "?" for every parameter
    QStringList Params;  // names in order of appearance, "OLD_" prefix kept
};

// Replaces ":NAME" by "?" outside of literals, quoted names and comments.
TParsedSql ParseSqlParams(const QString &sql);

using TRowValues = QVector<QVariant>;

// The identity of a stored BLOB: handing it back writes the same BLOB again
// without sending its content.
struct TBlobId {
    ISC_QUAD Id{};
};
Q_DECLARE_METATYPE(TBlobId)

class TSqlStatement {
public:
    // Prepares at once (which starts the transaction when needed).
    TSqlStatement(TIBTransaction &transaction, const QString &sql);
    ~TSqlStatement();
    TSqlStatement(const TSqlStatement &) = delete;
    TSqlStatement &operator=(const TSqlStatement &) = delete;

    const QString &Sql() const { return sql_; }
    const QStringList &ParamNames() const { return parsed_.Params; }
    const QVector<TColumnInfo> &Columns() const { return columns_; }
    bool IsSelect() const { return isSelect_; }
    quint64 ConnectionSerial() const { return serial_; }

    // Runs a statement without result set; returns the number of rows changed.
    quint64 Execute(const TRowValues &params = {});
    // Runs a select and reads every row. With blobIds, each row carries
    // after its columns the TBlobId of each BLOB column, in column order.
    QVector<TRowValues> Fetch(const TRowValues &params = {}, bool blobIds = false);

private:
    struct InputMessage;
    void BuildInput(const TRowValues &params, InputMessage &msg);
    TRowValues ReadRow(const unsigned char *buffer, bool blobIds);
    QByteArray ReadBlob(const ISC_QUAD &id);
    ISC_QUAD WriteBlob(const QByteArray &bytes, bool text);

    TIBTransaction &transaction_;
    TIBDatabase &db_;
    QString sql_;
    TParsedSql parsed_;
    Firebird::IStatement *statement_ = nullptr;
    Firebird::IMessageMetadata *inMeta_ = nullptr;
    Firebird::IMessageMetadata *outMeta_ = nullptr;
    QVector<TColumnInfo> columns_;
    struct OutColumn {
        unsigned type, offset, nullOffset, length;
        int subType, scale, charSet;
    };
    QVector<OutColumn> out_;
    QByteArray outBuffer_;
    bool isSelect_ = false;
    quint64 serial_ = 0;
};

// Firebird's day numbers and time fractions.
ISC_DATE ToIscDate(const QDate &d);
QDate FromIscDate(ISC_DATE d);
ISC_TIME ToIscTime(const QTime &t);
QTime FromIscTime(ISC_TIME t);
