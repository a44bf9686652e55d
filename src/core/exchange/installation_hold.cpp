#include "exchange/installation_hold.h"

#include "exchange/data_files.h"
#include "exchange/staged_swap.h"

namespace mvz {

namespace {

const char* const kBusy = "s podacima radi drugi program ili prozor (datoteka je otvorena); "
                          "zatvorite ga i pokušajte ponovo";

std::string busyText(const std::string& name, const StorageError& e) {
    if (e.code == err::AccessDenied) return name + ": " + kBusy;
    return name + ": " + e.text;
}

} // namespace

std::string InstallationHold::acquire(const std::string& dataDir, mode_t fileMode) {
    release();
    FileLock exchange;
    if (StorageError e = exchange.acquire(stagingFolder(dataDir), ShareMode::Exclusive, fileMode))
        return e.code == err::AccessDenied
                   ? std::string("u ovim podacima upravo radi drugi export ili import; "
                                 "pokušajte kad završi")
                   : busyText(".mvz-locks", e);
    locks_.push_back(std::move(exchange));
    for (const DataFile& f : installationDataFiles()) {
        FileLock lock;
        if (StorageError e = lock.acquire(dataDir + "/" + f.name, ShareMode::Exclusive, fileMode)) {
            release();
            return busyText(f.name, e);
        }
        locks_.push_back(std::move(lock));
    }
    return {};
}

std::string shareExchange(const std::string& dataDir, mode_t fileMode, FileLock& lock) {
    if (StorageError e = lock.acquire(stagingFolder(dataDir), ShareMode::ReadOnly, fileMode))
        return e.code == err::AccessDenied
                   ? std::string("u ovim podacima upravo radi import; pokušajte kad završi")
                   : e.text;
    return {};
}

} // namespace mvz
