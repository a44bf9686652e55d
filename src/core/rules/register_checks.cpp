#include "rules/register_checks.h"

#include <algorithm>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/reporter.h"
#include "data/dictionary.h"
#include "data/error_reporter.h"
#include "data/record.h"
#include "data/storage_error.h"
#include "data/table_access.h"
#include "data/table_file.h"
#include "data/table_work.h"
#include "data/tables.h"
#include "rules/code_table_checks.h"
#include "rules/control_table.h"
#include "rules/employer_checks.h"
#include "rules/identifier.h"
#include "rules/insured_person_checks.h"
#include "rules/municipality.h"
#include "ui_model/application_parameters.h"

namespace mvz {

namespace {

enum class Register {
    None,
    Employer,
    Employee,
    CodeTable,
    Municipality,
    Rate,
    ControlTable,
    Parameters
};

Register kindOf(const TableDef& def) {
    const std::string& p = def.prefix;
    if (p == "POS") return Register::Employer;
    if (p == "RAD") return Register::Employee;
    if (p == "VUP" || p == "VOB" || p == "TBO" || p == "STA") return Register::CodeTable;
    if (p == "OPC") return Register::Municipality;
    if (p == "STO1") return Register::Rate;
    if (p == "VEZ") return Register::ControlTable;
    if (p == "APL") return Register::Parameters;
    return Register::None;
}

RegisterOutcome refuse(std::string message) {
    return {false, {std::move(message)}};
}

// A failure the table layer has shown already.
RegisterOutcome failedQuietly() {
    return {false, {}};
}

int field(const Record& r, const char* name) {
    return r.def().fieldIndex(name);
}

std::string clipped(const Record& r, const char* name) {
    return std::string(clipRight(r.text(field(r, name))));
}

enum class Lookup { Found, NotFound, Failed };

// Looks a code up in a code table (by its KEYSIFRA), which must be open.
Lookup findCode(TableAccess& codes, std::string_view code) {
    Record& r = codes.record();
    r.clear();
    r.setText(field(r, "SIFRA"), code);
    if (codes.fetch(codes.def().keyIndex("KEYSIFRA")) == result::Ok) return Lookup::Found;
    return codes.lastError().code == err::RecordNotFound ? Lookup::NotFound : Lookup::Failed;
}

// The codes a row window chooses from drop lists of the code tables: a code
// that is not in its table could not have been chosen.
struct ChosenCode {
    const char* field;     // in the row
    const char* codeTable; // prefix of the code table
    const char* message;   // when the code is not there
};

RegisterOutcome checkChosenCodes(Tables& tables, const Record& row,
                                 std::initializer_list<ChosenCode> codes) {
    TableWork work(tables);
    for (const ChosenCode& c : codes) {
        TableAccess& table = tables.access(c.codeTable);
        if (!work.open(table)) return failedQuietly();
        const std::string code(row.text(field(row, c.field)));
        switch (findCode(table, code)) {
        case Lookup::Found:
            break;
        case Lookup::NotFound:
            return refuse(std::string(c.message) + " \"" + cp1250ToUtf8(clipRight(code)) + "\"");
        case Lookup::Failed:
            return failedQuietly();
        }
    }
    return {};
}

RegisterOutcome ofEmployerCheck(const EmployerCheck& check) {
    if (check.ok) return {};
    return refuse(check.message);
}

RegisterOutcome checkEmployer(Tables& tables, Record& row, const Record* stored) {
    const long number = static_cast<long>(row.integer(field(row, "REDBROJ")));
    if (stored) {
        // The number names the employer's forms and employees: once saved it stays.
        if (number != stored->integer(field(*stored, "REDBROJ")))
            return refuse("Redni broj obveznika ne može se mijenjati");
    } else if (std::string why = checkEmployerNumber(number); !why.empty()) {
        return refuse(why);
    }
    TableWork work(tables);
    TableAccess& payerTypes = tables.access("VOB");
    if (!work.open(payerTypes)) return failedQuietly();
    return ofEmployerCheck(checkEmployerBeforeSave(payerTypes, row));
}

RegisterOutcome checkEmployee(Tables& tables, Record& row, std::int64_t storedPosition) {
    // A person's row belongs to an employer and takes its payer type.
    TableWork work(tables);
    TableAccess& employers = tables.access("POS");
    if (!work.open(employers)) return failedQuietly();
    Record& employer = employers.record();
    employer.clear();
    const std::int64_t number = row.integer(field(row, "REDBROJ"));
    employer.setInteger(field(employer, "REDBROJ"), number);
    if (employers.fetch(employers.def().keyIndex("KEYREDBROJ")) != result::Ok) {
        if (employers.lastError().code != err::RecordNotFound) return failedQuietly();
        return refuse("Poslodavac rednog broja " + std::to_string(number) + " ne postoji");
    }
    const std::string payerType(employer.text(field(employer, "VRSTOBVEZNIKA")));
    const int rowPayerType = field(row, "VRSOBV");
    if (clipRight(row.text(rowPayerType)).empty())
        row.setText(rowPayerType, payerType);
    else if (row.text(rowPayerType) != payerType)
        return refuse("Vrsta obveznika osiguranika mora biti vrsta obveznika poslodavca (" +
                      cp1250ToUtf8(clipRight(payerType)) + ")");

    SaveRequest request;
    request.storedPosition = storedPosition;
    EntryOutcome outcome = checkBeforeSave(tables, row, request);
    return {outcome.proceed, std::move(outcome.messages)};
}

RegisterOutcome ofCodeCheck(const CodeTableCheck& check) {
    if (check.proceed) return {};
    if (check.message.empty()) return failedQuietly();
    return refuse(check.message);
}

RegisterOutcome checkCodeRow(Tables& tables, Record& row, const Record* stored) {
    const std::string code(row.text(field(row, "SIFRA")));
    CodeTableCheck check = checkCodeFilled(code);
    if (row.def().prefix != "VUP" || !check.proceed) return ofCodeCheck(check);
    if (stored) return ofCodeCheck(checkCalculationTypeCode(code));
    TableWork work(tables);
    TableAccess& types = tables.access("VUP");
    if (!work.open(types)) return failedQuietly();
    return ofCodeCheck(checkNewCalculationType(types, row));
}

RegisterOutcome checkMunicipality(const Record& row) {
    if (auto error = checkMunicipalityCodeField(row.text(field(row, "SIFRA"))))
        return refuse(error->message);
    return {};
}

RegisterOutcome checkRate(Tables& tables, const Record& row) {
    const std::string member = clipped(row, "CLANDN");
    if (member != "D" && member != "N") return refuse("Osoba je član OMF: upišite D ili N");
    return checkChosenCodes(tables, row,
                            {{"VRSTOBRACUNA", "VUP", "Nepoznata vrsta obračuna"},
                             {"VRSTAOBVEZNIKA", "VOB", "Nepoznata vrsta obveznika"},
                             {"OSNOVOBRA", "TBO", "Nepoznat osnov obračuna"},
                             {"STAZ", "STA", "Nepoznata oznaka uvećanog staža"}});
}

ControlRule ruleOf(const Record& row) {
    ControlRule rule;
    rule.combination = {std::string(row.text(field(row, "VOB"))),
                        std::string(row.text(field(row, "VOI"))),
                        std::string(row.text(field(row, "OO")))};
    for (int f = 0; f < kRuleFieldCount; ++f)
        rule.codes[f] =
            std::string(row.text(field(row, std::string(ruleFieldName(RuleField(f))).c_str())));
    return rule;
}

RegisterOutcome checkControlRule(Tables& tables, const Record& row) {
    const ControlRule rule = ruleOf(row);
    for (int f = 0; f < kRuleFieldCount; ++f)
        if (!isRuleCode(rule.codes[f]))
            return refuse(std::string(ruleFieldName(RuleField(f))) +
                          ": pravilo mora biti \"= 0\", \">=0\" ili \">0\"");
    return checkChosenCodes(tables, row,
                            {{"VOB", "VOB", "Nepoznata vrsta obveznika"},
                             {"VOI", "VUP", "Nepoznata vrsta obračuna"},
                             {"OO", "TBO", "Nepoznat osnov obračuna"}});
}

void showMessages(Tables& tables, const TableDef& def, const RegisterOutcome& outcome) {
    for (const std::string& m : outcome.messages) {
        MessageBox box;
        box.title = std::string(registerWindowTitle(def));
        box.text = m;
        box.icon = MessageIcon::Exclamation;
        tables.errors().reporter().show(box);
    }
}

RegisterOutcome shown(Tables& tables, const TableDef& def, RegisterOutcome outcome) {
    showMessages(tables, def, outcome);
    return outcome;
}

// The application parameters are the one record the parameters' window edits.
RegisterOutcome saveParameters(Tables& tables, const Record& row, bool adding) {
    if (row.integer(field(row, "RB")) != 1)
        return refuse("Aplikacijski parametri su jedan zapis, broj 1");
    ApplicationParameters parameters(tables);
    parameters.open();
    if (adding && parameters.recordFound()) {
        parameters.close();
        return refuse("Aplikacijski parametri već postoje; promijenite ih");
    }
    parameters.record() = row;
    const ApplicationParameters::SaveResult saved = parameters.save();
    parameters.close();
    // The editor has shown its own message.
    return saved == ApplicationParameters::SaveResult::Saved ? RegisterOutcome{} : failedQuietly();
}

std::string addProblem(TableAccess& table) {
    const StorageError& e = table.lastError();
    if (e.code == err::DuplicateKey) {
        const int key = table.file() ? table.file()->duplicateKey(table.record(), 0) : -1;
        return "zapis s istim ključem već postoji" +
               (key >= 0 ? " (" + table.def().keys[key].description + ")" : std::string());
    }
    return "tablica nije primila zapis (" + (e.text.empty() ? storageErrorText(e.code) : e.text) +
           ")";
}

} // namespace

bool hasRegisterChecks(const TableDef& def) {
    return kindOf(def) != Register::None;
}

std::string_view registerWindowTitle(const TableDef& def) {
    const std::string& p = def.prefix;
    switch (kindOf(def)) {
    case Register::Employer:
        return "Poslodavac i zaposlenici";
    case Register::Employee:
        return "PODACI O OSIGURANIKU I ZADNJOJ UPLATI";
    case Register::CodeTable:
        if (p == "VUP") return "Vrste obračuna/ispravka";
        if (p == "VOB") return "Vrsta obveznika";
        if (p == "TBO") return "Pregled osnova obračuna";
        return "Staž s uvećanim trajanjem";
    case Register::Municipality:
        return "Šifarnik - Općine i gradovi";
    case Register::Rate:
        return "Stope doprinosa za mirovinsko osiguranje";
    case Register::ControlTable:
        return "KONTROLA PODATAKA";
    case Register::Parameters:
        return ApplicationParameters::kTitle;
    case Register::None:
        break;
    }
    return def.stem();
}

std::string checkEmployerNumber(long number) {
    if (number < 1 || number > 999 || number == 888)
        return "Redni broj obveznika mora biti od 1 do 999, osim 888";
    return {};
}

RegisterOutcome checkRegisterRow(Tables& tables, Record& row, const Record* stored,
                                 std::int64_t storedPosition) {
    switch (kindOf(row.def())) {
    case Register::Employer:
        return checkEmployer(tables, row, stored);
    case Register::Employee:
        return checkEmployee(tables, row, storedPosition);
    case Register::CodeTable:
        return checkCodeRow(tables, row, stored);
    case Register::Municipality:
        return checkMunicipality(row);
    case Register::Rate:
        return checkRate(tables, row);
    case Register::ControlTable:
        return checkControlRule(tables, row);
    case Register::Parameters: {
        const std::string id(row.text(field(row, "JMBG")));
        if (!CheckIdentifier(id).valid)
            return refuse(std::string(ApplicationParameters::kIdentifierMessage));
        return {};
    }
    case Register::None:
        break;
    }
    return {};
}

RegisterOutcome addRegisterRecord(Tables& tables, Record row) {
    const TableDef& def = row.def();
    const Register kind = kindOf(def);
    if (kind == Register::Parameters) return shown(tables, def, saveParameters(tables, row, true));
    // The window has its table open before anything is checked.
    TableWork work(tables);
    TableAccess& table = tables.access(def.prefix);
    if (!work.open(table)) return failedQuietly();
    RegisterOutcome outcome = shown(tables, def, checkRegisterRow(tables, row, nullptr, 0));
    if (!outcome.ok) return outcome;
    if (kind == Register::ControlTable) {
        if (ControlTableMaintenance(tables).insert(ruleOf(row)) != result::Ok)
            return failedQuietly();
        return outcome;
    }
    table.record() = row;
    if (table.add() != result::Ok) return failedQuietly();
    return outcome;
}

RegisterOutcome changeRegisterRecord(Tables& tables, std::int64_t position, Record row) {
    const TableDef& def = row.def();
    const Register kind = kindOf(def);
    if (kind == Register::Parameters) return shown(tables, def, saveParameters(tables, row, false));
    TableWork work(tables);
    TableAccess& table = tables.access(def.prefix);
    if (!work.open(table)) return failedQuietly();
    if (table.fetchPosition(position) != result::Ok) return failedQuietly();
    const Record stored = table.record();
    RegisterOutcome outcome = shown(tables, def, checkRegisterRow(tables, row, &stored, position));
    if (!outcome.ok) return outcome;
    if (kind == Register::ControlTable) {
        if (ControlTableMaintenance(tables).change(ruleOf(stored).combination, ruleOf(row)) !=
            result::Ok)
            return failedQuietly();
        return outcome;
    }
    // The checks read other tables (and this one): take the stored record up again.
    if (table.fetchPosition(position) != result::Ok) return failedQuietly();
    table.record() = row;
    if (tables.relations(def.prefix).change() != result::Ok) return failedQuietly();
    return outcome;
}

RegisterOutcome deleteRegisterRecord(Tables& tables, const TableDef& def, std::int64_t position) {
    const Register kind = kindOf(def);
    if (kind == Register::Parameters)
        return shown(tables, def, refuse("Aplikacijski parametri se ne brišu; promijenite ih"));
    TableWork work(tables);
    TableAccess& table = tables.access(def.prefix);
    if (!work.open(table)) return failedQuietly();
    if (table.fetchPosition(position) != result::Ok) return failedQuietly();
    if (kind == Register::ControlTable) {
        tables.errors().setFile(def.fileName);
        if (tables.errors().raise(9) != result::Ok) return failedQuietly();
        const Combination c = ruleOf(table.record()).combination;
        if (ControlTableMaintenance(tables).remove(c) != result::Ok) return failedQuietly();
        return {};
    }
    if (tables.relations(def.prefix).remove(/*confirm=*/true) != result::Ok) return failedQuietly();
    return {};
}

RegisterLoad loadRegisterRows(Tables& tables, const TableDef& def,
                              const std::vector<CsvRecord>& rows, const std::string& source) {
    RegisterLoad load;
    const Register kind = kindOf(def);
    if (kind == Register::Parameters) {
        load.error = source + ": the application parameters are one record; change it instead";
        return load;
    }
    auto refused = [&](const CsvRecord& row, const std::string& why) {
        load.refusedRows.push_back(source + ", line " + std::to_string(row.line) + ": " + why);
    };
    auto reason = [](const RegisterOutcome& outcome) {
        return outcome.messages.empty() ? std::string("zapis nije prošao provjeru")
                                        : outcome.messages.back();
    };

    TableWork work(tables);
    TableAccess& table = tables.access(def.prefix);
    if (!work.open(table)) {
        load.error = source + ": " + def.fileName + " could not be opened";
        return load;
    }

    if (kind == Register::ControlTable) {
        // Each rule is written with its labels by the rule window's service,
        // which makes its own transaction: every row is checked first, also
        // against the rows before it in the file.
        std::vector<Combination> seen;
        for (const CsvRecord& row : rows) {
            Record r = row.record;
            RegisterOutcome outcome = checkRegisterRow(tables, r, nullptr, 0);
            const Combination c = ruleOf(r).combination;
            if (outcome.ok && std::find(seen.begin(), seen.end(), c) != seen.end())
                outcome = refuse("ista kombinacija VOB, VOI i OO već je u datoteci");
            if (!outcome.ok) refused(row, reason(outcome));
            seen.push_back(c);
        }
        if (!load.refusedRows.empty()) return load;
        ControlTableMaintenance maintenance(tables);
        for (const CsvRecord& row : rows) {
            if (maintenance.insert(ruleOf(row.record)) != result::Ok) {
                load.error = source + ", line " + std::to_string(row.line) +
                             ": the rule could not be written; the rows before it were";
                return load;
            }
            ++load.added;
        }
        load.ok = true;
        return load;
    }

    if (!work.begin({&table})) {
        load.error = source + ": no transaction could be started on " + def.fileName;
        return load;
    }
    for (const CsvRecord& row : rows) {
        Record r = row.record;
        const RegisterOutcome outcome = checkRegisterRow(tables, r, nullptr, 0);
        if (!outcome.ok) {
            refused(row, reason(outcome));
            continue;
        }
        table.record() = r;
        if (table.add(/*silent=*/true) != result::Ok) {
            refused(row, addProblem(table));
            continue;
        }
        ++load.added;
    }
    if (!load.refusedRows.empty()) {
        work.rollback();
        load.added = 0;
        return load;
    }
    if (work.commit(table, 25) != result::Ok) {
        load.added = 0;
        load.error = source + ": the records could not be saved in " + def.fileName;
        return load;
    }
    load.ok = true;
    return load;
}

} // namespace mvz
