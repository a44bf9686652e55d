#pragma once
// The checks of the insured-person window (one TBZAPOSL record: a person's
// payment for one calculation month): the reactions when a field is left,
// the contributions proposed when a contribution field is entered, and the
// ordered checks before the record is saved. The window shows the messages
// of an outcome one after another, puts the focus on the field named and
// goes on (or saves) only when the outcome allows it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/control_table.h"

namespace mvz {

class Record;
class TableAccess;
class Tables;

enum class PersonField {
    None,
    Identifier, // JMBG
    Membership, // CLANDN
    Year,       // GODOBRA
    Month,      // MJEOBRA
    DayFrom,    // ODDANA
    DayTo,      // DODANA
    Gross,      // IZNOS7
    Base,       // IZNOS8
    Pillar1,    // IZNOS9
    Pillar2,    // IZNOS10
    Net,        // IZNOS11
};

struct EntryOutcome {
    std::vector<std::string> messages; // UTF-8, shown in this order
    PersonField focus = PersonField::None;
    bool proceed = true; // false: the reaction stops, respectively nothing is saved
};

// ---- Leaving a field ----

// The identifier field (`row` is the TBZAPOSL buffer): on success the field
// receives the identifier's stored form.
EntryOutcome identifierLeft(Record& row);
// The year and month fields, as typed.
EntryOutcome yearLeft(std::string_view yearText);
EntryOutcome monthLeft(std::string_view monthText);
// The period's from-day or to-day (`which`), judged with the record's year
// and month; no check while the month is 0 or less.
EntryOutcome dayLeft(const Record& row, PersonField which);
// The pillar II field: a non-member pays no pillar II contribution.
EntryOutcome pillar2Left(const Record& row);

// The municipality chosen by name (UTF-8) from the open TBOPCINE table: its
// code goes into the record. False, the record unchanged, when no
// municipality has that name.
bool takeMunicipalityByName(TableAccess& municipalities, Record& row, std::string_view nameUtf8);
// The short description (SKROPIS) of a code in an open code table (TBVRSUPL,
// TBOSNOBR, TBOZNSTA, TBVRSOBV), UTF-8 without trailing blanks; empty when
// the code is not found.
std::string shortDescription(TableAccess& codes, std::string_view code);

// ---- Entering a contribution field ----

enum class Pillar { One, Two };

// Looks up the rate row of the record's membership, calculation type, payer
// type, basis and extended-service mark in the open TBSTOPE table. When there
// is one, the pillar's two rates go into the record and the pillar's field
// becomes (rate 1 + rate 2) x base / 100; true. Otherwise the record is
// unchanged; false.
bool proposeContribution(TableAccess& rates, Record& row, Pillar pillar);

// ---- Saving ----

struct SaveRequest {
    // Position of the stored record being changed; 0 for a new record.
    std::int64_t storedPosition = 0;
    // The year and month as the window's fields show them; when not given,
    // the record's values. Numeric texts are the values every check uses.
    std::optional<std::string> yearText{};
    std::optional<std::string> monthText{};
    int currentYear = currentYearFromClock(); // the year of today's date
};

// The checks before saving, in order; the first that fails stops, except the
// two year warnings and the warning for a combination missing from the
// control table. The record is not written; on success its identifier holds
// its stored form. `row` is the TBZAPOSL buffer of the window; `tables`
// gives the control table (VEZNATAB) and the person's other records (the
// second declaration of TBZAPOSL).
EntryOutcome checkBeforeSave(Tables& tables, Record& row, const SaveRequest& request);

} // namespace mvz
