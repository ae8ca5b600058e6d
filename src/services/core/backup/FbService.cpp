#include "services/core/backup/FbService.h"

#include <QFile>
#include <vector>

#include "platform/core/Cp1252.h"

using namespace Firebird;

namespace {

int ReadWord(const unsigned char *p) { return p[0] | (p[1] << 8); }

}  // namespace

TFbServiceManager::TFbServiceManager(FbClient &client, QString user, QString password)
    : client_(client), user_(std::move(user)), password_(std::move(password)) {}

TFbServiceManager::~TFbServiceManager() { Detach(); }

void TFbServiceManager::Attach() {
    if (service_) return;
    FbStatus status(client_);
    IXpbBuilder *spb = nullptr;
    try {
        spb = client_.Util()->getXpbBuilder(&status, IXpbBuilder::SPB_ATTACH, nullptr, 0);
        spb->insertString(&status, isc_spb_user_name, cp1252::Encode(user_).constData());
        spb->insertString(&status, isc_spb_password, cp1252::Encode(password_).constData());
        // The engine inside this process, like the database connection.
        spb->insertString(&status, isc_spb_config, "Providers=Engine12");
        service_ = client_.Provider()->attachServiceManager(&status, "service_mgr", spb->getBufferLength(&status),
                                                            spb->getBuffer(&status));
        spb->dispose();
    } catch (const FbException &e) {
        if (spb) spb->dispose();
        client_.Raise(e);
    }
}

void TFbServiceManager::Detach() {
    if (!service_) return;
    FbStatus status(client_);
    try {
        service_->detach(&status);
    } catch (const FbException &) {
        service_->release();
    }
    service_ = nullptr;
    running_ = false;
}

void TFbServiceManager::Start(const QByteArray &request) {
    Attach();
    FbStatus status(client_);
    try {
        service_->start(&status, unsigned(request.size()), reinterpret_cast<const unsigned char *>(request.constData()));
    } catch (const FbException &e) {
        client_.Raise(e);
    }
    running_ = true;
}

namespace {

// Builds a start request; paths go as the file system spells them.
class TStartRequest {
public:
    TStartRequest(FbClient &client, unsigned char action) : client_(client), status_(client) {
        try {
            spb_ = client.Util()->getXpbBuilder(&status_, IXpbBuilder::SPB_START, nullptr, 0);
            spb_->insertTag(&status_, action);
        } catch (const FbException &e) {
            client.Raise(e);
        }
    }
    ~TStartRequest() {
        if (spb_) spb_->dispose();
    }
    TStartRequest(const TStartRequest &) = delete;
    TStartRequest &operator=(const TStartRequest &) = delete;
    void Path(unsigned char tag, const QString &path) { Guard([&] { spb_->insertString(&status_, tag, QFile::encodeName(path).constData()); }); }
    void Tag(unsigned char tag) { Guard([&] { spb_->insertTag(&status_, tag); }); }
    void Int(unsigned char tag, int value) { Guard([&] { spb_->insertInt(&status_, tag, value); }); }
    QByteArray Bytes() {
        QByteArray bytes;
        Guard([&] {
            bytes = QByteArray(reinterpret_cast<const char *>(spb_->getBuffer(&status_)),
                               int(spb_->getBufferLength(&status_)));
        });
        return bytes;
    }

private:
    template <class F> void Guard(F f) {
        try {
            f();
        } catch (const FbException &e) {
            client_.Raise(e);
        }
    }
    FbClient &client_;
    FbStatus status_;
    IXpbBuilder *spb_ = nullptr;
};

}  // namespace

void TFbServiceManager::StartBackup(const QString &databaseFile, const QString &backupFile, bool verbose) {
    TStartRequest r(client_, isc_action_svc_backup);
    r.Path(isc_spb_dbname, databaseFile);
    r.Path(isc_spb_bkp_file, backupFile);
    if (verbose) r.Tag(isc_spb_verbose);
    Start(r.Bytes());
}

void TFbServiceManager::StartRestore(const QString &backupFile, const QString &databaseFile, int pageSize, bool replace,
                                     bool verbose) {
    TStartRequest r(client_, isc_action_svc_restore);
    r.Path(isc_spb_bkp_file, backupFile);
    r.Path(isc_spb_dbname, databaseFile);
    if (verbose) r.Tag(isc_spb_verbose);
    r.Int(isc_spb_options, replace ? isc_spb_res_replace : isc_spb_res_create);
    if (pageSize > 0) r.Int(isc_spb_res_page_size, pageSize);
    Start(r.Bytes());
}

bool TFbServiceManager::NextLine(QString &line) {
    line.clear();
    if (!service_ || !running_) return false;
    const unsigned char items[] = {isc_info_svc_line};
    // A line of the engine's output is short; the buffer holds the longest.
    unsigned char buffer[8192];
    FbStatus status(client_);
    for (;;) {
        try {
            service_->query(&status, 0, nullptr, sizeof items, items, sizeof buffer, buffer);
        } catch (const FbException &e) {
            running_ = false;
            client_.Raise(e);
        }
        const unsigned char *p = buffer;
        const unsigned char *end = buffer + sizeof buffer;
        bool gotLine = false, timedOut = false;
        while (p < end && *p != isc_info_end) {
            const unsigned char item = *p++;
            if (item == isc_info_svc_line) {
                if (p + 2 > end) break;
                const int length = ReadWord(p);
                p += 2;
                if (p + length > end) break;
                if (length == 0) {
                    running_ = false;
                    return false;
                }
                line = cp1252::Decode(QByteArray(reinterpret_cast<const char *>(p), length));
                p += length;
                gotLine = true;
            } else if (item == isc_info_svc_timeout || item == isc_info_data_not_ready) {
                timedOut = true;
            } else if (item == isc_info_truncated) {
                gotLine = true;  // the part that fitted
                break;
            } else {
                break;
            }
        }
        if (gotLine) return true;
        if (!timedOut) {
            running_ = false;
            return false;
        }
    }
}

void TFbServiceManager::WaitForEnd() {
    QString line;
    while (NextLine(line)) {
    }
}
