#pragma once
// Files that a run reads as its input (a file to check, to load, to merge, to
// digest) are regular files. A folder, a FIFO or a device is refused before
// anything is read from it, so that a run never waits for a writer that does
// not come nor copies a device without end.

#include <string>

namespace mvz {

// Opens path read-only (close-on-exec). Returns the descriptor, or -1 with
// errno set: EISDIR for a folder, ENODEV for any other file that is not a
// regular file. Opening never blocks.
int openInputFile(const std::string& path);

// True when path names a regular file (after symbolic links); false for a
// missing path too.
bool isRegularFile(const std::string& path);

// True when path names something that is there but is not a regular file.
bool isOtherThanRegularFile(const std::string& path);

} // namespace mvz
