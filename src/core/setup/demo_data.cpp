#include "setup/demo_data.h"

#include <filesystem>
#include <system_error>

#include "base/day_number.h"
#include "base/fixed_text.h"
#include "data/created_file.h"
#include "data/csv_table_load.h"
#include "data/tables.h"
#include "rules/contributions.h"
#include "setup/sample_data.h"

namespace mvz {

namespace {

constexpr const char* kAuthorisedFile = "demo/AUTHORISED.csv";
constexpr const char* kPayerFile = "demo/PAYER.csv";
constexpr const char* kEmployeesFile = "demo/EMPLOYEES.csv";

std::string sourceName(const SampleFile& f) {
    return "data/" + f.name;
}

struct Month {
    int year;
    int month;
};

// The employer the pay rows belong to.
struct Employer {
    std::string number;    // POS:REDBROJ as displayed
    std::string payerType; // POS:VRSTOBVEZNIKA
};

bool set(Record& r, const char* field, const std::string& value, std::string& why) {
    why = r.setFromDisplay(r.def().fieldIndex(field), value);
    return why.empty();
}

// The pay row of one person for one month, contributions included.
std::string payRow(const Record& person, const Employer& employer, Month m, TableAccess& rates,
                   Record& row) {
    row = person;
    const TableDef& def = row.def();
    std::string why;
    if (!set(row, "REDBROJ", employer.number, why) ||
        !set(row, "VRSOBV", employer.payerType, why) ||
        !set(row, "GODOBRA", std::to_string(m.year), why) ||
        !set(row, "MJEOBRA", std::to_string(m.month), why) || !set(row, "ODDANA", "1", why) ||
        !set(row, "DODANA", std::to_string(daysInMonth(m.year, m.month)), why))
        return why;
    auto text = [&](const char* field) { return row.text(def.fieldIndex(field)); };
    const auto found = lookupRates(rates, {clipRight(text("CLANDN")), clipRight(text("VRSTAUPLA")),
                                           clipRight(text("VRSOBV")), clipRight(text("OSNOVA1")),
                                           clipRight(text("OSNOVA3"))});
    if (!found)
        return "TBSTOPE has no rate row for membership " + row.display(def.fieldIndex("CLANDN")) +
               ", calculation type " + row.display(def.fieldIndex("VRSTAUPLA")) + ", payer type " +
               row.display(def.fieldIndex("VRSOBV")) + ", basis " +
               row.display(def.fieldIndex("OSNOVA1")) + ", mark " +
               row.display(def.fieldIndex("OSNOVA3"));
    const Contributions c = computeContributions(*found, row.decimal(def.fieldIndex("IZNOS8")));
    const std::pair<const char*, Decimal> values[] = {{"PRVISTUP1", found->pillar1First},
                                                      {"PRVISTUP2", found->pillar1Second},
                                                      {"DRUGISTUP1", found->pillar2First},
                                                      {"DRUGISTUP2", found->pillar2Second},
                                                      {"IZNOS9", c.pillar1},
                                                      {"IZNOS10", c.pillar2}};
    for (const auto& [field, value] : values)
        if (!row.setDecimal(def.fieldIndex(field), value))
            return def.qualified(def.fieldIndex(field)) + ": " + value.toString() +
                   " does not fit the field";
    return {};
}

} // namespace

std::string createDemoFolders(const std::string& dataDir, mode_t mode, DemoFolders& folders,
                              std::vector<std::string>& made) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path base = fs::absolute(dataDir, ec).lexically_normal();
    if (ec) return dataDir + ": " + ec.message();
    const std::pair<const char*, std::string*> wanted[] = {{"rad", &folders.work},
                                                           {"ulaz", &folders.input},
                                                           {"izlaz", &folders.output},
                                                           {"mz0", &folders.mz0}};
    for (const auto& [name, out] : wanted) {
        const fs::path dir = base / name;
        if (makeFolder(dir.string(), mode, ec)) made.push_back(dir.string());
        if (ec) return dir.string() + ": the folder cannot be created: " + ec.message();
        if (!fs::is_directory(dir)) return dir.string() + " exists and is not a folder";
        *out = dir.string() + "/";
    }
    return {};
}

std::string demoApplicationRecord(Record& apl, const DemoFolders& folders) {
    const auto file = sampleFile(kAuthorisedFile);
    if (!file) return std::string(kAuthorisedFile) + " is missing from the program";
    std::vector<CsvRecord> records;
    if (std::string why = readCsvRecords(apl.def(), file->text, sourceName(*file), records);
        !why.empty())
        return why;
    if (records.size() != 1) return sourceName(*file) + " must hold exactly one record";
    apl = records.front().record;
    std::string why;
    if (!set(apl, "RB", "1", why) || !set(apl, "RADDIR", folders.work, why) ||
        !set(apl, "ULAZDIR", folders.input, why) || !set(apl, "IZLAZDIR", folders.output, why))
        return why;
    return {};
}

std::string addDemoEmployer(Tables& tables, std::int32_t today) {
    const auto payer = sampleFile(kPayerFile);
    const auto employees = sampleFile(kEmployeesFile);
    if (!payer || !employees) return "the demo files are missing from the program";

    TableAccess& pos = tables.access("POS");
    if (CsvLoadResult r = loadCsvText(pos, payer->text, sourceName(*payer)); !r.ok) return r.error;
    Employer employer;
    if (pos.open() != result::Ok) return pos.def().fileName + " could not be opened";
    pos.setStart();
    const bool found = pos.next() == result::Ok;
    if (found) {
        employer.number = pos.record().display(pos.def().fieldIndex("REDBROJ"));
        employer.payerType = pos.record().display(pos.def().fieldIndex("VRSTOBVEZNIKA"));
    }
    pos.close();
    if (!found) return sourceName(*payer) + " holds no employer";

    const CivilDate date = civilDate(today ? today : todayDayNumber());
    const Month current{date.year, date.month};
    const Month previous =
        date.month == 1 ? Month{date.year - 1, 12} : Month{date.year, date.month - 1};

    TableAccess& rates = tables.access("STO1");
    if (rates.open() != result::Ok) return rates.def().fileName + " could not be opened";
    TableAccess& rad = tables.access("RAD");
    const CsvRowExpander twoMonths = [&](const Record& person, std::vector<Record>& out) {
        for (Month m : {previous, current}) {
            Record row(person.def());
            if (std::string why = payRow(person, employer, m, rates, row); !why.empty()) return why;
            out.push_back(std::move(row));
        }
        return std::string();
    };
    const CsvLoadResult r = loadCsvText(rad, employees->text, sourceName(*employees), twoMonths);
    rates.close();
    return r.ok ? std::string() : r.error;
}

} // namespace mvz
