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
    client.reset(new FbClient(getMaster()));
    return *client;
}

FbClient::FbClient(IMaster *master)
    : master_(master), util_(master->getUtilInterface()), provider_(master->getDispatcher()) {}

QString FbClient::ClientVersion() const {
    const unsigned v = util_->getClientVersion();
    return QStringLiteral("%1.%2").arg(v >> 8).arg(v & 0xFF);
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
