#pragma once
// Started in a folder that holds no data files of the program, the desktop
// program offers to create a new installation there: empty, or with the demo
// data, private to the user or shared with the user's group.

#include <QString>

namespace mvz {

class ErrorReporter;

enum class OfferOutcome { NotNeeded, Created, Declined, Failed };

// Asks when `dataDir` holds no installation and creates the one chosen.
OfferOutcome offerNewInstallation(const QString& dataDir, ErrorReporter& errors);

} // namespace mvz
