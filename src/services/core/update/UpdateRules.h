#pragma once
// The rules that decide whether an update (or one file of it) is due, and
// the folder names a control file may use in its paths. Free of network and
// events, so the engine, the tests and the fuzzer share them.

#include <QDateTime>
#include <QString>
#include <optional>

class TControlFile;

namespace update {

// "dd/mm/yyyy" and "hh:nn"; an unreadable date counts as 1980-01-01, an
// unreadable or missing time as midnight.
QDateTime ParseUpdateDate(const QString &date, const QString &time);
QDateTime NoDate();  // 1980-01-01 00:00, local time

// Sum of the file's bytes taken as unsigned, minus 1, in 32 bits. Nothing
// when the file cannot be read.
std::optional<quint32> FileChecksum(const QString &path);
quint32 Checksum(const QByteArray &bytes);

// The comparison values of the update section or of one file entry.
struct TRuleValues {
    QString Date, Time;
    bool Unconditional = false;
    QString LocalFile;  // resolved path, empty when none was given
    QString NewVersion;
    qint64 NewSize = 0;
    qint64 NewChecksum = -1;
};
TRuleValues ReadRuleValues(const TControlFile &file, const QString &section);

enum class TRule { None, Date, Unconditional, Checksum, Size, Version };

struct TRuleOutcome {
    TRule Rule = TRule::None;
    bool Due = false;
    QString Found;  // the date or version reported with a due update
};

// Applies the first rule that the values call for: unconditional, date,
// then checksum, size or version. Version check mode "update only": a file
// missing locally is never updated by the size or version rule, and a file
// without a version mark never by the version rule.
TRuleOutcome Evaluate(const TRuleValues &values);

// Folder names in control-file paths: {APP} the program folder, {TMP} the
// temporary folder. {WIN}, {SYS} and {PF} have no meaning on this platform.
struct TExpanded {
    QString Path;
    QString Error;  // not empty when the path cannot be used
};
TExpanded ExpandFolders(const QString &text, const QString &programFolder, const QString &tempFolder);

// Whether path lies inside folder once every link is resolved (the path
// itself need not exist yet; its nearest existing ancestor is resolved).
bool LiesInside(const QString &path, const QString &folder);

}  // namespace update
