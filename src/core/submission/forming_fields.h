#pragma once
// The forming window's values as typed, turned into a forming request: the
// field checks run in the order the fields are accepted, the first that
// fails names its field and message, and the numbers are read only from
// texts that passed.

#include <cstdint>
#include <string>

#include "submission/forming.h"

namespace mvz {

enum class FormingField { None, Sequence, Type, Year, Month, FirstDay, LastDay, PayYear, PayMonth };

struct FormingFields {
    int payer = 0;
    std::string sequence, type, year, month, firstDay, lastDay, payYear, payMonth;
    std::int32_t sendingDate = 0; // a day number
    SendingMode mode = SendingMode::Unset;
    CollectiveJob job = CollectiveJob::NewFile;
};

struct FormingFieldCheck {
    std::string message; // empty: every field passed
    FormingField field = FormingField::None;
};

// The check of one field as the window runs it when the field is left.
std::string checkFormingField(const FormingFields& fields, FormingField field);

// Every field's check in order; on success `request` holds the values. A
// sequence number that is not a number becomes 0, which forming refuses with
// its own message.
FormingFieldCheck formingRequestOf(const FormingFields& fields, FormingRequest& request);

} // namespace mvz
