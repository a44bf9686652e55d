#pragma once
// The print stamp of the lists: the date and time the list was made, as
// "08.12.2010 14:05" (date picture "D6.", a blank, time picture "T1").

#include <cstdint>
#include <string>

namespace mvz {

// `day` is a day number, `time` a time of day (centiseconds + 1).
std::string printStamp(std::int32_t day, std::int32_t time);
// The stamp of this moment.
std::string printStampNow();

} // namespace mvz
