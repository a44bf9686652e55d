#include "data/mode_keeping_vfs.h"

#include <cstring>
#include <mutex>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>

namespace mvz {

namespace {

constexpr const char* kName = "mvz-modes";
sqlite3_vfs* base = nullptr;
sqlite3_vfs layer;

int openKeepingMode(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    const int rc = base->xOpen(base, name, file, flags, outFlags);
    if (rc != SQLITE_OK || !name || !(flags & SQLITE_OPEN_SUPER_JOURNAL)) return rc;
    const std::string path(name);
    const auto at = path.rfind("-mj");
    struct stat st {};
    if (at != std::string::npos && ::stat(path.substr(0, at).c_str(), &st) == 0)
        ::chmod(name, st.st_mode & 0777);
    return rc;
}

} // namespace

const char* modeKeepingVfs() {
    static std::once_flag once;
    std::call_once(once, [] {
        base = sqlite3_vfs_find(nullptr);
        layer = *base;
        layer.zName = kName;
        layer.pNext = nullptr;
        layer.xOpen = openKeepingMode;
        sqlite3_vfs_register(&layer, 0);
    });
    return kName;
}

} // namespace mvz
