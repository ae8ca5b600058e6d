#pragma once
// The same statements the datasets send, run bare through the client API:
// prepare, fetch every row into the client's own buffer, read each BLOB.

#include <QByteArray>
#include <QString>

#include "store/core/IBDatabase.h"

inline long BareFetch(TIBDatabase &db, TIBTransaction &tr, const QString &sql) {
    using namespace Firebird;
    FbStatus status(db.Client());
    IAttachment *att = db.Attachment();
    ITransaction *tra = tr.Handle();
    const QByteArray text = sql.toLatin1();
    IStatement *stmt = att->prepare(&status, tra, unsigned(text.size()), text.constData(), 3,
                                    IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata *meta = stmt->getOutputMetadata(&status);
    const unsigned count = meta->getCount(&status);
    QByteArray buffer(int(meta->getMessageLength(&status)), '\0');
    IResultSet *rs = stmt->openCursor(&status, tra, nullptr, nullptr, meta, 0);
    long rows = 0;
    char segment[16384];
    while (rs->fetchNext(&status, buffer.data()) == IStatus::RESULT_OK) {
        ++rows;
        for (unsigned i = 0; i < count; ++i) {
            if ((meta->getType(&status, i) & ~1u) != SQL_BLOB) continue;
            if (*reinterpret_cast<short *>(buffer.data() + meta->getNullOffset(&status, i))) continue;
            ISC_QUAD id = *reinterpret_cast<ISC_QUAD *>(buffer.data() + meta->getOffset(&status, i));
            IBlob *blob = att->openBlob(&status, tra, &id, 0, nullptr);
            unsigned got = 0;
            for (;;) {
                const int rc = blob->getSegment(&status, sizeof segment, segment, &got);
                if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT) break;
            }
            blob->close(&status);
        }
    }
    rs->close(&status);
    meta->release();
    stmt->free(&status);
    return rows;
}
