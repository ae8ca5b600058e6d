#pragma once
// Run-time binding to the Firebird client library. The library is loaded on
// first use, so a machine without it gets an error the program can report
// instead of a loader failure before main().

#include <QString>
#include <firebird/Interface.h>

#include "store/core/DatabaseError.h"

class FbClient {
public:
    // The client of this process, loaded from the default library name.
    // Throws EDatabaseError when the library or its entry point is missing.
    static FbClient &Instance();
    // A client from an explicit library file (tests name a missing one).
    static FbClient &Load(const QString &libraryName);

    Firebird::IMaster *Master() const { return master_; }
    Firebird::IUtil *Util() const { return util_; }
    Firebird::IProvider *Provider() const { return provider_; }
    // Version of the client library, for example "3.0".
    QString ClientVersion() const;
    // The library's full version as the library itself reports it, for
    // example "3.0.11.33703"; empty when it does not say.
    QString ClientFileVersion() const;

    // The text of a status vector, the way the database words its errors.
    QString FormatStatus(Firebird::IStatus *status) const;
    // Turns a caught client exception into EDatabaseError.
    [[noreturn]] void Raise(const Firebird::FbException &e) const;

    static const char *DefaultLibrary();

private:
    FbClient(Firebird::IMaster *master, void *library);
    Firebird::IMaster *master_;
    void *library_;
    Firebird::IUtil *util_;
    Firebird::IProvider *provider_;
};

// A status object with the exception-throwing wrapper the API templates need.
class FbStatus {
public:
    explicit FbStatus(FbClient &client) : raw_(client.Master()->getStatus()), wrapper_(raw_) {}
    ~FbStatus() { raw_->dispose(); }
    FbStatus(const FbStatus &) = delete;
    FbStatus &operator=(const FbStatus &) = delete;
    Firebird::ThrowStatusWrapper *operator&() { return &wrapper_; }
    Firebird::ThrowStatusWrapper *get() { return &wrapper_; }

private:
    Firebird::IStatus *raw_;
    Firebird::ThrowStatusWrapper wrapper_;
};
