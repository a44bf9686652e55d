#include "print/print_stamp.h"

#include "base/day_number.h"
#include "base/picture.h"

namespace mvz {

std::string printStamp(std::int32_t day, std::int32_t time) {
    static const Picture date = *Picture::parse("D6.");
    static const Picture clock = *Picture::parse("T1");
    return date.formatDate(day) + " " + clock.formatTime(time);
}

std::string printStampNow() {
    return printStamp(todayDayNumber(), currentTimeOfDay());
}

} // namespace mvz
