#include "services/core/update/WebUpdate.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QProcess>
#include <QTemporaryFile>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <cstring>

#include <cerrno>
#include <cstdio>
#include <spawn.h>
#include <vector>

#include "platform/core/Cp1252.h"
#include "services/core/update/ControlFile.h"
#include "services/core/update/Szdd.h"
#include "services/core/update/UpdatePrompts.h"
#include "services/core/update/UpdateRules.h"

extern char **environ;

// The compressed updater, placed into the library by UpdResource.cpp.
extern "C" const char tresoro_upd_begin[];
extern "C" const char tresoro_upd_end[];

namespace {

const QString kUpdate = QStringLiteral("update");
const QString kApplication = QStringLiteral("application");
const QString kAction = QStringLiteral("action");

// A hostile control file must not make us loop for ever over file entries.
constexpr qint64 MaxFileEntries = 1000;
constexpr qint64 MaxTextBytes = 1024 * 1024;

bool SystemReportsOnline() {
    if (!QNetworkInformation::instance()) QNetworkInformation::loadDefaultBackend();
    const QNetworkInformation *info = QNetworkInformation::instance();
    if (!info || !info->supports(QNetworkInformation::Feature::Reachability)) return true;
    return info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

QStringList SplitNames(const QString &list) {
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    return list.split(separators, Qt::SkipEmptyParts);
}

QString WithSeparator(QString folder) {
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

}  // namespace

struct TWebUpdate::TFileEntry {
    QString Section;
    QUrl Url;
    QString Target;
    QString Name;
    bool Compressed = false;
    qint64 NewSize = 0;
    qint64 NewChecksum = -1;
    qint64 FileSize = 0;
};

TWebUpdate::TWebUpdate(QObject *parent)
    : QObject(parent),
      ProgramFolder(WithSeparator(QCoreApplication::applicationDirPath())),
      TempFolder(WithSeparator(QDir::tempPath())),
      ProcessId(QCoreApplication::applicationPid()),
      IsOnline(SystemReportsOnline),
      UpdaterImage(BuiltInUpdater),
      prompts_(std::make_shared<TUpdatePrompts>()) {}

TWebUpdate::~TWebUpdate() = default;

void TWebUpdate::SetPrompts(std::shared_ptr<TUpdatePrompts> prompts) {
    prompts_ = prompts ? std::move(prompts) : std::make_shared<TUpdatePrompts>();
}

QByteArray TWebUpdate::BuiltInUpdater() {
    return QByteArray::fromRawData(tresoro_upd_begin, qsizetype(tresoro_upd_end - tresoro_upd_begin));
}

QString TWebUpdate::MessageText(int number) {
    static const QHash<int, QString> texts = {
        {909, QStringLiteral("Download update file : ")},
        {910, QStringLiteral("Download update files ?")},
        {911, QStringLiteral("Shutdown application to update executable files ?")},
        {912, QStringLiteral("Equal source and target files : %s")},
        {913, QStringLiteral("File not found : %s")},
        {914, QStringLiteral("Zero length source file : %s")},
        {915, QStringLiteral("Download : %s")},
        {916, QStringLiteral("Http status : %s")},
        {917, QStringLiteral("File not found : %s")},
        {918, QStringLiteral("Checking for Internet connection")},
        {919, QStringLiteral("Prompt to open new Internet connection")},
        {920, QStringLiteral("Opening Internet connection")},
        {921, QStringLiteral("Found open Internet connection")},
        {922, QStringLiteral("Cannot open Internet connection")},
        {923, QStringLiteral("Connect to host : %s")},
        {924, QStringLiteral("Cannot connect to FTP host : %s")},
        {925, QStringLiteral("Update control file not found")},
        {926, QStringLiteral("Update control file found")},
        {927, QStringLiteral("Invalid signature in update control file")},
        {928, QStringLiteral("Date based update found")},
        {929, QStringLiteral("New version found : %s")},
        {930, QStringLiteral("No new version found")},
        {931, QStringLiteral("Checksum based update found")},
        {932, QStringLiteral("File size based update found")},
        {933, QStringLiteral("Version based update found")},
        {934, QStringLiteral("Found message instruction")},
        {935, QStringLiteral("Found HTML dialog instruction")},
        {936, QStringLiteral("Found query instruction")},
        {937, QStringLiteral("Found whatsnew instruction")},
        {938, QStringLiteral("Whatsnew not accepted")},
        {939, QStringLiteral("Found license agreement instruction")},
        {940, QStringLiteral("License agreement not accepted")},
        {941, QStringLiteral("Found URL redirection instruction")},
        {942, QStringLiteral("Found URL show instruction")},
        {943, QStringLiteral("Found file update instruction")},
        {944, QStringLiteral("Version check : %s")},
        {945, QStringLiteral("Download update : %s")},
        {946, QStringLiteral("Cannot download update file : %s")},
        {947, QStringLiteral("Error decompressing CAB file : %s")},
        {948, QStringLiteral("Finished processing update control file")},
        {949, QStringLiteral("Closed Internet connection")},
        {950, QStringLiteral("Failed to spawn updater process : %s")},
        {951, QStringLiteral("Cannot connect to server for post")},
        {952, QStringLiteral("Cannot access resource for post")},
        {953, QStringLiteral("Dialup failed")},
        {954, QStringLiteral("Closed FTP connection")},
        {955, QStringLiteral("Disconnect dialup")},
        {956, QStringLiteral("Authentication cancelled")},
        {957, QStringLiteral("Authentication failed")},
        {958, QStringLiteral("Spawn %s")},
        {959, QStringLiteral("Restart app in directory : %s")},
        {960, QStringLiteral("Threaded update execution done")},
        {961, QStringLiteral("Restart after threaded update")},
        {962, QStringLiteral("Found application component : %s")},
        {963, QString()},
    };
    return texts.value(number);
}

void TWebUpdate::Status(int number, const QString &argument, int statusCode, int errorCode) {
    QString text = MessageText(number);
    text.replace(QLatin1String("%s"), argument);
    log_.Event(number, text, statusCode, errorCode);
    emit OnStatus(number, text, errorCode, statusCode);
}

// Every refusal is logged with its reason before the event that reports it.
void TWebUpdate::Refuse(int number, const QString &argument, const QString &reason) {
    log_.Line(reason);
    Status(number, argument, 2);
}

void TWebUpdate::Close() {
    net_.reset();
    Status(949, QString(), 3);
}

bool TWebUpdate::FetchToFile(const QUrl &url, const QString &path, qint64 limit, qint64 fallbackTotal,
                             QString &reason, TFetchResult *result) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        reason = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    TFetchLimits limits = Limits;
    limits.MaxBytes = std::min(limits.MaxBytes, limit);
    const TFetchResult r = Fetch(*net_, url, UserAgent(), file, limits, fallbackTotal,
                                 [this](qint64 total, qint64 received) { emit OnFileProgress(total, received); });
    file.close();
    if (result) *result = r;
    if (!r.Ok) reason = r.Reason;
    return r.Ok;
}

// The whatsnew and licence texts: small, Windows-1252, read whole.
bool TWebUpdate::FetchText(const QString &address, QString &text) {
    const QUrl url = QUrl(URL).resolved(QUrl(address));
    Status(915, url.toString(), 3);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TFetchLimits limits = Limits;
    limits.MaxBytes = std::min(limits.MaxBytes, MaxTextBytes);
    const TFetchResult r = Fetch(*net_, url, UserAgent(), buffer, limits, 0,
                                 [this](qint64 total, qint64 received) { emit OnFileProgress(total, received); });
    if (!r.Ok) {
        if (r.HttpStatus >= 300) Status(916, QString::number(r.HttpStatus), 6, r.HttpStatus);
        Refuse(946, url.toString(), QStringLiteral("%1: %2").arg(url.toString(), r.Reason));
        return false;
    }
    emit OnFileDownloaded(url.toString());
    text = cp1252::Decode(buffer.data());
    return true;
}

// runbefore / runafter: only a program inside the program folder, started
// directly with its arguments, never through a shell.
bool TWebUpdate::RunProgram(const QString &commandLine, const char *key) {
    QStringList args = QProcess::splitCommand(commandLine);
    QString reason;
    QString program;
    if (args.isEmpty()) {
        reason = QStringLiteral("%1: no program given").arg(QLatin1String(key));
    } else {
        const update::TExpanded expanded = update::ExpandFolders(args.takeFirst(), ProgramFolder, TempFolder);
        program = expanded.Path;
        if (!expanded.Error.isEmpty())
            reason = QStringLiteral("%1 refused: %2").arg(QLatin1String(key), expanded.Error);
        else if (!update::LiesInside(program, ProgramFolder))
            reason = QStringLiteral("%1 refused: %2 lies outside the program folder").arg(QLatin1String(key), program);
        else if (!QFileInfo(program).isFile() || !QFileInfo(program).isExecutable())
            reason = QStringLiteral("%1 refused: %2 is no executable file").arg(QLatin1String(key), program);
        else if (!QProcess::startDetached(program, args, ProgramFolder))
            reason = QStringLiteral("%1: %2 cannot be started").arg(QLatin1String(key), program);
    }
    if (reason.isEmpty()) return true;
    Refuse(946, commandLine, reason);
    return false;
}

bool TWebUpdate::DoActions(const TControlFile &control) {
    if (control.Has(kAction, QStringLiteral("msg"))) {
        Status(934, QString(), 3);
        prompts_->Message(control.Value(kAction, QStringLiteral("msg")));
    }
    if (control.Has(kAction, QStringLiteral("htmldlg"))) {
        Status(935, QString(), 7);
        prompts_->HtmlDialog(QUrl(URL).resolved(QUrl(control.Value(kAction, QStringLiteral("htmldlg")))).toString());
    }
    if (control.Has(kAction, QStringLiteral("runbefore"))) RunProgram(control.Value(kAction, QStringLiteral("runbefore")), "runbefore");
    if (control.Has(kAction, QStringLiteral("showurl"))) {
        Status(942, QString(), 3);
        prompts_->ShowUrl(control.Value(kAction, QStringLiteral("showurl")));
    }
    if (control.Has(kAction, QStringLiteral("query"))) {
        Status(936, QString(), 3);
        if (!prompts_->Question(control.Value(kAction, QStringLiteral("query")))) return false;
    }
    return true;
}

bool TWebUpdate::DoTextDialogs(const TControlFile &control) {
    auto value = [&](const QString &section, const char *key, const char *fallback) {
        const QString v = control.Value(section, QLatin1String(key));
        return v.isEmpty() ? QString::fromLatin1(fallback) : v;
    };
    const QString whatsnew = QStringLiteral("whatsnew");
    if (!control.Value(whatsnew, QStringLiteral("file")).isEmpty()) {
        Status(937, QString(), 12);
        TTextDialog d;
        // Without its text the dialog has nothing to show; the update goes on.
        if (FetchText(control.Value(whatsnew, QStringLiteral("file")), d.Text)) {
            d.Caption = control.Value(whatsnew, QStringLiteral("caption"));
            d.OkButton = value(whatsnew, "okbtn", "Ok");
            d.CancelButton = value(whatsnew, "cancelbtn", "Cancel");
            if (!prompts_->WhatsNew(d)) {
                Status(938, QString(), 14);
                return false;
            }
        }
    }
    const QString eula = QStringLiteral("eula");
    if (!control.Value(eula, QStringLiteral("file")).isEmpty()) {
        Status(939, QString(), 13);
        TTextDialog d;
        // A licence that could not be shown cannot have been accepted.
        if (!FetchText(control.Value(eula, QStringLiteral("file")), d.Text)) return false;
        d.Caption = control.Value(eula, QStringLiteral("caption"));
        d.OkButton = value(eula, "okbtn", "Ok");
        d.Accept = value(eula, "accept", "I accept");
        d.NotAccept = value(eula, "notaccept", "I do not accept");
        if (!prompts_->License(d)) {
            Status(940, QString(), 14);
            return false;
        }
    }
    return true;
}

// Downloads one file entry beside the program, checks it, and puts it in
// place (or, for a program file the updater replaces, next to it as
// "WUPD" + name). A failed or doubtful download never reaches the target.
bool TWebUpdate::DownloadFile(const TFileEntry &e, bool keepPending) {
    const QString address = e.Url.toString();
    emit OnBeforeFileDownload(address);
    const QString folder = QFileInfo(e.Target).absolutePath();
    if (!QDir().mkpath(folder)) {
        Refuse(946, address, QStringLiteral("%1: cannot create the folder %2").arg(e.Section, folder));
        return false;
    }
    // Checked again now that the folders exist: a link among them must not
    // lead outside.
    if (!update::LiesInside(e.Target, e.Target.startsWith(TempFolder) ? TempFolder : ProgramFolder) ||
        QFileInfo(e.Target).isSymLink()) {
        Refuse(946, address, QStringLiteral("%1: target %2 leads outside its folder").arg(e.Section, e.Target));
        return false;
    }
    Status(915, address, 3);
    QTemporaryFile temp(ProgramFolder + TempPrefix() + QStringLiteral("XXXXXX"));
    if (!temp.open()) {
        Refuse(946, address, QStringLiteral("%1: cannot create a temporary file: %2").arg(e.Section, temp.errorString()));
        return false;
    }
    temp.close();
    QString reason;
    TFetchResult r;
    if (!FetchToFile(e.Url, temp.fileName(), Limits.MaxBytes, e.FileSize, reason, &r)) {
        if (r.HttpStatus >= 300) Status(916, QString::number(r.HttpStatus), 6, r.HttpStatus);
        Refuse(946, address, QStringLiteral("%1: %2").arg(address, reason));
        return false;
    }
    if (e.Compressed) {
        QFile f(temp.fileName());
        szdd::TExpandResult x;
        if (f.open(QIODevice::ReadOnly)) x = szdd::Expand(f.readAll(), Limits.MaxBytes);
        f.close();
        if (!x.Ok || !f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(x.Data) != x.Data.size()) {
            Refuse(946, address, QStringLiteral("%1: cannot expand: %2").arg(address, x.Error));
            return false;
        }
        f.close();
    }
    const qint64 size = QFileInfo(temp.fileName()).size();
    if (e.NewSize > 0 && size != e.NewSize) {
        Refuse(946, address, QStringLiteral("%1: %2 bytes received, %3 expected").arg(address).arg(size).arg(e.NewSize));
        return false;
    }
    if (e.NewChecksum != -1) {
        const auto sum = update::FileChecksum(temp.fileName());
        if (!sum || *sum != quint32(quint64(e.NewChecksum))) {
            Refuse(946, address,
                   QStringLiteral("%1: checksum %2, %3 expected").arg(address).arg(sum ? qint64(*sum) : -1).arg(e.NewChecksum));
            return false;
        }
    }
    emit OnFileDownloaded(e.Target);

    // A replaced file keeps the permissions of the old one (a program stays
    // executable); a new one is readable by all.
    const QFileInfo old(e.Target);
    temp.setPermissions(old.exists() ? QFile::permissions(e.Target)
                                     : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString place = keepPending ? ProgramFolder + TempPrefix() + e.Name : e.Target;
    // rename() replaces the target in one step, so it is never missing.
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(place).constData()) != 0) {
        const int err = errno;
        if (QFileInfo::exists(place)) log_.Line(QStringLiteral("Unable to delete file ") + place);
        log_.Line(QStringLiteral("Unable to rename file ") + temp.fileName() + QStringLiteral(" to ") + place);
        Refuse(946, address, QStringLiteral("%1: %2").arg(place, QString::fromLocal8Bit(std::strerror(err))));
        return false;
    }
    temp.setAutoRemove(false);
    if (keepPending) pending_ << e.Name;
    return true;
}

// Without a restart, program files waiting for the updater go straight into
// place: a running program file may be replaced by rename here.
void TWebUpdate::MovePendingIntoPlace() {
    for (const QString &name : std::as_const(pending_)) {
        const QString from = ProgramFolder + TempPrefix() + name;
        const QString to = ProgramFolder + name;
        QFile::setPermissions(from, QFileInfo::exists(to) ? QFile::permissions(to) : QFile::permissions(from));
        if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
            if (QFileInfo::exists(to)) log_.Line(QStringLiteral("Unable to delete file ") + to);
            log_.Line(QStringLiteral("Unable to rename file ") + from + QStringLiteral(" to ") + to);
        }
    }
    pending_.clear();
}

// After a failed download the program files are not mixed with an
// incomplete set of the rest.
void TWebUpdate::DiscardPending() {
    for (const QString &name : std::as_const(pending_)) {
        QFile::remove(ProgramFolder + TempPrefix() + name);
        log_.Line(QStringLiteral("Discarded ") + name + QStringLiteral(": the update is incomplete"));
    }
    pending_.clear();
}

QString TWebUpdate::UpdaterCommandLine(const QString &updater, const QString &appName, const QString &appParam,
                                       const QString &appComps) const {
    QString restart = ProgramFolder + appName;
    if (!appParam.isEmpty()) restart += QLatin1Char(' ') + appParam;
    if (restart.contains(QLatin1Char(' '))) restart = QLatin1Char('"') + restart + QLatin1Char('"');
    return updater + QLatin1Char(' ') + QString::number(ProcessId) + QStringLiteral(" L ") + restart +
           QLatin1Char(' ') + appComps;
}

TWebUpdate::TResult TWebUpdate::Restart(const TControlFile &control) {
    Status(959, ProgramFolder, 0);
    if (control.Integer(kApplication, QStringLiteral("silentrestart"), 0) != 1 &&
        !prompts_->Question(MessageText(911))) {
        MovePendingIntoPlace();
        return TResult::Downloaded;
    }
    const QString packed = TempFolder + QStringLiteral("upd.ex_");
    const QString updater = TempFolder + QStringLiteral("upd.exe");
    const QString appName = control.Value(kApplication, QStringLiteral("appname"));
    const QString appParam = control.Value(kApplication, QStringLiteral("appparam"));
    const QString appComps = control.Value(kApplication, QStringLiteral("appcomps"));
    const QString commandLine = UpdaterCommandLine(updater, appName, appParam, appComps);

    // Fresh files only: whatever lay there before (a link someone planted in
    // a shared temporary folder, say) is removed, not written through.
    QString error;
    const szdd::TExpandResult image = szdd::Expand(UpdaterImage ? UpdaterImage() : QByteArray());
    for (const QString &path : {packed, updater}) QFile::remove(path);
    {
        QFile out(packed);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
            out.write(UpdaterImage ? UpdaterImage() : QByteArray()) < 0)
            error = out.errorString();
    }
    QFile exe(updater);
    if (error.isEmpty() && !image.Ok) error = image.Error;
    if (error.isEmpty() && (!exe.open(QIODevice::WriteOnly | QIODevice::NewOnly) || exe.write(image.Data) != image.Data.size()))
        error = exe.errorString();
    exe.close();
    if (error.isEmpty()) exe.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    Status(958, commandLine, 0);
    int code = 0;
    if (!error.isEmpty()) {
        log_.Line(QStringLiteral("Cannot write the updater: ") + error);
        code = EIO;
    } else {
        QString restart = ProgramFolder + appName;
        if (!appParam.isEmpty()) restart += QLatin1Char(' ') + appParam;
        std::vector<QByteArray> args = {QFile::encodeName(updater), QByteArray::number(ProcessId), "L",
                                        QFile::encodeName(restart), QFile::encodeName(appComps)};
        std::vector<char *> argv;
        for (QByteArray &a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t child = 0;
        code = posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    }
    if (code != 0) Status(950, updater, 9, code);
    return TResult::Terminate;
}

TWebUpdate::TResult TWebUpdate::DoUpdate() {
    log_.SetPath(ProgramFolder + LogFileName());
    pending_.clear();

    // 1. The connection.
    Status(963, QString(), 0);
    Status(918, QString(), 3);
    if (!URL.contains(QLatin1String("127.0.0.1")) && IsOnline && !IsOnline()) return TResult::NoConnection;
    Status(921, QString(), 3);
    net_ = std::make_unique<QNetworkAccessManager>();
    net_->setAutoDeleteReplies(false);

    // 2. The control file, into the temporary folder.
    Status(915, URL, 3);
    QTemporaryFile controlFile(TempFolder + TempPrefix() + QStringLiteral("XXXXXX.inf"));
    QString reason;
    TFetchResult fetched;
    const bool got = controlFile.open() && (controlFile.close(), true) &&
                     FetchToFile(QUrl(URL), controlFile.fileName(), ControlFileLimit, 0, reason, &fetched);
    if (!got) {
        if (fetched.HttpStatus >= 300)
            Status(916, QString::number(fetched.HttpStatus), 6, fetched.HttpStatus);
        else if (!fetched.Answered)
            Status(917, URL, 2);
        if (fetched.Answered && fetched.HttpStatus < 300) log_.Line(QStringLiteral("Control file refused: ") + reason);
        Status(925, QString(), 2);
        Close();
        return TResult::NoControlFile;
    }
    emit OnFileDownloaded(controlFile.fileName());
    Status(926, QString(), 3);
    controlFile.open();
    const TControlFile control = TControlFile::Parse(controlFile.readAll());
    controlFile.close();

    // 3. The application section.
    const bool appUpdate = control.Integer(kApplication, QStringLiteral("appupdate"), 0) == 1;
    const QStringList appComps = SplitNames(control.Value(kApplication, QStringLiteral("appcomps")));

    auto localFile = [&](const QString &section) {
        const QString given = control.Value(section, QStringLiteral("localversion"));
        if (given.isEmpty()) return QString();
        const update::TExpanded e = update::ExpandFolders(given, ProgramFolder, TempFolder);
        return e.Error.isEmpty() ? e.Path : QString();
    };

    // 4. Is an update due?
    update::TRuleValues values = update::ReadRuleValues(control, kUpdate);
    values.LocalFile = localFile(kUpdate);
    const update::TRuleOutcome due = update::Evaluate(values);
    switch (due.Rule) {
    case update::TRule::Date: Status(928, QString(), 3); break;
    case update::TRule::Checksum: Status(931, QString(), 3); break;
    case update::TRule::Size: Status(932, QString(), 3); break;
    case update::TRule::Version: Status(933, QString(), 3); break;
    default: break;
    }
    if (due.Rule != update::TRule::Unconditional) {
        if (due.Due) {
            Status(929, due.Found, 5);
        } else {
            Status(930, QString(), 4);
            Close();
            return TResult::NoUpdate;
        }
    }

    // 5. Actions and dialogs.
    bool failed = false;
    if (!DoActions(control) || !DoTextDialogs(control)) {
        Close();
        return TResult::Cancelled;
    }

    // 6. The file entries that are due.
    std::vector<TFileEntry> entries;
    const qint64 count = std::clamp<qint64>(control.Integer(QStringLiteral("files"), QStringLiteral("count"), 0), 0,
                                            MaxFileEntries);
    for (qint64 i = 1; i <= count; ++i) {
        const QString section = QStringLiteral("file%1").arg(i);
        if (!control.HasSection(section)) continue;
        Status(943, QString(), 3);
        TFileEntry e;
        e.Section = section;
        e.Url = QUrl(URL).resolved(QUrl(control.Value(section, QStringLiteral("url"))));
        e.Name = QFileInfo(e.Url.path()).fileName();
        const QString address = e.Url.toString();
        const QString targetDir = control.Value(section, QStringLiteral("targetdir"));
        const update::TExpanded folder =
            update::ExpandFolders(targetDir.isEmpty() ? QStringLiteral("{APP}") : targetDir, ProgramFolder, TempFolder);
        if (e.Name.isEmpty() || e.Name == QLatin1String("..")) {
            Refuse(946, address, QStringLiteral("%1: the address names no file").arg(section));
            failed = true;
            continue;
        }
        if (!folder.Error.isEmpty()) {
            Refuse(946, address, QStringLiteral("%1: %2").arg(section, folder.Error));
            failed = true;
            continue;
        }
        e.Target = QDir::cleanPath(folder.Path + QLatin1Char('/') + e.Name);
        const bool inTemp = targetDir.trimmed().toUpper().startsWith(QLatin1String("{TMP}"));
        if (!update::LiesInside(e.Target, inTemp ? TempFolder : ProgramFolder)) {
            Refuse(946, address,
                   QStringLiteral("%1: target %2 lies outside the program folder").arg(section, e.Target));
            failed = true;
            continue;
        }
        e.Compressed = control.Integer(section, QStringLiteral("compressed"), 0) == 1;
        e.NewSize = control.Integer(section, QStringLiteral("newsize"), 0);
        e.NewChecksum = control.Integer(section, QStringLiteral("newchecksum"), -1);
        e.FileSize = control.Integer(section, QStringLiteral("filesize"), 0);

        update::TRuleValues v = update::ReadRuleValues(control, section);
        v.LocalFile = localFile(section);
        const update::TRuleOutcome o = update::Evaluate(v);
        // An entry without anything to compare is part of the update as such.
        if (o.Rule == update::TRule::None || o.Due) entries.push_back(e);
    }

    bool cancelled = false;
    bool programFile = false;
    if (entries.empty()) {
        // nothing to download
    } else if (!prompts_->Question(MessageText(910))) {
        cancelled = true;
    } else {
        // 7. Downloads.
        for (const TFileEntry &e : entries) {
            const bool component = appComps.contains(e.Name);
            const bool pending = appUpdate && component &&
                                 QDir::cleanPath(QFileInfo(e.Target).absolutePath()) == QDir::cleanPath(ProgramFolder);
            if (!DownloadFile(e, pending)) {
                failed = true;
                continue;
            }
            if (component) {
                Status(962, e.Name, 0);
                programFile = true;
            }
        }
    }

    // 8. Redirection, the program to run after, the end of the file.
    if (control.Has(kAction, QStringLiteral("updateurl"))) {
        Status(941, QString(), 3);
        URL = control.Value(kAction, QStringLiteral("updateurl"));
    }
    if (!cancelled && control.Has(kAction, QStringLiteral("runafter")) &&
        !RunProgram(control.Value(kAction, QStringLiteral("runafter")), "runafter"))
        failed = true;
    Status(948, QString(), 3);
    Close();

    // 9. The restart.
    if (failed) {
        DiscardPending();
        return TResult::DownloadFailed;
    }
    if (cancelled) return TResult::Cancelled;
    if (appUpdate && programFile) return Restart(control);
    MovePendingIntoPlace();
    return entries.empty() ? TResult::NoUpdate : TResult::Downloaded;
}
