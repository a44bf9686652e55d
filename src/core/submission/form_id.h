#pragma once
// The names of one form: the form identifier (payer number, 3 digits, and
// form sequence number, 4 digits: payer 7 with sequence 12 is "0070012") and
// the link key (identifier followed by the 2-character calculation type) that
// page A (A:KONVEZA) and the form's page-B rows (OSI:KONVEZA) share.

#include <string>
#include <string_view>

namespace mvz {

struct FormId {
    int payerNumber = 0;         // POS:REDBROJ, 0..999
    int sequence = 0;            // form sequence number, 0..9999
    std::string calculationType; // VOI, 2 characters

    // Both throw std::out_of_range when a number does not fit its digits.
    std::string identifier() const;
    std::string linkKey() const;
};

// The form identifier within a link key (its first 7 characters).
std::string_view identifierOfLinkKey(std::string_view linkKey);

} // namespace mvz
