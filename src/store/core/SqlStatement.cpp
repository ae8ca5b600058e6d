#include "store/core/SqlStatement.h"

#include <cstring>

#include "platform/core/Cp1252.h"

using namespace Firebird;

namespace {

constexpr unsigned kMaxVarchar = 32765;
constexpr unsigned kCharsetOctets = 1;
constexpr unsigned kCharsetWin1252 = 53;
constexpr qint64 kIscDateOffset = 2400001;  // Julian day of 17.11.1858, day 0 of the server

bool IsNameStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool IsNamePart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

TFieldKind KindOf(unsigned type, int subType, int scale) {
    switch (type) {
    case SQL_SHORT:
    case SQL_LONG: return scale == 0 ? TFieldKind::Integer : TFieldKind::Float;
    case SQL_INT64: return scale == 0 ? TFieldKind::BigInt : TFieldKind::Float;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return TFieldKind::Float;
    case SQL_TEXT:
    case SQL_VARYING: return TFieldKind::Text;
    case SQL_TYPE_DATE: return TFieldKind::Date;
    case SQL_TYPE_TIME: return TFieldKind::Time;
    case SQL_TIMESTAMP: return TFieldKind::DateTime;
    case SQL_BLOB: return subType == 1 ? TFieldKind::Memo : TFieldKind::Blob;
    case SQL_BOOLEAN: return TFieldKind::Boolean;
    default: return TFieldKind::Other;
    }
}

double Scaled(qint64 v, int scale) {
    double d = double(v);
    for (int i = 0; i < -scale; ++i) d /= 10.0;
    return d;
}

}  // namespace

ISC_DATE ToIscDate(const QDate &d) { return ISC_DATE(d.toJulianDay() - kIscDateOffset); }
QDate FromIscDate(ISC_DATE d) { return QDate::fromJulianDay(qint64(d) + kIscDateOffset); }
ISC_TIME ToIscTime(const QTime &t) { return ISC_TIME(t.msecsSinceStartOfDay()) * 10; }
QTime FromIscTime(ISC_TIME t) { return QTime::fromMSecsSinceStartOfDay(int(t / 10)); }

TParsedSql ParseSqlParams(const QString &sql) {
    TParsedSql r;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    r.Text.reserve(n);
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            r.Text += c;
            ++i;
            while (i < n) {
                r.Text += sql.at(i);
                if (sql.at(i) == c) {
                    if (i + 1 < n && sql.at(i + 1) == c) {
                        r.Text += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            while (i < n && sql.at(i) != QLatin1Char('\n')) r.Text += sql.at(i++);
        } else if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            r.Text += sql.mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char(':') && i + 1 < n && IsNameStart(sql.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && IsNamePart(sql.at(j))) ++j;
            r.Params << sql.mid(i + 1, j - i - 1).toUpper();
            r.Text += QLatin1Char('?');
            i = j;
        } else {
            r.Text += c;
            ++i;
        }
    }
    return r;
}

// ---------------------------------------------------------------------------

struct TSqlStatement::InputMessage {
    IMessageMetadata *meta = nullptr;
    QByteArray buffer;
    ~InputMessage() {
        if (meta) meta->release();
    }
};

TSqlStatement::TSqlStatement(TIBTransaction &transaction, const QString &sql)
    : transaction_(transaction), db_(transaction.Database()), sql_(sql), parsed_(ParseSqlParams(sql)) {
    FbClient &client = db_.Client();
    serial_ = db_.ConnectionSerial();
    const QByteArray text = cp1252::Encode(parsed_.Text);
    FbStatus status(client);
    try {
        statement_ = db_.Attachment()->prepare(&status, transaction_.Handle(), unsigned(text.size()), text.constData(),
                                               unsigned(db_.SQLDialect), IStatement::PREPARE_PREFETCH_METADATA);
        const unsigned type = statement_->getType(&status);
        isSelect_ = type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
        inMeta_ = statement_->getInputMetadata(&status);
        outMeta_ = statement_->getOutputMetadata(&status);
        const unsigned count = outMeta_->getCount(&status);
        for (unsigned i = 0; i < count; ++i) {
            OutColumn oc{outMeta_->getType(&status, i) & ~1u,    outMeta_->getOffset(&status, i),
                         outMeta_->getNullOffset(&status, i), outMeta_->getLength(&status, i),
                         outMeta_->getSubType(&status, i), outMeta_->getScale(&status, i),
                         int(outMeta_->getCharSet(&status, i))};
            out_ << oc;
            TColumnInfo info;
            info.Name = QString::fromUtf8(outMeta_->getAlias(&status, i));
            info.Kind = KindOf(oc.type, oc.subType, oc.scale);
            info.Length = int(oc.length);
            info.Nullable = outMeta_->isNullable(&status, i);
            columns_ << info;
        }
        outBuffer_.resize(outMeta_->getMessageLength(&status));
    } catch (const FbException &e) {
        const QString message = client.FormatStatus(e.getStatus());
        if (outMeta_) outMeta_->release();
        if (inMeta_) inMeta_->release();
        if (statement_) statement_->release();
        throw EDatabaseError(message);
    }
}

TSqlStatement::~TSqlStatement() {
    if (outMeta_) outMeta_->release();
    if (inMeta_) inMeta_->release();
    if (!statement_) return;
    if (db_.Connected() && db_.ConnectionSerial() == serial_) {
        FbStatus status(db_.Client());
        try {
            statement_->free(&status);  // releases the interface on success
            return;
        } catch (const FbException &) {
        }
    }
    statement_->release();
}

void TSqlStatement::BuildInput(const TRowValues &params, InputMessage &msg) {
    FbClient &client = db_.Client();
    FbStatus status(client);
    const unsigned count = inMeta_->getCount(&status);
    if (unsigned(params.size()) != count)
        throw EDatabaseError(QStringLiteral("Die Anweisung erwartet %1 Parameter, erhalten: %2").arg(count).arg(params.size()));

    // Encoded texts and blob ids, prepared before the layout is known.
    QVector<QByteArray> bytes(count);
    QVector<ISC_QUAD> blobs(count);
    IMetadataBuilder *builder = client.Master()->getMetadataBuilder(&status, count);
    try {
        for (unsigned i = 0; i < count; ++i) {
            const QVariant &v = params.at(int(i));
            const unsigned origType = inMeta_->getType(&status, i) & ~1u;
            if (v.isNull() || !v.isValid()) {
                builder->setType(&status, i, origType | 1);
                builder->setSubType(&status, i, inMeta_->getSubType(&status, i));
                builder->setLength(&status, i, inMeta_->getLength(&status, i));
                builder->setScale(&status, i, inMeta_->getScale(&status, i));
                builder->setCharSet(&status, i, inMeta_->getCharSet(&status, i));
                continue;
            }
            if (v.userType() == qMetaTypeId<TBlobId>()) {
                blobs[int(i)] = v.value<TBlobId>().Id;
                builder->setType(&status, i, SQL_BLOB + 1);
                builder->setSubType(&status, i, inMeta_->getSubType(&status, i));
                builder->setLength(&status, i, sizeof(ISC_QUAD));
                continue;
            }
            switch (v.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Long:
            case QMetaType::LongLong:
            case QMetaType::Short:
            case QMetaType::ULongLong:
                builder->setType(&status, i, SQL_INT64 + 1);
                builder->setLength(&status, i, sizeof(ISC_INT64));
                builder->setScale(&status, i, 0);
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                builder->setType(&status, i, SQL_DOUBLE + 1);
                builder->setLength(&status, i, sizeof(double));
                break;
            case QMetaType::QDate:
                builder->setType(&status, i, SQL_TYPE_DATE + 1);
                builder->setLength(&status, i, sizeof(ISC_DATE));
                break;
            case QMetaType::QTime:
                builder->setType(&status, i, SQL_TYPE_TIME + 1);
                builder->setLength(&status, i, sizeof(ISC_TIME));
                break;
            case QMetaType::QDateTime:
                builder->setType(&status, i, SQL_TIMESTAMP + 1);
                builder->setLength(&status, i, sizeof(ISC_TIMESTAMP));
                break;
            case QMetaType::QByteArray: {
                const QByteArray raw = v.toByteArray();
                if (origType == SQL_BLOB) {
                    blobs[int(i)] = WriteBlob(raw, false);
                    builder->setType(&status, i, SQL_BLOB + 1);
                    builder->setSubType(&status, i, inMeta_->getSubType(&status, i));
                    builder->setLength(&status, i, sizeof(ISC_QUAD));
                } else {
                    bytes[int(i)] = raw;
                    builder->setType(&status, i, SQL_VARYING + 1);
                    builder->setLength(&status, i, qMax<unsigned>(1, unsigned(raw.size())));
                    builder->setCharSet(&status, i, kCharsetOctets);
                }
                break;
            }
            default: {
                const QByteArray encoded = cp1252::Encode(v.toString());
                // A text the size of a character parameter goes into a text
                // BLOB column as such (the server makes the BLOB); only a
                // longer one is written as a BLOB of its own first.
                if (origType == SQL_BLOB && unsigned(encoded.size()) > kMaxVarchar) {
                    blobs[int(i)] = WriteBlob(encoded, true);
                    builder->setType(&status, i, SQL_BLOB + 1);
                    builder->setSubType(&status, i, 1);
                    builder->setLength(&status, i, sizeof(ISC_QUAD));
                } else {
                    bytes[int(i)] = encoded;
                    builder->setType(&status, i, SQL_VARYING + 1);
                    builder->setLength(&status, i, qMax<unsigned>(1, unsigned(encoded.size())));
                    builder->setCharSet(&status, i, kCharsetWin1252);
                }
                break;
            }
            }
        }
        msg.meta = builder->getMetadata(&status);
        builder->release();
        builder = nullptr;

        msg.buffer = QByteArray(int(msg.meta->getMessageLength(&status)), '\0');
        auto *base = reinterpret_cast<unsigned char *>(msg.buffer.data());
        for (unsigned i = 0; i < count; ++i) {
            const QVariant &v = params.at(int(i));
            auto *nullFlag = reinterpret_cast<short *>(base + msg.meta->getNullOffset(&status, i));
            unsigned char *data = base + msg.meta->getOffset(&status, i);
            if (v.isNull() || !v.isValid()) {
                *nullFlag = -1;
                continue;
            }
            *nullFlag = 0;
            switch (msg.meta->getType(&status, i) & ~1u) {  // the builder keeps the nullable bit
            case SQL_INT64: {
                const ISC_INT64 x = v.toLongLong();
                std::memcpy(data, &x, sizeof x);
                break;
            }
            case SQL_DOUBLE: {
                const double x = v.toDouble();
                std::memcpy(data, &x, sizeof x);
                break;
            }
            case SQL_TYPE_DATE: {
                const ISC_DATE x = ToIscDate(v.toDate());
                std::memcpy(data, &x, sizeof x);
                break;
            }
            case SQL_TYPE_TIME: {
                const ISC_TIME x = ToIscTime(v.toTime());
                std::memcpy(data, &x, sizeof x);
                break;
            }
            case SQL_TIMESTAMP: {
                const QDateTime dt = v.toDateTime();
                ISC_TIMESTAMP x{ToIscDate(dt.date()), ToIscTime(dt.time())};
                std::memcpy(data, &x, sizeof x);
                break;
            }
            case SQL_BLOB: std::memcpy(data, &blobs[int(i)], sizeof(ISC_QUAD)); break;
            case SQL_VARYING: {
                const QByteArray &b = bytes[int(i)];
                const auto length = static_cast<unsigned short>(b.size());
                std::memcpy(data, &length, sizeof length);
                std::memcpy(data + sizeof length, b.constData(), size_t(b.size()));
                break;
            }
            default: break;
            }
        }
    } catch (const FbException &e) {
        if (builder) builder->release();
        client.Raise(e);
    }
}

quint64 TSqlStatement::Execute(const TRowValues &params) {
    if (isSelect_) {
        Fetch(params);
        return 0;
    }
    InputMessage msg;
    BuildInput(params, msg);
    FbClient &client = db_.Client();
    FbStatus status(client);
    try {
        statement_->execute(&status, transaction_.Handle(), msg.meta, msg.buffer.data(), outMeta_,
                            outBuffer_.isEmpty() ? nullptr : outBuffer_.data());
        return statement_->getAffectedRecords(&status);
    } catch (const FbException &e) {
        client.Raise(e);
    }
}

QVector<TRowValues> TSqlStatement::Fetch(const TRowValues &params, bool blobIds) {
    InputMessage msg;
    BuildInput(params, msg);
    FbClient &client = db_.Client();
    FbStatus status(client);
    IResultSet *cursor = nullptr;
    QVector<TRowValues> rows;
    try {
        cursor = statement_->openCursor(&status, transaction_.Handle(), msg.meta, msg.buffer.data(), outMeta_, 0);
        auto *buffer = reinterpret_cast<unsigned char *>(outBuffer_.data());
        while (cursor->fetchNext(&status, buffer) == IStatus::RESULT_OK) rows << ReadRow(buffer, blobIds);
        cursor->close(&status);  // releases the interface on success
        cursor = nullptr;
    } catch (const FbException &e) {
        if (cursor) cursor->release();
        client.Raise(e);
    } catch (...) {
        if (cursor) cursor->release();
        throw;
    }
    return rows;
}

TRowValues TSqlStatement::ReadRow(const unsigned char *buffer, bool blobIds) {
    TRowValues row;
    row.reserve(out_.size());
    TRowValues ids;
    for (const OutColumn &c : out_) {
        if (*reinterpret_cast<const short *>(buffer + c.nullOffset)) {
            row << QVariant();
            if (c.type == SQL_BLOB) ids << QVariant();
            continue;
        }
        const unsigned char *p = buffer + c.offset;
        switch (c.type) {
        case SQL_SHORT: {
            short v;
            std::memcpy(&v, p, sizeof v);
            row << (c.scale ? QVariant(Scaled(v, c.scale)) : QVariant(int(v)));
            break;
        }
        case SQL_LONG: {
            ISC_LONG v;
            std::memcpy(&v, p, sizeof v);
            row << (c.scale ? QVariant(Scaled(v, c.scale)) : QVariant(int(v)));
            break;
        }
        case SQL_INT64: {
            ISC_INT64 v;
            std::memcpy(&v, p, sizeof v);
            row << (c.scale ? QVariant(Scaled(v, c.scale)) : QVariant(qint64(v)));
            break;
        }
        case SQL_FLOAT: {
            float v;
            std::memcpy(&v, p, sizeof v);
            row << QVariant(double(v));
            break;
        }
        case SQL_DOUBLE:
        case SQL_D_FLOAT: {
            double v;
            std::memcpy(&v, p, sizeof v);
            row << QVariant(v);
            break;
        }
        case SQL_TEXT: {
            const auto *text = reinterpret_cast<const char *>(p);
            if (c.charSet == int(kCharsetOctets))
                row << QVariant(QByteArray(text, int(c.length)));
            else
                row << QVariant(cp1252::Decode(text, c.length));
            break;
        }
        case SQL_VARYING: {
            unsigned short length;
            std::memcpy(&length, p, sizeof length);
            const auto *text = reinterpret_cast<const char *>(p + sizeof length);
            if (c.charSet == int(kCharsetOctets))
                row << QVariant(QByteArray(text, length));
            else
                row << QVariant(cp1252::Decode(text, length));
            break;
        }
        case SQL_TYPE_DATE: {
            ISC_DATE v;
            std::memcpy(&v, p, sizeof v);
            row << QVariant(FromIscDate(v));
            break;
        }
        case SQL_TYPE_TIME: {
            ISC_TIME v;
            std::memcpy(&v, p, sizeof v);
            row << QVariant(FromIscTime(v));
            break;
        }
        case SQL_TIMESTAMP: {
            ISC_TIMESTAMP v;
            std::memcpy(&v, p, sizeof v);
            row << QVariant(QDateTime(FromIscDate(v.timestamp_date), FromIscTime(v.timestamp_time)));
            break;
        }
        case SQL_BOOLEAN: row << QVariant(bool(*p)); break;
        case SQL_BLOB: {
            ISC_QUAD id;
            std::memcpy(&id, p, sizeof id);
            const QByteArray content = ReadBlob(id);
            ids << QVariant::fromValue(TBlobId{id});
            row << (c.subType == 1 ? QVariant(cp1252::Decode(content)) : QVariant(content));
            break;
        }
        default: row << QVariant(); break;
        }
    }
    if (blobIds) row << ids;
    return row;
}

QByteArray TSqlStatement::ReadBlob(const ISC_QUAD &id) {
    FbClient &client = db_.Client();
    FbStatus status(client);
    IBlob *blob = nullptr;
    QByteArray content;
    try {
        ISC_QUAD copy = id;
        blob = db_.Attachment()->openBlob(&status, transaction_.Handle(), &copy, 0, nullptr);
        char segment[16384];
        for (;;) {
            unsigned got = 0;
            const int rc = blob->getSegment(&status, sizeof segment, segment, &got);
            if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT) break;
            content.append(segment, int(got));
        }
        blob->close(&status);
        blob = nullptr;
    } catch (const FbException &e) {
        if (blob) blob->release();
        client.Raise(e);
    }
    return content;
}

ISC_QUAD TSqlStatement::WriteBlob(const QByteArray &bytes, bool text) {
    FbClient &client = db_.Client();
    FbStatus status(client);
    IBlob *blob = nullptr;
    ISC_QUAD id{};
    try {
        const unsigned char textBpb[] = {isc_bpb_version1, isc_bpb_source_type, 1, 1, isc_bpb_target_type, 1, 1,
                                         isc_bpb_source_interp, 1, kCharsetWin1252, isc_bpb_target_interp, 1,
                                         kCharsetWin1252};
        blob = db_.Attachment()->createBlob(&status, transaction_.Handle(), &id, text ? sizeof textBpb : 0,
                                            text ? textBpb : nullptr);
        constexpr qsizetype kSegment = 32768;
        for (qsizetype pos = 0; pos < bytes.size(); pos += kSegment)
            blob->putSegment(&status, unsigned(qMin(kSegment, bytes.size() - pos)), bytes.constData() + pos);
        blob->close(&status);
        blob = nullptr;
    } catch (const FbException &e) {
        const QString message = client.FormatStatus(e.getStatus());
        if (blob) {
            FbStatus cancelStatus(client);
            try {
                blob->cancel(&cancelStatus);  // releases on success
            } catch (const FbException &) {
                blob->release();
            }
        }
        throw EDatabaseError(message);
    }
    return id;
}
