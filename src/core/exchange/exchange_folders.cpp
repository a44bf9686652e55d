// The folders the exchange windows propose, the confirmation question and the
// recovery at the program's start.

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

#include "base/reporter.h"
#include "data/installation_mode.h"
#include "exchange/exchange.h"
#include "exchange/installation_hold.h"
#include "exchange/staged_swap.h"

namespace mvz {

std::string defaultExchangeFolder(const std::string& dataDir) {
    std::string folder = dataDir.empty() ? std::string(".") : dataDir;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder != "/") folder += '/';
    return folder + "export";
}

bool holdsEmployerTable(const std::string& folder) {
    struct stat st;
    return ::stat((folder + "/TBPOSLOD.DAT").c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string defaultTakeoverFolder() {
    // Where the older program kept its data on the user's own disk.
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "") + "/mvz_2005";
}

bool confirmReplacement(Reporter& reporter) {
    MessageBox box;
    box.title = "Upozorenje";
    box.text = "Da li želite postojeće podatke zamijeniti ?";
    box.icon = MessageIcon::Question;
    box.buttons = ButtonYes | ButtonCancel;
    box.defaultButton = ButtonCancel;
    return reporter.show(box) == ButtonYes;
}

bool recoverInterruptedExchange(const std::string& dataDir) {
    std::error_code ec;
    if (!std::filesystem::exists(stagingFolder(dataDir), ec)) return false;
    InstallationHold hold;
    if (!hold.acquire(dataDir, fileModeOf(installationMode(dataDir))).empty()) return false;
    return recoverStaging(dataDir);
}

} // namespace mvz
