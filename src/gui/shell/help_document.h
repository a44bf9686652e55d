#pragma once
// The user guide, a PDF in the data directory, opened with the desktop's
// default handler for the file. Every window's help opens it.

#include <QString>

namespace mvz {

class Reporter;

inline constexpr const char* kUserGuideFileName = "Upute za rad MVZ_2010.pdf";

// Opens the guide from `dataDir`. When the file is missing or nothing on the
// desktop opens it, says so in a message box through `reporter` and returns
// false.
bool openUserGuide(const QString& dataDir, Reporter& reporter);

// The texts of those two message boxes ("|" starts a new line).
QString missingUserGuideText(const QString& path);
QString unopenedUserGuideText(const QString& path);

} // namespace mvz
