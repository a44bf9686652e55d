#pragma once
// The checks of the employer window (one TBPOSLOD record): the reaction when
// the identifier field is left, and the ordered checks before the record is
// saved. The window shows the message of a failed check and puts the focus on
// the field named; the CSV takeover of employers runs the same checks on
// every row it adds.

#include <string>

namespace mvz {

class Record;
class TableAccess;

enum class EmployerField {
    None,       // the focus stays where it is
    Name,       // NAZIV
    Address,    // ADRESA
    Contact,    // KONTAKT
    PayerType,  // VRSTOBVEZNIKA
    Identifier, // JMBG
};

struct EmployerCheck {
    bool ok = true;
    std::string message; // UTF-8; empty when ok
    EmployerField focus = EmployerField::None;
};

// The identifier field was left (`employer` is the TBPOSLOD buffer): on
// success the field receives the identifier's stored form.
EmployerCheck employerIdentifierLeft(Record& employer);

// The checks before saving, in order; the first that fails stops. `payerTypes`
// is the payer-type table (TBVRSOBV), opened by the caller. On success the
// identifier holds its stored form; the record is not written.
EmployerCheck checkEmployerBeforeSave(TableAccess& payerTypes, Record& employer);

} // namespace mvz
