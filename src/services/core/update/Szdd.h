#pragma once
// The MS-Compress "SZDD" file format: an 14-byte header (magic, mode 'A',
// the replaced last character of the name, the expanded length) followed by
// LZSS data over a 4096-byte window that starts filled with blanks.

#include <QByteArray>
#include <QString>

namespace szdd {

constexpr qsizetype HeaderSize = 14;

struct TExpandResult {
    bool Ok = false;
    QByteArray Data;
    QString Error;  // why Ok is false
    char MissingChar = 0;
};

// Expands a whole SZDD image. Refuses images whose declared length exceeds
// maxLength, whose header is wrong, or whose data ends early.
TExpandResult Expand(const QByteArray &image, qint64 maxLength = qint64(512) * 1024 * 1024);

// Compresses data into an SZDD image; missingChar is stored in the header.
QByteArray Compress(const QByteArray &data, char missingChar = 0);

}  // namespace szdd
