#include "services/core/updatecheck/UpdateCheck.h"

#include <QFileInfo>
#include <QSettings>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/core/Dialogs.h"
#include "platform/core/GermanFormat.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"

#ifndef TRESORO_UPDATE_URL
#define TRESORO_UPDATE_URL "http://update.tresoro.example/update/tresoro.inf"
#endif

namespace updatecheck {

QDateTime ProgramFileDate(const QString &programFile) {
    const QByteArray path = QFile::encodeName(programFile);
    struct statx sx {};
    if (statx(AT_FDCWD, path.constData(), 0, STATX_BTIME | STATX_MTIME, &sx) != 0) return QDateTime::currentDateTime();
    const auto at = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_mtime;
    return QDateTime::fromSecsSinceEpoch(qint64(at.tv_sec)).addMSecs(at.tv_nsec / 1000000);
}

qint64 DayCount(const QDateTime &a, const QDateTime &b) { return qAbs(a.msecsTo(b)) / (24LL * 3600 * 1000); }

namespace {
void RunSettingsStatement(TDataModule1 &dm, const QStringList &lines) {
    TIBDataSet *g = dm.IBDataSetAllgemein;
    if (g->Active() && !g->IsEmpty() && !IsEditing(g->State())) g->Edit();
    dm.IBQueryZugangsdaten->Close();
    dm.IBQueryZugangsdaten->SQL() = lines;
    dm.IBQueryZugangsdaten->ExecSQL();
    dm.IBTransaction.CommitRetaining();
    // The refresh ends the edit state without saving and shows the new values.
    if (IsEditing(g->State())) g->Cancel();
    if (g->Active() && !g->IsEmpty()) g->Refresh();
}

QVariant SettingsValue(TDataModule1 &dm, const char *column) {
    TIBDataSet *g = dm.IBDataSetAllgemein;
    const int f = g->FieldIndex(QString::fromLatin1(column));
    if (!g->Active() || g->IsEmpty() || f < 0) return QVariant();
    return g->CurrentValue(f);
}
}  // namespace

void SetAutomaticOn(TDataModule1 &dm) {
    RunSettingsStatement(dm, {QStringLiteral("update tblallgemein "), QStringLiteral("set tblallgemein.AUTOMATICUPDATE = 1")});
}

void SetAutomaticOff(TDataModule1 &dm) {
    RunSettingsStatement(dm, {QStringLiteral("update tblallgemein "), QStringLiteral("set tblallgemein.AUTOMATICUPDATE = 0")});
}

void WriteLastUpdateCheck(TDataModule1 &dm, const QDate &today) {
    RunSettingsStatement(dm, {QStringLiteral("update tblallgemein "),
                              QStringLiteral("set tblallgemein.LASTUPDATETESTDATUM = '") + de::DateText(today) + QLatin1Char('\'')});
}

QString AutomaticText(TDataModule1 &dm) {
    const QVariant v = SettingsValue(dm, "AUTOMATICUPDATE");
    return v.isNull() ? QString() : v.toString();
}

QDate LastCheck(TDataModule1 &dm) {
    const QVariant v = SettingsValue(dm, "LASTUPDATETESTDATUM");
    return v.isNull() ? QDate() : v.toDate();
}

void CheckUpdateDue(TDataModule1 &dm, TShell &shell, const QString &programFile, const std::function<void()> &openWindow,
                    const QDateTime &now) {
    // Both ages more than 30 days; a missing last check counts as very old.
    auto due = [&] {
        if (DayCount(now, ProgramFileDate(programFile)) <= kUpdateCheckIntervalDays) return false;
        const QDate last = LastCheck(dm);
        return !last.isValid() || DayCount(now, last.startOfDay()) > kUpdateCheckIntervalDays;
    };
    if (AutomaticText(dm) == QLatin1String("1")) {
        shell.LogLine(QStringLiteral("AUTOMATICUPDATE war bereits auf 1 gesetzt"));
        if (!due()) return;
        if (openWindow) openWindow();
    }
    if (AutomaticText(dm).isEmpty()) {
        {
            TWaitCursor wait;
            SetAutomaticOn(dm);
        }
        shell.LogLine(QStringLiteral("AUTOMATICUPDATE auf 1 gesetzt, da NIL vorgefunden"));
        if (!due()) return;
        if (openWindow) openWindow();
    }
    if (AutomaticText(dm) == QLatin1String("0")) shell.LogLine(QStringLiteral("AUTOMATICUPDATE war bereits auf 0 gesetzt"));
}

QString UpdateUrl(const QString &programFolder) {
    const QString ini = programFolder + QStringLiteral("tresoro.ini");
    if (QFileInfo::exists(ini)) {
        QSettings settings(ini, QSettings::IniFormat);
        const QString url = settings.value(QStringLiteral("update/url")).toString().trimmed();
        if (settings.status() == QSettings::NoError && !url.isEmpty()) return url;
    }
    return QStringLiteral(TRESORO_UPDATE_URL);
}

}  // namespace updatecheck
