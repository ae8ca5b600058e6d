#include "services/core/backup/BackupRestore.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/core/Dialogs.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"
#include "store/core/SqlStatement.h"

namespace {

struct TRunTexts {
    const char *question;
    const char *startStatus;
    const char *firstLine;
    const char *lastLine;
    const char *doneBox;
    const char *endStatus;
    const char *failedStatus;
};

const TRunTexts &Texts(TServiceAction action) {
    static const TRunTexts backup{
        "Ein evtl. vorhandenes Backup TRESOROBACKUP wird überschrieben.\r\nSoll jetzt ein Backup gezogen werden?",
        "Datenbankverbindung wird geschlossen. Backup läuft.",
        "Backup beginnt",
        "Backup beendet",
        "Datenbankbackup TRESOROBACKUP wurde erzeugt.",
        "Datenbankverbindung wurde wieder geöffnet. Backup beendet.",
        "Backup fehlgeschlagen. Das vorige Backup bleibt erhalten."};
    static const TRunTexts restore{
        "Das Backup TRESOROBACKUP wird geladen und ersetzt den aktuellen Datenbankinhalt.\r\nSoll jetzt die "
        "Datenbank wiederhergestellt werden?",
        "Datenbankverbindung wird geschlossen. Restore läuft.",
        "Restore beginnt",
        "Restore beendet",
        "Datenbank wurde aus Backup TRESOROBACKUP wieder hergestellt.",
        "Datenbankverbindung wurde wieder geöffnet. Restore beendet.",
        "Restore fehlgeschlagen. Die Datenbank bleibt unverändert."};
    return action == TServiceAction::Backup ? backup : restore;
}

QString U(const char *text) { return QString::fromUtf8(text); }

// Replaces target by source in one step, so that a reader sees either the
// old file or the new one, never a part.
void ReplaceFile(const QString &source, const QString &target) {
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) != 0)
        throw EDatabaseError(QStringLiteral("Die Datei %1 konnte nicht durch %2 ersetzt werden: %3")
                                 .arg(target, source, QString::fromLocal8Bit(std::strerror(errno))));
}

void RemoveStale(const QString &file) {
    if (!QFileInfo::exists(file)) return;
    if (!QFile::remove(file))
        throw EDatabaseError(QStringLiteral("Die alte Arbeitsdatei %1 konnte nicht gelöscht werden").arg(file));
}

}  // namespace

TBackupRestore::TBackupRestore(TDataModule1 &dm, TShell &shell) : dm_(dm), shell_(shell) {}

TBackupRestore::~TBackupRestore() = default;

const QStringList &TBackupRestore::Tables() {
    static const QStringList tables{QStringLiteral("TBLPROJEKT"), QStringLiteral("TBLZUGANGSDATEN"),
                                    QStringLiteral("TBLEMAIL"),   QStringLiteral("TBLTELEFON"),
                                    QStringLiteral("TBLTERMINE"), QStringLiteral("TBLTODO"),
                                    QStringLiteral("TBLALLGEMEIN")};
    return tables;
}

QString TBackupRestore::DatabaseFile() const {
    return dm_.DatabaseFile.isEmpty() ? dm_.ProgramFolder + QStringLiteral("tresoro.gdb") : dm_.DatabaseFile;
}
QString TBackupRestore::BackupFile() const {
    return BackupFileName.isEmpty() ? dm_.ProgramFolder + QStringLiteral("tresorobackup.gbk") : BackupFileName;
}
QString TBackupRestore::NewBackupFile() const { return BackupFile() + QStringLiteral(".neu"); }
QString TBackupRestore::NewDatabaseFile() const { return DatabaseFile() + QStringLiteral(".neu"); }

bool TBackupRestore::Backuperzeugen1Click() { return Run(TServiceAction::Backup, true, true); }
bool TBackupRestore::RestoredesBackups1Click() { return Run(TServiceAction::Restore, true, true); }
bool TBackupRestore::BackupFromMasterWindow() { return Run(TServiceAction::Backup, false, false); }

void TBackupRestore::ProcessPending() const {
    if (ProcessEvents) ProcessEvents();
}

void TBackupRestore::Image(int image) const {
    if (SetConnectionImage) SetConnectionImage(image);
}

TFbServiceManager &TBackupRestore::Manager(std::unique_ptr<TFbServiceManager> &slot) {
    if (!slot) {
        const TIBDatabase &db = dm_.IBDatabase;
        slot = std::make_unique<TFbServiceManager>(FbClient::Load(db.ClientLibrary), db.UserName, db.Password);
    }
    return *slot;
}

bool TBackupRestore::Run(TServiceAction action, bool ask, bool closeMasterWindow) {
    if (running_) return false;  // one run at a time; the second command is refused
    const TRunTexts &t = Texts(action);
    if (ask && !TDialogs::Current().Confirm(U(t.question))) return false;

    running_ = true;
    if (RunningChanged) RunningChanged(true);
    if (closeMasterWindow && CloseMasterWindow) CloseMasterWindow();
    shell_.StatusMessage(U(t.startStatus));
    ProcessPending();

    std::optional<QString> failure;
    {
        TWaitCursor wait;
        try {
            // Connection closed: the engine must see the file alone.
            dm_.CloseDatabase();
            Image(13);
            Service(action);
            shell_.LogLine(U(t.lastLine));
            TDialogs::Current().MessageBox(U(t.doneBox), QStringLiteral("Information"), TMsgIcon::None, mbOK);
            shell_.StatusMessage(U(t.endStatus));
            Image(0);
        } catch (const std::exception &e) {
            failure = QString::fromUtf8(e.what());
            shell_.LogLine(*failure);
            shell_.StatusMessage(U(t.failedStatus));
        }
        ProcessPending();
    }
    running_ = false;
    if (RunningChanged) RunningChanged(false);
    if (Reload) Reload();
    if (failure) TDialogs::Current().ShowError(*failure);
    return !failure;
}

void TBackupRestore::ReadOutput(TFbServiceManager &service) {
    QString line;
    bool more = true;
    while (more) {
        more = service.NextLine(line);
        // The fetch that finds the end yields an empty line, logged as well.
        shell_.LogLine(line);
        ProcessPending();
    }
}

void TBackupRestore::Service(TServiceAction action) {
    const TRunTexts &t = Texts(action);
    if (action == TServiceAction::Backup) {
        const QString target = NewBackupFile();
        RemoveStale(target);
        try {
            TFbServiceManager &service = Manager(backupService_);
            service.Attach();
            service.StartBackup(DatabaseFile(), target, true);
            shell_.LogLine(U(t.firstLine));
            ReadOutput(service);
            if (!QFileInfo(target).isFile() || QFileInfo(target).size() == 0)
                throw EDatabaseError(QStringLiteral("Die Datenbanksicherung hat keine Backup-Datei erzeugt"));
            ReplaceFile(target, BackupFile());
        } catch (...) {
            QFile::remove(target);
            throw;
        }
        return;
    }

    const QString target = NewDatabaseFile();
    CheckBackupFile(BackupFile());
    RemoveStale(target);
    try {
        TFbServiceManager &service = Manager(restoreService_);
        service.Attach();
        service.StartRestore(BackupFile(), target, kRestorePageSize, false, true);
        shell_.LogLine(U(t.firstLine));
        ReadOutput(service);
        CheckRestoredDatabase(target);
        ReplaceFile(target, DatabaseFile());
    } catch (...) {
        QFile::remove(target);
        throw;
    }
}

void TBackupRestore::CheckBackupFile(const QString &file) {
    QFile f(file);
    if (!f.exists()) throw EDatabaseError(QStringLiteral("Die Backup-Datei %1 ist nicht vorhanden").arg(file));
    if (!f.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("Die Backup-Datei %1 kann nicht gelesen werden").arg(file));
    // A backup opens with its description record: record type 0, then the
    // format attribute (2) with a four-byte little-endian version number.
    const QByteArray head = f.read(7);
    const bool looksRight = head.size() == 7 && head[0] == 0 && head[1] == 2 && head[2] == 4 &&
                            quint8(head[3]) >= 1 && quint8(head[3]) <= 64 && head[4] == 0 && head[5] == 0 &&
                            head[6] == 0;
    if (!looksRight)
        throw EDatabaseError(QStringLiteral("Die Datei %1 ist keine Datenbanksicherung").arg(file));
}

void TBackupRestore::CheckRestoredDatabase(const QString &file) {
    TIBDatabase db;
    db.DatabaseName = file;
    db.UserName = dm_.IBDatabase.UserName;
    db.Password = dm_.IBDatabase.Password;
    db.ClientLibrary = dm_.IBDatabase.ClientLibrary;
    TIBTransaction tr(db);
    db.Open();
    int online = -1, tables = 0;
    {
        // A restore that stopped early leaves its database in maintenance mode.
        TSqlStatement mode(tr, QStringLiteral("SELECT MON$SHUTDOWN_MODE FROM MON$DATABASE"));
        const auto rows = mode.Fetch();
        if (!rows.isEmpty()) online = rows.first().value(0).toInt();
        TSqlStatement count(tr, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE TRIM(RDB$RELATION_NAME) IN "
                                               "('") + Tables().join(QStringLiteral("', '")) +
                                    QStringLiteral("')"));
        const auto counted = count.Fetch();
        if (!counted.isEmpty()) tables = counted.first().value(0).toInt();
    }
    tr.Commit();
    db.Close();
    if (online != 0)
        throw EDatabaseError(QStringLiteral("Die Wiederherstellung wurde nicht abgeschlossen; die Datenbank bleibt "
                                            "unverändert"));
    if (tables != Tables().size())
        throw EDatabaseError(QStringLiteral("Die Sicherung enthält nicht die Tabellen von Tresoro; die Datenbank "
                                            "bleibt unverändert"));
}
