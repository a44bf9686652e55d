#pragma once
// Permissions in tests: the process umask for the length of a scope, and the
// permission bits of a file.

#include <string>
#include <sys/stat.h>

namespace mvz::test {

class ScopedUmask {
  public:
    explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(old_); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

  private:
    mode_t old_;
};

// The permission bits (set-group-ID included) of path, or -1 when it is missing.
inline int permissionsOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<int>(st.st_mode & 07777);
}

} // namespace mvz::test
