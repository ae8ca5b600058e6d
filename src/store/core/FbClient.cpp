#include "store/core/FbClient.h"

#include <QDir>
#include <QFile>
#include <map>
#include <QMutex>
#include <cstdlib>
#include <dlfcn.h>
#include <memory>
#include <unistd.h>

using namespace Firebird;

namespace {

// The embedded engine keeps its lock files in one folder per machine by
// default; when another account created it with restrictive rights the
// attach fails, so each account gets its own folder unless one is chosen.
void ChooseLockFolder() {
    if (std::getenv("FIREBIRD_LOCK")) return;
    const QString folder = QDir::tempPath() + QStringLiteral("/firebird-") + QString::number(getuid());
    QDir().mkpath(folder);
    setenv("FIREBIRD_LOCK", QFile::encodeName(folder).constData(), 0);
}

}  // namespace

const char *FbClient::DefaultLibrary() { return "libfbclient.so.2"; }

FbClient &FbClient::Instance() { return Load(QString::fromLatin1(DefaultLibrary())); }

FbClient &FbClient::Load(const QString &libraryName) {
    static QMutex mutex;
    // The library itself is never unloaded: the engine does not survive dlclose.
    static std::map<QString, std::unique_ptr<FbClient>> loaded;
    QMutexLocker lock(&mutex);
    if (auto it = loaded.find(libraryName); it != loaded.end()) return *it->second;

    ChooseLockFolder();
    void *handle = dlopen(QFile::encodeName(libraryName).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw EDatabaseError(QStringLiteral("Die Firebird-Clientbibliothek %1 konnte nicht geladen werden: %2")
                                 .arg(libraryName, QString::fromLocal8Bit(dlerror())));
    using GetMaster = IMaster *(*)();
    auto getMaster = reinterpret_cast<GetMaster>(dlsym(handle, "fb_get_master_interface"));
    if (!getMaster)
        throw EDatabaseError(QStringLiteral("Die Firebird-Clientbibliothek %1 bietet keine Schnittstelle "
                                            "fb_get_master_interface").arg(libraryName));
    auto &client = loaded[libraryName];
    client.reset(new FbClient(getMaster(), handle));
    return *client;
}

FbClient::FbClient(IMaster *master, void *library)
    : master_(master), library_(library), util_(master->getUtilInterface()), provider_(master->getDispatcher()) {}

QString FbClient::ClientVersion() const {
    const unsigned v = util_->getClientVersion();
    return QStringLiteral("%1.%2").arg(v >> 8).arg(v & 0xFF);
}

QString FbClient::ClientFileVersion() const {
    // The classic entry point gives the build too: "LI-V3.0.11.33703 Firebird 3.0".
    using GetVersion = void (*)(char *);
    auto getVersion = reinterpret_cast<GetVersion>(dlsym(library_, "isc_get_client_version"));
    if (!getVersion) return QString();
    char buffer[256] = {};
    getVersion(buffer);
    const QString text = QString::fromLatin1(buffer);
    const qsizetype v = text.indexOf(QLatin1Char('V'));
    if (v < 0) return QString();
    QString number;
    for (qsizetype i = v + 1; i < text.size() && (text[i].isDigit() || text[i] == QLatin1Char('.')); ++i)
        number += text[i];
    return number;
}

QString FbClient::FormatStatus(IStatus *status) const {
    char buffer[4096];
    const unsigned length = util_->formatStatus(buffer, sizeof buffer, status);
    QString text = QString::fromLocal8Bit(buffer, qMin<unsigned>(length, sizeof buffer - 1)).trimmed();
    return text;
}

void FbClient::Raise(const FbException &e) const {
    throw EDatabaseError(FormatStatus(e.getStatus()));
}
