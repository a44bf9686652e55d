#include "submission/person_counter.h"

#include "base/fixed_text.h"

namespace mvz {

long long PersonCounter::next(std::string_view identifier) {
    if (count_ == 0 || !equalIgnoringTrailingBlanks(identifier, previous_)) {
        ++count_;
        previous_.assign(identifier);
    }
    return count_;
}

} // namespace mvz
