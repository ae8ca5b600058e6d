#pragma once
// The update check's rules apart from its window: the two settings columns,
// the automatic rule run once after each show of the main window, the ages
// it compares, and where the update server is.

#include <QDateTime>
#include <QString>
#include <functional>

class TDataModule1;
class TShell;

namespace updatecheck {

inline constexpr int kUpdateCheckIntervalDays = 30;

// The program file's birth time, or its last change where the file system
// keeps no birth time; now for a missing file.
QDateTime ProgramFileDate(const QString &programFile);
// Whole days between two points in time, whichever is later.
qint64 DayCount(const QDateTime &a, const QDateTime &b);

// The three statements on the settings row, each two lines on the work
// query, committed retaining, the settings row read again.
void SetAutomaticOn(TDataModule1 &dm);
void SetAutomaticOff(TDataModule1 &dm);
void WriteLastUpdateCheck(TDataModule1 &dm, const QDate &today = QDate::currentDate());

// AUTOMATICUPDATE as text ("" for NULL) and LASTUPDATETESTDATUM (null when NULL).
QString AutomaticText(TDataModule1 &dm);
QDate LastCheck(TDataModule1 &dm);

// The automatic rule: its log lines, AUTOMATICUPDATE NULL becoming 1, and
// `openWindow` run (modally) when the program file and the last check are
// both more than 30 days old.
void CheckUpdateDue(TDataModule1 &dm, TShell &shell, const QString &programFile, const std::function<void()> &openWindow,
                    const QDateTime &now = QDateTime::currentDateTime());

// The control file's address: the build's default, or "url=" under
// "[update]" in tresoro.ini in the program folder.
QString UpdateUrl(const QString &programFolder);

}  // namespace updatecheck
