#pragma once
// Creating files and folders with exactly the permissions asked for. The
// process umask is the user's choice for files written at the user's request;
// the files of an installation instead get the installation's mode whatever
// the umask, and a file or folder that already exists is never widened.

#include <string>
#include <sys/types.h>
#include <system_error>

namespace mvz {

// Opens path with flags (O_CREAT is added). A file this call creates gets
// exactly `mode`; an existing file keeps its permissions. Returns the
// descriptor, or -1 with errno set.
int openCreating(const std::string& path, int flags, mode_t mode);

// `mode`, narrowed to the permissions of the file at path when there is one:
// a file put in the place of another grants no more than the one it replaces.
mode_t replacementMode(const std::string& path, mode_t mode);

// Copies source to dest as a new file of exactly `mode` (a file at dest is
// removed first). Refuses, with a "file exists" error, when both name one file.
bool copyToNewFile(const std::string& source, const std::string& dest, mode_t mode,
                   std::error_code& ec);

// Writes text as the whole content of path, through a file of exactly `mode`
// under a temporary name renamed into place. Returns why not, or "".
std::string writeNewFile(const std::string& path, const std::string& text, mode_t mode);

// Makes the folder with exactly `mode` (set-group-ID included). True when it
// was made; an existing folder is left as it is (false, ec clear).
bool makeFolder(const std::string& path, mode_t mode, std::error_code& ec);

} // namespace mvz
