#include "app/core/Cli.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <functional>
#include <optional>
#include <stdexcept>

#include "platform/core/Cp1252.h"
#include "platform/core/Dialogs.h"
#include "platform/core/GermanFormat.h"
#include "platform/core/SingleInstance.h"
#include "planning/core/PlanningRules.h"
#include "platform/core/Terminal.h"
#include "records/core/DetailKinds.h"
#include "records/core/ProjectRules.h"
#include "records/core/SaveCommand.h"
#include "screenshots/core/Bmp.h"
#include "screenshots/core/JpegCodec.h"
#include "screenshots/core/Screenshots.h"
#include "services/core/HotLog.h"
#include "services/core/backup/BackupRestore.h"
#include "store/core/DataModule.h"
#include "store/core/DateEntry.h"
#include "store/core/FieldText.h"
#include "store/core/Shell.h"
#include "vault/core/AccessDataRules.h"
#include "vault/core/LbSHA1.h"
#include "vault/core/MasterPassword.h"
#include "vault/core/PasswordCipher.h"
#include "vault/core/Secrets.h"

namespace {
using namespace screenshots;

using terminal::Err;
using terminal::Out;

constexpr int kDone = 0, kRefused = 1, kUsage = 2;

// A refusal the user can act on: its text goes to standard error.
struct ERefused : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct EUsage : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Refuse(const QString &text) { throw ERefused(text.toStdString()); }
[[noreturn]] void Usage(const QString &text) { throw EUsage(text.toStdString()); }

const char *const kHelp =
    "Aufruf: tresoro-cli [--database DATEI] BEFEHL ...\n"
    "\n"
    "  projects                               alle Projekte: ID, Tabulator, Name\n"
    "  show PROJEKT                           Zugangsdaten, E-Mail, Telefon, ToDos und Termine\n"
    "  reveal PROJEKT USERID                  gibt das Kennwort im Klartext aus\n"
    "  add-project NAME                       legt ein Projekt an\n"
    "  add-access PROJEKT USERID [--remark TEXT]\n"
    "                                         legt Zugangsdaten an (fragt Masterkennwort und Kennwort)\n"
    "  add-todo PROJEKT TEXT [--due DATUM] [--progress 0|25|50|75|100]\n"
    "                                         legt einen ToDo-Eintrag an\n"
    "  add-appointment PROJEKT DATUM TEXT     legt einen Termin an (DATUM als TT.MM.JJJJ)\n"
    "  set-master                             legt das Masterkennwort an oder ändert es\n"
    "  screenshot get PROJEKT USERID DATEI    schreibt das gespeicherte Bild (JPEG)\n"
    "  screenshot set PROJEKT USERID DATEI [--quality N]\n"
    "                                         speichert ein JPEG-Bild unverändert oder eine\n"
    "                                         Bitmap als JPEG (Qualität 10 bis 90, Vorgabe 70)\n"
    "  backup [DATEI] / restore [DATEI]       sichert die Datenbank / stellt sie wieder her\n"
    "                                         (Vorgabe: tresorobackup.gbk im Programmordner)\n"
    "  export PROJEKT|--all --format csv|keepass-xml [--output DATEI]\n"
    "                                         ACHTUNG: schreibt die Kennwörter im Klartext\n"
    "                                         (Datei mit Rechten 0600)\n"
    "\n"
    "PROJEKT ist der Name oder #ID. Ohne Terminal liest tresoro-cli Kennwörter zeilenweise\n"
    "von der Standardeingabe. Exit-Status: 0 erledigt, 1 abgelehnt, 2 falscher Aufruf\n"
    "oder keine Datenbank.\n";

// Text from the terminal, refused when Windows-1252 cannot hold it.
QString Checked(const QString &text, const QString &what) {
    const qsizetype bad = cp1252::FirstUnencodable(text);
    if (bad >= 0) Refuse(what + QStringLiteral(": ") + cp1252::UnencodableMessage(text.at(bad)));
    return text;
}

QString ReadInput(const QString &prompt, bool secret) {
    std::optional<QString> line = terminal::ReadLine(prompt, secret);
    if (!line) Refuse(QStringLiteral("Keine Eingabe für \"%1\"").arg(prompt.trimmed()));
    return Checked(*line, prompt.trimmed());
}

class TCliShell : public TShell {
public:
    explicit TCliShell(THotLog &log) : log_(log) {}
    void StatusMessage(const QString &text) override { status_ = text; }
    QString CurrentStatusMessage() const override { return status_; }
    void LogLine(const QString &message) override { ::LogLine(log_, message); }
    void SetSaveEnabled(bool) override {}
    bool SaveEnabled() const override { return false; }
    void ShowError(const std::exception &e) override { errors << TDialogs::ErrorText(QString::fromStdString(e.what())); }
    void EndProgram() override {}
    QStringList errors;

private:
    THotLog &log_;
    QString status_;
};

// Everything a command works with, opened once.
struct TSession {
    TSession(const QString &programFile, const QString &database, const QStringList &args)
        : log(programFile, args), shell(log), dm(programFile), master(dm, shell, vault, &log),
          access(dm, shell, vault) {
        THLFileDef &def = log.FileDef();
        def.SetAppendMode(true);
        def.SizeLimitOn = true;
        def.MaxSize = 1048576;
        log.StartWriters();
        log.HeaderTemplate = THotLog::StandardHeaderTemplate();
        log.FooterTemplate = THotLog::StandardFooterTemplate();
        log.WriteTemplate(log.HeaderTemplate);
        dm.Log = &log;
        dm.DatabaseFile = database;
        dm.IBDataSetProjekt->AfterPost = [this] { projects::AfterPost(dm, shell); };
    }
    ~TSession() {
        dm.IBDataSetProjekt->AfterPost = nullptr;
        try {
            dm.CloseDatabase();
        } catch (...) {
        }
        log.WriteTemplate(log.FooterTemplate);
    }

    void Open() {
        if (!dm.DatabaseFile.isEmpty() && !QFileInfo::exists(dm.DatabaseFile))
            Usage(QStringLiteral("Datenbank nicht gefunden: ") + dm.DatabaseFile);
        try {
            dm.OpenDatabase();
        } catch (const std::exception &e) {
            Usage(QStringLiteral("Datenbank kann nicht geöffnet werden: ") + QString::fromStdString(e.what()));
        }
        projects::CountProjekte(dm);
    }

    // "#ID" or a name; exactly one project, made current.
    qint64 Project(const QString &wanted) {
        TIBDataSet *p = dm.IBDataSetProjekt;
        const int id = p->FieldIndex(QStringLiteral("ID")), name = p->FieldIndex(QStringLiteral("PROJEKTNAME"));
        QList<qint64> found;
        for (int row = 0; row < p->RecordCount(); ++row) {
            const qint64 rowId = p->RowValue(row, id).toLongLong();
            if (wanted.startsWith(QLatin1Char('#')) ? wanted.mid(1) == QString::number(rowId)
                                                  : p->RowValue(row, name).toString() == wanted)
                found << rowId;
        }
        if (found.isEmpty()) Refuse(QStringLiteral("Kein Projekt \"%1\" gefunden").arg(wanted));
        if (found.size() > 1) {
            QStringList ids;
            for (qint64 i : found) ids << QLatin1Char('#') + QString::number(i);
            Refuse(QStringLiteral("Mehrere Projekte heißen \"%1\": %2").arg(wanted, ids.join(QStringLiteral(", "))));
        }
        projects::Select(dm, found.first());
        return found.first();
    }

    // Makes the access record with this user ID current.
    void Access(const QString &userId) {
        TIBDataSet *ds = dm.IBDataSetZugangsdaten;
        const int f = ds->FieldIndex(QStringLiteral("USERID"));
        for (int row = 0; row < ds->RecordCount(); ++row)
            if (ds->RowValue(row, f).toString() == userId) {
                ds->MoveTo(row);
                return;
            }
        Refuse(QStringLiteral("Keine Zugangsdaten zu UserID \"%1\" gefunden").arg(userId));
    }

    // Asks for the master password; a wrong one is refused.
    void RequireMaster() {
        if (vault::StoredMasterDigest(dm).isEmpty()) Refuse(QStringLiteral("Es ist noch kein Masterkennwort angelegt"));
        QString entry = ReadInput(QStringLiteral("Masterkennwort: "), true);
        secure::TWipeOnExit wipe(entry);
        if (entry.size() > vault::kMasterPasswordMaxLength || !access.CheckMaster(sha, entry))
            Refuse(QStringLiteral("falsches Masterkennwort!"));
    }

    void Save() {
        if (!SaveAll(dm, shell, {})) Refuse(shell.errors.join(QLatin1Char('\n')));
    }

    THotLog log;
    TCliShell shell;
    TDataModule1 dm;
    TVaultState vault;
    TLbSHA1 sha;
    TMasterPassword master;
    TAccessDataRules access;
};

QString Field(TIBDataSet *ds, int row, const char *name) {
    const int f = ds->FieldIndex(QString::fromLatin1(name));
    return f < 0 ? QString() : DisplayText(ds->RowValue(row, f));
}

// Options after the positional arguments: "--name value".
QString TakeOption(QStringList &args, const QString &name) {
    const qsizetype i = args.indexOf(name);
    if (i < 0) return QString();
    if (i + 1 >= args.size()) Usage(name + QStringLiteral(" braucht einen Wert"));
    const QString value = args.at(i + 1);
    args.remove(i, 2);
    return value;
}

void Need(const QStringList &args, qsizetype count, const char *usage) {
    if (args.size() != count) Usage(QStringLiteral("Aufruf: tresoro-cli ") + QString::fromUtf8(usage));
}

void WritePrivateFile(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        Refuse(QStringLiteral("Datei kann nicht geschrieben werden: %1 (%2)").arg(path, file.errorString()));
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(bytes);
    if (!file.commit()) Refuse(QStringLiteral("Datei kann nicht geschrieben werden: %1 (%2)").arg(path, file.errorString()));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString CsvField(const QString &text) {
    QString s = text;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString XmlText(const QString &text) { return text.toHtmlEscaped(); }

// --- commands ----------------------------------------------------------------------

int Projects(TSession &s) {
    TIBDataSet *p = s.dm.IBDataSetProjekt;
    for (int row = 0; row < p->RecordCount(); ++row) Out(Field(p, row, "ID") + QLatin1Char('\t') + Field(p, row, "PROJEKTNAME") + QLatin1Char('\n'));
    return kDone;
}

int Show(TSession &s, const QString &wanted) {
    const qint64 id = s.Project(wanted);
    TDataModule1 &dm = s.dm;
    Out(QStringLiteral("Projekt #%1: %2\n").arg(id).arg(dm.IBDataSetProjekt->FieldByName(QStringLiteral("PROJEKTNAME")).AsString()));
    auto section = [](const QString &title, TIBDataSet *ds, const std::function<QString(int)> &line) {
        Out(QStringLiteral("\n%1 (%2)\n").arg(title).arg(ds->RecordCount()));
        for (int row = 0; row < ds->RecordCount(); ++row) Out(QStringLiteral("  ") + line(row) + QLatin1Char('\n'));
    };
    TIBDataSet *a = dm.IBDataSetZugangsdaten;
    section(QStringLiteral("Zugangsdaten"), a, [a](int row) {
        const QString remark = Field(a, row, "BESCHREIBUNG");
        const int shot = a->FieldIndex(QStringLiteral("SCREENSHOT"));
        return QStringLiteral("%1\tKennwort: %2\tBild: %3\t%4")
            .arg(Field(a, row, "USERID"), Field(a, row, "KENNWORT").isEmpty() ? QStringLiteral("nein") : QStringLiteral("ja"),
                 a->RowValue(row, shot).isNull() ? QStringLiteral("nein") : QStringLiteral("ja"),
                 remark.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r')));
    });
    TIBDataSet *e = dm.IBDataSetEmail;
    section(QStringLiteral("E-Mail"), e, [e](int row) { return Field(e, row, "EMAILADRESSE"); });
    TIBDataSet *t = dm.IBDataSetTelefon;
    section(QStringLiteral("Telefon"), t, [t](int row) { return Field(t, row, "NAME") + QLatin1Char('\t') + Field(t, row, "TELEFONNUMMER"); });
    TIBDataSet *d = dm.IBDataSetToDo;
    section(QStringLiteral("ToDos"), d, [d](int row) {
        return QStringLiteral("%1\tFortschritt: %2 %\terledigt: %3\tfällig: %4")
            .arg(Field(d, row, "BESCHREIBUNG"), Field(d, row, "FORTSCHRITT").isEmpty() ? QStringLiteral("0") : Field(d, row, "FORTSCHRITT"),
                 Field(d, row, "ERLEDIGT") == QLatin1String("1") ? QStringLiteral("ja") : QStringLiteral("nein"),
                 Field(d, row, "BISTERMIN"));
    });
    TIBDataSet *m = dm.IBDataSetTermine;
    section(QStringLiteral("Termine"), m, [m](int row) { return Field(m, row, "TERMINDATUM") + QLatin1Char('\t') + Field(m, row, "BESCHREIBUNG"); });
    return kDone;
}

int Reveal(TSession &s, const QString &wanted, const QString &userId) {
    s.Project(wanted);
    s.Access(Checked(userId, QStringLiteral("UserID")));
    if (s.access.StoredForm().isEmpty()) Refuse(QStringLiteral("Für diesen Eintrag ist noch kein Kennwort gespeichert."));
    s.RequireMaster();
    QString clear = vault::DecipherPassword(s.vault.LbBlowfish, vault::StoredMasterDigest(s.dm), s.access.StoredForm());
    secure::TWipeOnExit wipe(clear);
    Out(clear + QLatin1Char('\n'));
    return kDone;
}

int AddProject(TSession &s, const QString &name) {
    if (vault::StoredMasterDigest(s.dm).isEmpty())
        Refuse(QStringLiteral("Projekte können erst angelegt werden, wenn ein Masterkennwort existiert"));
    const QString checked = Checked(name, QStringLiteral("Projektname"));
    if (checked.trimmed().isEmpty()) Usage(QStringLiteral("Der Projektname ist leer"));
    if (checked.size() > 100) Refuse(QStringLiteral("Der Projektname hat höchstens 100 Zeichen"));
    s.dm.IBDataSetProjekt->Append();
    s.dm.IBDataSetProjekt->FieldByName(QStringLiteral("PROJEKTNAME")).SetValue(checked);
    s.Save();
    Out(s.dm.IBDataSetProjekt->FieldByName(QStringLiteral("ID")).AsString() + QLatin1Char('\n'));
    return kDone;
}

int AddAccess(TSession &s, QStringList args) {
    const QString remark = Checked(TakeOption(args, QStringLiteral("--remark")), QStringLiteral("Bemerkung"));
    Need(args, 3, "add-access PROJEKT USERID [--remark TEXT]");
    const QString userId = Checked(args.at(2), QStringLiteral("UserID"));
    if (userId.size() > 40) Refuse(QStringLiteral("Die UserID hat höchstens 40 Zeichen"));
    s.Project(args.at(1));
    s.RequireMaster();
    QString password = ReadInput(QStringLiteral("Kennwort: "), true);
    secure::TWipeOnExit wipe(password);
    if (password.size() > 40) Refuse(QStringLiteral("Das Kennwort hat höchstens 40 Zeichen"));
    s.access.UserIdText = [userId] { return userId; };
    s.access.PasswordText = [&password] { return password; };
    s.access.RemarkText = [remark] { return MemoToStored(remark); };
    s.access.Add();
    // An empty line stores no password, as an untouched password box does.
    s.access.PasswordBoxLeft(password);
    s.Save();
    return kDone;
}

int SetMaster(TSession &s) {
    const QString stored = vault::StoredMasterDigest(s.dm);
    if (!stored.isEmpty()) {
        QString old = ReadInput(QStringLiteral("Altes Kennwort: "), true);
        secure::TWipeOnExit wipe(old);
        const QString digest = vault::DigestOfTyped(s.sha, old);
        if (old.size() > vault::kMasterPasswordMaxLength || digest != stored)
            Refuse(QStringLiteral("falsches Masterkennwort, nur Anzeige möglich!"));
        s.vault.NeuverschluesselungAktiv = true;
        s.vault.AlterMasterDigest = digest;
    }
    QString first = ReadInput(QStringLiteral("Neues Kennwort: "), true);
    QString second = ReadInput(QStringLiteral("Kennwort wiederholen: "), true);
    secure::TWipeOnExit wipeFirst(first), wipeSecond(second);
    const QString hint = ReadInput(QStringLiteral("Hinweistext: "), false);
    if (first.size() > vault::kMasterPasswordMaxLength || second.size() > vault::kMasterPasswordMaxLength)
        Refuse(QStringLiteral("Das Masterkennwort hat höchstens %1 Zeichen").arg(vault::kMasterPasswordMaxLength));
    s.master.StartEditingRow();
    s.dm.IBDataSetAllgemein->FieldByName(QStringLiteral("PASSPHRASE")).SetValue(MemoToStored(hint));
    const TMasterSaveResult result = s.master.SaveNew(s.sha, first, second);
    s.vault.NeuverschluesselungAktiv = false;
    if (!result.Refusals.isEmpty()) {
        s.dm.IBDataSetAllgemein->Cancel();
        Refuse(result.Refusals.join(QLatin1Char('\n')));
    }
    if (!result.Saved) Refuse(result.FailureMessage + QLatin1Char('\n') + TDialogs::ErrorText(result.ErrorText));
    return kDone;
}

int Screenshot(TSession &s, QStringList args) {
    const QString quality_ = TakeOption(args, QStringLiteral("--quality"));
    Need(args, 5, "screenshot get|set PROJEKT USERID DATEI");
    s.Project(args.at(2));
    s.Access(Checked(args.at(3), QStringLiteral("UserID")));
    TIBDataSet *ds = s.dm.IBDataSetZugangsdaten;
    const QString path = args.at(4);
    if (args.at(1) == QLatin1String("get")) {
        const QByteArray bytes = ds->FieldByName(QStringLiteral("SCREENSHOT")).AsBytes();
        if (bytes.isEmpty()) Refuse(QStringLiteral("Zu diesen Zugangsdaten ist kein Bild gespeichert"));
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            Refuse(QStringLiteral("Datei kann nicht geschrieben werden: ") + path);
        return kDone;
    }
    if (args.at(1) != QLatin1String("set")) Usage(QStringLiteral("Aufruf: tresoro-cli screenshot get|set PROJEKT USERID DATEI"));
    bool ok = true;
    const int quality = quality_.isEmpty() ? 70 : quality_.toInt(&ok);
    if (!ok || quality < 10 || quality > 90) Usage(QStringLiteral("--quality ist eine Zahl von 10 bis 90"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) Refuse(QStringLiteral("Datei kann nicht gelesen werden: ") + path);
    const bool bitmap = file.peek(2) == "BM";
    file.close();
    ds->Edit();
    TScreenshotColumn column(ds);
    TPictureSink sink;
    sink.LogLine = [&s](const QString &line) { s.shell.LogLine(line); };
    sink.Display.FitWidth = sink.Display.FitHeight = 1;  // nothing is shown; the smallest scale checks it decodes
    try {
        if (bitmap)
            StoreBitmapAsJpeg(DecodeBmp(ReadWholeFile(path)), quality, s.dm.ProgramFolder, column, sink);
        else
            ImportJpegFile(path, column, sink);
    } catch (const std::exception &e) {
        ds->Cancel();
        Refuse(QStringLiteral("Das Bild wurde nicht gespeichert: ") + TDialogs::ErrorText(QString::fromStdString(e.what())));
    }
    s.Save();
    return kDone;
}

int AddToDo(TSession &s, QStringList args) {
    const QString due = TakeOption(args, QStringLiteral("--due"));
    const QString progressText = TakeOption(args, QStringLiteral("--progress"));
    Need(args, 3, "add-todo PROJEKT TEXT [--due DATUM] [--progress N]");
    const QString text = Checked(args.at(2), QStringLiteral("Beschreibung"));
    if (text.size() > 80) Refuse(QStringLiteral("Die Beschreibung hat höchstens 80 Zeichen"));
    bool ok = true;
    const int progress = progressText.isEmpty() ? 0 : progressText.toInt(&ok);
    if (!ok || planning::SnapProgress(progress) != progress || progress < 0 || progress > 100)
        Usage(QStringLiteral("--progress ist 0, 25, 50, 75 oder 100"));
    if (ParseDateEntry(due).kind == TDateEntry::Kind::Invalid) Refuse(NotADateMessage(due));
    const QVariant project = QVariant::fromValue(s.Project(args.at(1)));
    TIBDataSet *ds = s.dm.IBDataSetToDo;
    ds->BeforePost = [&] { planning::WriteToDo(*ds, project, {due, progress, planning::DoneForProgress(progress)}); };
    ds->AfterPost = [&s] { projects::DetailAfterPost(s.dm, s.shell, QStringLiteral("ToDodaten")); };
    ds->Append();
    ds->FieldByName(QStringLiteral("BESCHREIBUNG")).SetValue(text);
    s.Save();
    ds->BeforePost = nullptr;
    ds->AfterPost = nullptr;
    return kDone;
}

int AddAppointment(TSession &s, const QStringList &args) {
    Need(args, 4, "add-appointment PROJEKT DATUM TEXT");
    const QString date = args.at(2);
    const QString text = Checked(args.at(3), QStringLiteral("Beschreibung"));
    if (text.size() > 80) Refuse(QStringLiteral("Die Beschreibung hat höchstens 80 Zeichen"));
    const TDateEntry entry = ParseDateEntry(date);
    if (entry.kind != TDateEntry::Kind::Date) Refuse(NotADateMessage(date));
    const QVariant project = QVariant::fromValue(s.Project(args.at(1)));
    TIBDataSet *ds = s.dm.IBDataSetTermine;
    ds->BeforePost = [&] { planning::WriteAppointment(*ds, project, date); };
    ds->AfterPost = [&s] { projects::DetailAfterPost(s.dm, s.shell, QStringLiteral("Termindaten")); };
    ds->Append();
    ds->FieldByName(QStringLiteral("BESCHREIBUNG")).SetValue(text);
    s.Save();
    ds->BeforePost = nullptr;
    ds->AfterPost = nullptr;
    return kDone;
}

int Export(TSession &s, QStringList args) {
    const QString format = TakeOption(args, QStringLiteral("--format"));
    const QString output = TakeOption(args, QStringLiteral("--output"));
    Need(args, 2, "export PROJEKT|--all --format csv|keepass-xml [--output DATEI]");
    if (format != QLatin1String("csv") && format != QLatin1String("keepass-xml"))
        Usage(QStringLiteral("--format ist csv oder keepass-xml"));
    QList<qint64> ids;
    if (args.at(1) == QLatin1String("--all")) {
        TIBDataSet *p = s.dm.IBDataSetProjekt;
        for (int row = 0; row < p->RecordCount(); ++row) ids << p->RowValue(row, p->FieldIndex(QStringLiteral("ID"))).toLongLong();
    } else {
        ids << s.Project(args.at(1));
    }
    s.RequireMaster();
    const QString digest = vault::StoredMasterDigest(s.dm);
    QString text;
    const bool csv = format == QLatin1String("csv");
    if (csv) {
        text = QStringLiteral("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\r\n");
    } else {
        text = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n<KeePassFile>\n"
                              "\t<Meta><Generator>tresoro-cli</Generator></Meta>\n\t<Root>\n\t\t<Group>\n\t\t\t<Name>Tresoro</Name>\n");
    }
    for (qint64 id : ids) {
        projects::Select(s.dm, id);
        const QString project = s.dm.IBDataSetProjekt->FieldByName(QStringLiteral("PROJEKTNAME")).AsString();
        TIBDataSet *a = s.dm.IBDataSetZugangsdaten;
        if (!csv) text += QStringLiteral("\t\t\t<Group>\n\t\t\t\t<Name>%1</Name>\n").arg(XmlText(project));
        for (int row = 0; row < a->RecordCount(); ++row) {
            const QString user = Field(a, row, "USERID");
            const QString stored = Field(a, row, "KENNWORT");
            const QString notes = Field(a, row, "BESCHREIBUNG");
            QString clear = stored.isEmpty() ? QString() : vault::DecipherPassword(s.vault.LbBlowfish, digest, stored);
            secure::TWipeOnExit wipe(clear);
            if (csv) {
                text += QStringList{CsvField(project), CsvField(user), CsvField(user), CsvField(clear), CsvField(QString()),
                                    CsvField(notes)}
                            .join(QLatin1Char(',')) +
                        QStringLiteral("\r\n");
            } else {
                auto str = [](const char *key, const QString &value, bool protect = false) {
                    return QStringLiteral("\t\t\t\t\t<String><Key>%1</Key><Value%2>%3</Value></String>\n")
                        .arg(QString::fromLatin1(key), protect ? QStringLiteral(" ProtectInMemory=\"True\"") : QString(),
                             XmlText(value));
                };
                text += QStringLiteral("\t\t\t\t<Entry>\n") + str("Title", user) + str("UserName", user) +
                        str("Password", clear, true) + str("URL", QString()) + str("Notes", QString(notes).remove(QLatin1Char('\r'))) +
                        QStringLiteral("\t\t\t\t</Entry>\n");
            }
        }
        if (!csv) text += QStringLiteral("\t\t\t</Group>\n");
    }
    if (!csv) text += QStringLiteral("\t\t</Group>\n\t</Root>\n</KeePassFile>\n");
    QByteArray bytes = text.toUtf8();
    secure::TWipeOnExit wipeText(text), wipeBytes(bytes);
    if (output.isEmpty())
        Out(text);
    else
        WritePrivateFile(output, bytes);
    s.shell.LogLine(QStringLiteral("Zugangsdaten von %1 Projekt(en) wurden exportiert (%2)").arg(ids.size()).arg(format));
    return kDone;
}

// The same service run as the window's menu commands; the command line is
// the user's answer to their question.
int BackupOrRestore(TSession &s, const QStringList &args, bool backup) {
    if (args.size() > 2) Usage(QStringLiteral("Aufruf: tresoro-cli backup|restore [DATEI]"));
    // The run's question is answered Yes, its success box needs no answer
    // (the exit status says it), its error boxes become the refusal's text.
    class TRunDialogs : public TDialogs {
    public:
        explicit TRunDialogs(QStringList &errors) : errors_(errors) {}
        int MessageBox(const QString &text, const QString &, TMsgIcon icon, int buttons) override {
            if (buttons & mbYes) return mbYes;
            if (icon == TMsgIcon::Error) errors_ << text;
            return mbOK;
        }
        bool InputQuery(const QString &, const QString &, QString &, bool, int) override { return false; }
        QString OpenFileName(const QString &, const QString &, const QString &, bool) override { return {}; }
        QString SaveFileName(const QString &, const QString &, const QString &, const QString &) override { return {}; }
        int ShowModal(QDialog *) override { return 0; }
        void Beep() override {}

    private:
        QStringList &errors_;
    };
    TBackupRestore run(s.dm, s.shell);
    if (args.size() == 2) run.BackupFileName = QFileInfo(args.at(1)).absoluteFilePath();
    run.Reload = [&s] { s.dm.OpenDatabase(); };
    TDialogs::Install(std::make_unique<TRunDialogs>(s.shell.errors));
    const bool ok = backup ? run.Backuperzeugen1Click() : run.RestoredesBackups1Click();
    TDialogs::Install(nullptr);
    if (!ok) {
        QStringList why = s.shell.errors;
        s.shell.errors.clear();
        Refuse(why.isEmpty() ? QStringLiteral("%1 fehlgeschlagen").arg(backup ? QStringLiteral("Backup") : QStringLiteral("Restore"))
                             : why.join(QLatin1Char('\n')));
    }
    return kDone;
}

int Dispatch(TSession &s, QStringList args) {
    const QString command = args.value(0);
    if (command == QLatin1String("projects")) {
        Need(args, 1, "projects");
        return Projects(s);
    }
    if (command == QLatin1String("show")) {
        Need(args, 2, "show PROJEKT");
        return Show(s, args.at(1));
    }
    if (command == QLatin1String("reveal")) {
        Need(args, 3, "reveal PROJEKT USERID");
        return Reveal(s, args.at(1), args.at(2));
    }
    if (command == QLatin1String("add-project")) {
        Need(args, 2, "add-project NAME");
        return AddProject(s, args.at(1));
    }
    if (command == QLatin1String("add-access")) return AddAccess(s, args);
    if (command == QLatin1String("set-master")) {
        Need(args, 1, "set-master");
        return SetMaster(s);
    }
    if (command == QLatin1String("screenshot")) return Screenshot(s, args);
    if (command == QLatin1String("add-todo")) return AddToDo(s, args);
    if (command == QLatin1String("backup")) return BackupOrRestore(s, args, true);
    if (command == QLatin1String("restore")) return BackupOrRestore(s, args, false);
    if (command == QLatin1String("add-appointment")) return AddAppointment(s, args);
    if (command == QLatin1String("export")) return Export(s, args);
    Usage(QStringLiteral("Unbekannter Befehl \"%1\"; tresoro-cli --help zeigt alle").arg(command));
}

}  // namespace

int RunCli(const QString &programFile, const QStringList &argsIn) {
    QStringList args = argsIn;
    if (args.isEmpty() || args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        if (args.isEmpty()) {
            Err(QString::fromUtf8(kHelp));
            return kUsage;
        }
        Out(QString::fromUtf8(kHelp));
        return kDone;
    }
    try {
        const QString database = TakeOption(args, QStringLiteral("--database"));
        // One program at a time on the database: the window holds the same lock.
        TSingleInstance lock(QStringLiteral("Tresoro"));
        if (!lock.TryAcquire())
            Usage(QStringLiteral("Tresoro läuft bereits; bitte zuerst das Programm beenden, dann tresoro-cli aufrufen."));
        TSession session(programFile, database.isEmpty() ? QString() : QFileInfo(database).absoluteFilePath(), argsIn);
        session.Open();
        const int rc = Dispatch(session, args);
        for (const QString &e : session.shell.errors) Err(e + QLatin1Char('\n'));
        return rc;
    } catch (const EUsage &e) {
        Err(QString::fromStdString(e.what()) + QLatin1Char('\n'));
        return kUsage;
    } catch (const ERefused &e) {
        Err(QString::fromStdString(e.what()) + QLatin1Char('\n'));
        return kRefused;
    } catch (const std::exception &e) {
        Err(TDialogs::ErrorText(QString::fromStdString(e.what())) + QLatin1Char('\n'));
        return kRefused;
    }
}
