#pragma once
// Replacing several data files of an installation so that the data folder
// holds either all the old files or all the new ones, also when the run is
// cut short. The new files are copied into the hidden staging folder beside
// the data first. Once every copy is complete and on the disk, the list of
// files to swap is written there (the set is then committed) and each file is
// renamed over the old one. A run cut short before the list leaves only the
// staging folder, which is removed; one cut short after it is finished by
// renaming the files still staged. Both happen at the next start (see
// recoverInterruptedExchange), by whoever holds the installation alone.

#include <string>
#include <sys/types.h>
#include <vector>

namespace mvz {

// The staging folder of the data folder (".mvz-exchange").
std::string stagingFolder(const std::string& dataDir);

// Makes an empty staging folder of the installation's folder mode (a
// leftover is removed first). Returns "" or why not.
std::string openStaging(const std::string& dataDir, mode_t folderMode);

// Commits the staged files named and renames them into the data folder, then
// removes the staging folder. Returns "" or why not; a failure after the
// commit leaves the rest to the next start.
std::string swapInStaged(const std::string& dataDir, const std::vector<std::string>& names,
                         mode_t fileMode);

// Removes the staging folder and whatever it holds.
void removeStaging(const std::string& dataDir);

// Finishes a committed swap or discards an uncommitted one. The caller holds
// the installation alone. True when anything was left.
bool recoverStaging(const std::string& dataDir);

// A test hook between the steps of a swap: with MVZ_EXCHANGE_EXIT_AT=N in the
// environment, the process ends at once (as if killed) at the N-th step.
void exchangeStep();

} // namespace mvz
