#include "screenshots/core/Screenshots.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/core/Dialogs.h"
#include "store/core/DataSet.h"

// --- the column ---------------------------------------------------------------------

bool TScreenshotColumn::Editing() const { return ds_ && IsEditing(ds_->State()); }

QByteArray TScreenshotColumn::Bytes() const {
    if (!ds_ || !ds_->Active()) return {};
    const int f = ds_->FieldIndex(field_);
    if (f < 0) return {};
    if (!IsEditing(ds_->State()) && ds_->RecNo() < 0) return {};
    return ds_->CurrentValue(f).toByteArray();
}

void TScreenshotColumn::Store(const QByteArray &bytes) {
    if (!Editing()) throw std::logic_error("Das Bild wird nur bei der Bearbeitung eines Datensatzes gespeichert");
    ds_->FieldByName(field_).SetValue(bytes);
}

namespace screenshots {

namespace {
std::string Text(const QString &s) { return s.toStdString(); }
}  // namespace

QByteArray ReadWholeFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EPictureFileError(Text(QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2")
                                         .arg(QDir::toNativeSeparators(path), f.errorString())));
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw EPictureFileError(Text(QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2")
                                         .arg(QDir::toNativeSeparators(path), f.errorString())));
    return bytes;
}

void WriteWholeFile(const QString &path, const QByteArray &bytes, bool scratch) {
    auto fail = [&path](const QString &reason) {
        throw EPictureFileError(Text(QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2")
                                         .arg(QDir::toNativeSeparators(path), reason)));
    };
    if (scratch) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() || !f.flush())
            fail(f.errorString());
        return;
    }
    QSaveFile f(path);
    if (!(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit())) fail(f.errorString());
}

bool DeleteFilesByMask(const QString &folder, const QString &mask) {
    QDir dir(folder);
    const QStringList names =
        dir.entryList({mask}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) QFile::remove(dir.filePath(name));  // what will not go stays
    return !names.isEmpty();
}

QString TempDeletedLine(const QString &programFolder) {
    return QStringLiteral("temporäre JPG-Datei in ") + programFolder + QStringLiteral(" wurde gelöscht");
}

QString TempNotDeletedLine() { return QStringLiteral("temporäre JPG-Datei wurde nicht gelöscht"); }

void SaveTempJpeg(const TPixels &bitmap, int quality, const QString &programFolder) {
    TWaitCursor busy;
    // Read back at once and then deleted: no need to wait for the disk.
    WriteWholeFile(TempJpegPath(programFolder), EncodeJpeg(bitmap, quality), true);
}

namespace {
// ShowTempJpeg: the panel shows the compressed picture, as read back.
QByteArray ShowTempJpeg(const QString &programFolder, const TPictureSink &sink) {
    TWaitCursor busy;
    QByteArray jpeg = ReadWholeFile(TempJpegPath(programFolder));
    const TPixels shown = DecodeJpeg(jpeg, sink.Display);
    if (sink.Show) sink.Show(shown, jpeg);
    return jpeg;
}
}  // namespace

void StoreBitmapAsJpeg(const TPixels &bitmap, int quality, const QString &programFolder, TScreenshotColumn &column,
                       const TPictureSink &sink) {
    SaveTempJpeg(bitmap, quality, programFolder);
    const QByteArray shown = ShowTempJpeg(programFolder, sink);
    if (!column.Editing()) return;  // the file stays until the next import or the zoom window's close
    std::exception_ptr failure;
    try {
        // Read again: what goes into the column is the file as it is now.
        const QByteArray jpeg = ReadWholeFile(TempJpegPath(programFolder));
        if (jpeg != shown && sink.Show) sink.Show(DecodeJpeg(jpeg, sink.Display), jpeg);
        column.Store(jpeg);
    } catch (...) {
        failure = std::current_exception();
    }
    const bool deleted = DeleteFilesByMask(programFolder, TempJpegName());
    if (sink.LogLine) sink.LogLine(deleted ? TempDeletedLine(programFolder) : TempNotDeletedLine());
    if (failure) std::rethrow_exception(failure);
}

bool ImportJpegFile(const QString &path, TScreenshotColumn &column, const TPictureSink &sink) {
    QByteArray bytes;
    {
        TWaitCursor busy;
        bytes = ReadWholeFile(path);
        const TPixels shown = DecodeJpeg(bytes, sink.Display);
        if (sink.Show) sink.Show(shown, bytes);
    }
    if (!column.Editing()) return false;
    column.Store(bytes);
    return true;
}

QString ExportFileName(const QString &chosen) {
    if (chosen.isEmpty()) return chosen;
    const QFileInfo info(chosen);
    // "bild." has an empty extension, like "bild".
    if (info.suffix().isEmpty()) {
        QString n = chosen;
        if (n.endsWith(QLatin1Char('.'))) n.chop(1);
        return n + QStringLiteral(".jpg");
    }
    return chosen;
}

QString OverwriteQuestion(const QString &fileName) {
    return QDir::toNativeSeparators(fileName) + QStringLiteral(" ist bereits vorhanden.\r\nMöchten Sie sie ersetzen?");
}

QString OverwriteCaption() { return QStringLiteral("Speichern unter bestätigen"); }

QString ExportBytes(const QString &chosen, const QByteArray &bytes, TDialogs &dialogs) {
    const QString name = ExportFileName(chosen);
    if (name.isEmpty()) return {};
    const QFileInfo info(name);
    if (info.isDir())
        throw EPictureFileError(Text(QStringLiteral("Die Datei %1 kann nicht geschrieben werden: ein Ordner trägt diesen Namen")
                                         .arg(QDir::toNativeSeparators(name))));
    if (info.exists() && dialogs.MessageBox(OverwriteQuestion(name), OverwriteCaption(), TMsgIcon::Warning,
                                            mbYes | mbNo) != mbYes)
        return {};
    TWaitCursor busy;
    WriteWholeFile(name, bytes);
    return name;
}

}  // namespace screenshots
