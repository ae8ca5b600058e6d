#pragma once
// The picture of an access record without widgets: the column it lives in,
// the temporary file of a bitmap import, the clean-up, the export.

#include <QByteArray>
#include <QString>
#include <functional>

#include "screenshots/core/JpegCodec.h"

class TIBDataSet;
class TDialogs;

// A file could not be read or written; the message names it.
class EPictureFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The picture column of the current record of a dataset.
class TScreenshotColumn {
public:
    TScreenshotColumn(TIBDataSet *dataSet = nullptr, QString field = QStringLiteral("SCREENSHOT"))
        : ds_(dataSet), field_(std::move(field)) {}
    TIBDataSet *DataSet() const { return ds_; }
    QString Field() const { return field_; }
    // The record is being inserted or edited: only then is the column written.
    bool Editing() const;
    // The current record's bytes (the edit buffer while editing); empty
    // without a record.
    QByteArray Bytes() const;
    // Replaces the column's content; only while Editing().
    void Store(const QByteArray &bytes);

private:
    TIBDataSet *ds_;
    QString field_;
};

namespace screenshots {

inline QString TempJpegName() { return QStringLiteral("temp.jpg"); }
// ProgramFolder (with its trailing separator) + "temp.jpg".
inline QString TempJpegPath(const QString &programFolder) { return programFolder + TempJpegName(); }

// The whole file; EPictureFileError when it cannot be read.
QByteArray ReadWholeFile(const QString &path);
// Writes the bytes, replacing an older file only once all of them are
// written and on disk; EPictureFileError when that fails (an older file
// stays then). A scratch file needs neither: `scratch` overwrites in place.
void WriteWholeFile(const QString &path, const QByteArray &bytes, bool scratch = false);

// Deletes every file in `folder` whose name matches `mask` (wildcards * and
// ?), directories excluded, hidden ones included; a file that cannot be
// deleted is passed over. True when at least one file matched.
bool DeleteFilesByMask(const QString &folder, const QString &mask);

// The log lines of the clean-up after a bitmap import.
QString TempDeletedLine(const QString &programFolder);  // "temporäre JPG-Datei in ... wurde gelöscht"
QString TempNotDeletedLine();                            // "temporäre JPG-Datei wurde nicht gelöscht"

// Encodes the bitmap at `quality` and writes ProgramFolder + "temp.jpg".
void SaveTempJpeg(const TPixels &bitmap, int quality, const QString &programFolder);

// What a bitmap import needs besides the column: where the picture is
// shown and where the log line goes.
struct TPictureSink {
    std::function<void(const TPixels &picture, const QByteArray &jpeg)> Show;
    std::function<void(const QString &message)> LogLine;
    // Decoding for the display (the panel needs no more than its size).
    TJpegDecodeOptions Display;
};

// The steps after the bitmap is loaded: the temporary JPEG at `quality`,
// shown, and while the record is edited stored in the column; then the
// clean-up with its log line, also when storing failed. Throws what failed
// (the stored picture then stays as it was).
void StoreBitmapAsJpeg(const TPixels &bitmap, int quality, const QString &programFolder, TScreenshotColumn &column,
                       const TPictureSink &sink);

// A JPEG file: decoded for the display (an unreadable or undecodable file
// throws and nothing is stored), then while editing its bytes go into the
// column unchanged. Returns whether they were stored.
bool ImportJpegFile(const QString &path, TScreenshotColumn &column, const TPictureSink &sink);

// The export's file name: ".jpg" appended when the name has no extension.
QString ExportFileName(const QString &chosen);
// The question before an existing file is replaced.
QString OverwriteQuestion(const QString &fileName);
QString OverwriteCaption();
// Writes the bytes unchanged to the export's file name (derived from
// `chosen`), asking through `dialogs` before an existing file is replaced.
// Returns the name written, or empty when the user declined.
QString ExportBytes(const QString &chosen, const QByteArray &bytes, TDialogs &dialogs);

}  // namespace screenshots
