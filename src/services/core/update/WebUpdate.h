#pragma once
// The update engine: fetches the update control file, decides whether an
// update is due, carries out its actions and dialogs, downloads the files
// that are due and, when the program itself was updated, restarts it through
// the updater. Every step is a numbered status event, written to
// "WUPDATE.LOG" in the program folder as well.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "services/core/update/Download.h"
#include "services/core/update/UpdateLog.h"

class QNetworkAccessManager;
class TControlFile;
class TUpdatePrompts;

class TWebUpdate : public QObject {
    Q_OBJECT
public:
    explicit TWebUpdate(QObject *parent = nullptr);
    ~TWebUpdate() override;

    // How a check ended.
    enum class TResult {
        NoConnection,       // offline, or no Internet handle
        NoControlFile,      // control file not fetched
        NoUpdate,           // nothing due
        Cancelled,          // a No, Cancel or refused licence
        Downloaded,         // files downloaded; no restart needed or wanted
        DownloadFailed,     // at least one file could not be put in place
        Terminate,          // the updater takes over: end the program now
    };

    // Fixed settings of this program's engine.
    static QString UserAgent() { return QStringLiteral("TWebUpdate"); }
    static QString LogFileName() { return QStringLiteral("WUPDATE.LOG"); }
    static QString TempPrefix() { return QStringLiteral("WUPD"); }

    // The control file's address; an `updateURL` action replaces it for the
    // rest of the run only.
    QString URL;
    // The program folder ("current working folder"), with trailing separator.
    QString ProgramFolder;
    // The temporary folder, with trailing separator.
    QString TempFolder;
    // The process the updater waits for.
    qint64 ProcessId;
    TFetchLimits Limits;
    qint64 ControlFileLimit = 64 * 1024;
    // Whether the system reports a connection; tests and front ends may ask
    // differently.
    std::function<bool()> IsOnline;
    // Where the updater comes from: the SZDD image of resource "UPD".
    std::function<QByteArray()> UpdaterImage;

    void SetPrompts(std::shared_ptr<TUpdatePrompts> prompts);

    // Runs one check to its end on the calling thread.
    TResult DoUpdate();

    // The updater's command line as the engine composes it.
    QString UpdaterCommandLine(const QString &updater, const QString &appName, const QString &appParam,
                               const QString &appComps) const;
    // The text of a numbered message (909..963).
    static QString MessageText(int number);
    // The compressed updater built into this program.
    static QByteArray BuiltInUpdater();

signals:
    void OnStatus(int number, const QString &text, int errorCode, int statusCode);
    void OnFileProgress(qint64 fileSize, qint64 received);
    void OnBeforeFileDownload(const QString &url);
    void OnFileDownloaded(const QString &fileName);

private:
    struct TFileEntry;
    void Status(int number, const QString &argument, int statusCode, int errorCode = 0);
    void Refuse(int number, const QString &argument, const QString &reason);
    bool FetchToFile(const QUrl &url, const QString &path, qint64 limit, qint64 fallbackTotal, QString &reason,
                     TFetchResult *result = nullptr);
    bool FetchText(const QString &address, QString &text);
    bool RunProgram(const QString &commandLine, const char *key);
    bool DoActions(const TControlFile &control);
    bool DoTextDialogs(const TControlFile &control);
    bool DownloadFile(const TFileEntry &entry, bool keepPending);
    TResult Restart(const TControlFile &control);
    void MovePendingIntoPlace();
    void DiscardPending();
    void Close();

    std::unique_ptr<QNetworkAccessManager> net_;
    std::shared_ptr<TUpdatePrompts> prompts_;
    TUpdateLog log_;
    QStringList pending_;  // program files waiting for the updater
};
