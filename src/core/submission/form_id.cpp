#include "submission/form_id.h"

#include <stdexcept>

#include <fmt/format.h>

#include "base/fixed_text.h"

namespace mvz {

std::string FormId::identifier() const {
    if (payerNumber < 0 || payerNumber > 999)
        throw std::out_of_range(fmt::format("payer number {} has more than 3 digits", payerNumber));
    if (sequence < 0 || sequence > 9999)
        throw std::out_of_range(
            fmt::format("form sequence number {} has more than 4 digits", sequence));
    return fmt::format("{:03}{:04}", payerNumber, sequence);
}

std::string FormId::linkKey() const {
    return identifier() + fixed(calculationType, 2);
}

std::string_view identifierOfLinkKey(std::string_view linkKey) {
    return linkKey.substr(0, 7);
}

} // namespace mvz
