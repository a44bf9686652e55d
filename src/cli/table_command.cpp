#include "table_command.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>
#include <sstream>

#include "cli_session.h"
#include "data/csv_table_load.h"
#include "data/csv_text.h"
#include "data/table_rows.h"
#include "exit_codes.h"
#include "rules/register_checks.h"

namespace mvz {

namespace {

bool isText(const TableDef& def) {
    return def.kind == TableKind::LineText || def.kind == TableKind::CommaDelimited;
}

std::string accessName(const TableDef& def) {
    return def.prefix.empty() ? def.fileName : def.prefix;
}

const TableDef& resolveTable(const std::string& name) {
    const TableDef* def = findTable(name);
    if (!def) throw UsageError("there is no table " + name + " (`mvz` lists the data files)");
    if (def->kind == TableKind::DBase)
        throw UsageError(def->baseName() +
                         " is a dBase source file, which the command line cannot read");
    return *def;
}

std::string keyList(const TableDef& def) {
    std::string out;
    for (const auto& k : def.keys)
        out += (out.empty() ? "" : ", ") + k.name;
    return out;
}

// The named key, or the table's primary key (its first key) when none is named.
int resolveKey(const TableDef& def, const std::string& name) {
    if (isText(def) || def.keys.empty())
        throw UsageError(def.baseName() + " is a text file without keys: its lines can be "
                                          "listed, dumped, added and loaded");
    if (name.empty()) return def.primaryKey() >= 0 ? def.primaryKey() : 0;
    const int key = def.keyIndex(name);
    if (key < 0)
        throw UsageError("table " + def.stem() + " has no key " + name +
                         " (its keys: " + keyList(def) + ")");
    return key;
}

std::vector<FieldAssignment> resolveValues(const TableDef& def,
                                           const std::vector<std::string>& words) {
    std::vector<FieldAssignment> out;
    if (std::string why = parseAssignments(def, words, out); !why.empty()) throw UsageError(why);
    return out;
}

std::vector<FieldAssignment> resolveKeyValues(const TableDef& def, int key,
                                              const std::vector<std::string>& words) {
    if (words.empty())
        throw UsageError("name the record by its key " + def.qualifiedKey(key) + ": " +
                         keyComponents(def, key) + " as FIELD=VALUE");
    std::vector<FieldAssignment> values = resolveValues(def, words);
    if (std::string why = checkKeyAssignments(def, key, values); !why.empty())
        throw UsageError(why);
    return values;
}

std::string describe(const std::vector<std::string>& words) {
    std::string out;
    for (const auto& w : words)
        out += (out.empty() ? "" : " ") + w;
    return out;
}

class Printer {
  public:
    Printer(std::ostream& out, const TableDef& def, bool csv) : out_(out), csv_(csv) {
        const auto names = fieldNames(def);
        out_ << (csv_ ? csvRecord(names) : textRow(names));
    }
    void print(const Record& record) {
        const auto values = displayValues(record);
        out_ << (csv_ ? csvRecord(values) : textRow(values));
    }

  private:
    std::ostream& out_;
    bool csv_;
};

int finish(CliSession& s, int code) {
    s.out().flush();
    return s.reporter().fatalShown() ? kExitRefused : code;
}

int list(CliSession& s, const TableDef& def, const TableCommand& c) {
    const bool text = isText(def);
    if (text && (!c.key.empty() || !c.from.empty() || c.reverse))
        throw UsageError(def.baseName() + " is a text file: it is listed from its first line "
                                          "to its last, without --key, --from or --reverse");
    const int key = text ? -1 : resolveKey(def, c.key);
    const std::vector<FieldAssignment> from = resolveValues(def, c.from);
    if (!text)
        if (std::string why = checkKeyAssignments(def, key, from); !why.empty())
            throw UsageError(why);

    if (!s.fileExists(def)) { // nothing stored yet
        Printer(s.out(), def, c.csv);
        return finish(s, kExitOk);
    }
    TableAccess& t = s.tables().access(accessName(def));
    t.setShareMode(ShareMode::ReadOnly);
    if (t.open() != result::Ok) return finish(s, kExitRefused);
    Printer printer(s.out(), def, c.csv);
    if (!text) t.setOrder(key);
    if (!from.empty()) {
        t.record().clear();
        if (std::string why = applyAssignments(t.record(), from); !why.empty())
            return s.refuse(why);
        t.setFromBuffer();
    } else {
        t.setStart();
    }
    int code = kExitOk;
    for (long n = 0; c.limit < 0 || n < c.limit; ++n) {
        if ((c.reverse ? t.previous() : t.next()) != result::Ok) {
            if (!t.atEof()) code = kExitRefused; // a read failed; its message was shown
            break;
        }
        printer.print(t.record());
    }
    t.close();
    return finish(s, code);
}

// Finds the records the key values name; refuses when there are none, or
// (with `single`) more than one.
int find(CliSession& s, const TableDef& def, const TableCommand& c, bool single,
         TableAccess*& table, std::vector<std::int64_t>& positions) {
    const int key = resolveKey(def, c.key);
    const std::vector<FieldAssignment> values = resolveKeyValues(def, key, c.values);
    const std::string what =
        "no record of " + def.stem() + " has " + def.keys[key].name + " " + describe(c.values);
    if (!s.fileExists(def)) return s.refuse(what);
    TableAccess& t = s.tables().access(accessName(def));
    if (t.open() != result::Ok) return finish(s, kExitRefused);
    table = &t;
    if (std::string why = findByKey(t, key, values, positions); !why.empty()) return s.refuse(why);
    if (s.reporter().fatalShown()) return kExitRefused;
    if (positions.empty()) return s.refuse(what);
    if (single && positions.size() > 1)
        return s.refuse(std::to_string(positions.size()) + " records of " + def.stem() + " have " +
                        def.keys[key].name + " " + describe(c.values) +
                        "; name one record by a key whose values are unique");
    return kExitOk;
}

int get(CliSession& s, const TableDef& def, const TableCommand& c) {
    TableAccess* t = nullptr;
    std::vector<std::int64_t> positions;
    if (int code = find(s, def, c, false, t, positions)) return code;
    Printer printer(s.out(), def, c.csv);
    for (std::int64_t p : positions)
        if (t->fetchPosition(p) == result::Ok) printer.print(t->record());
    return finish(s, kExitOk);
}

int add(CliSession& s, const TableDef& def, const TableCommand& c) {
    if (c.values.empty()) throw UsageError("add needs the record's values as FIELD=VALUE");
    const std::vector<FieldAssignment> values = resolveValues(def, c.values);
    // The values are read before the table is opened, so that a refused value
    // leaves even a missing file uncreated.
    Record record(def);
    if (std::string why = applyAssignments(record, values); !why.empty())
        return s.refuse(why + "; nothing was added");
    TableAccess& t = s.tables().access(accessName(def));
    if (hasRegisterChecks(def)) {
        // The checks and questions of the window that keeps the table.
        if (!addRegisterRecord(s.tables(), record).ok) return s.refuse("nothing was added");
        Printer(s.out(), def, c.csv).print(t.record());
        return finish(s, kExitOk);
    }
    if (t.open() != result::Ok) return finish(s, kExitRefused);
    t.record() = record;
    if (t.add() != result::Ok) return finish(s, kExitRefused);
    Printer(s.out(), def, c.csv).print(t.record());
    t.close();
    return finish(s, kExitOk);
}

int change(CliSession& s, const TableDef& def, const TableCommand& c) {
    if (c.set.empty()) throw UsageError("change needs the new values: --set FIELD=VALUE...");
    const std::vector<FieldAssignment> changes = resolveValues(def, c.set);
    TableAccess* t = nullptr;
    std::vector<std::int64_t> positions;
    if (int code = find(s, def, c, true, t, positions)) return code;
    if (t->fetchPosition(positions.front()) != result::Ok)
        return s.refuse("the record was deleted meanwhile");
    if (std::string why = applyAssignments(t->record(), changes); !why.empty())
        return s.refuse(why + "; nothing was changed");
    if (hasRegisterChecks(def)) {
        const Record changed = t->record();
        t->close(); // the window's service opens what it needs
        if (!changeRegisterRecord(s.tables(), positions.front(), changed).ok)
            return s.refuse("nothing was changed");
        Printer(s.out(), def, c.csv).print(t->record());
        return finish(s, kExitOk);
    }
    if (s.tables().relations(accessName(def)).change() != result::Ok)
        return finish(s, kExitRefused);
    Printer(s.out(), def, c.csv).print(t->record());
    return finish(s, kExitOk);
}

int remove(CliSession& s, const TableDef& def, const TableCommand& c) {
    TableAccess* t = nullptr;
    std::vector<std::int64_t> positions;
    if (int code = find(s, def, c, true, t, positions)) return code;
    if (t->fetchPosition(positions.front()) != result::Ok)
        return s.refuse("the record was deleted meanwhile");
    if (hasRegisterChecks(def)) {
        t->close();
        if (!deleteRegisterRecord(s.tables(), def, positions.front()).ok)
            return s.refuse("nothing was deleted");
    } else if (s.tables().relations(accessName(def)).remove() != result::Ok) {
        return finish(s, kExitRefused);
    }
    s.out() << "deleted 1 record of " << def.stem() << " with its dependants\n";
    return finish(s, kExitOk);
}

void reportLoaded(CliSession& s, const TableDef& def, std::size_t added) {
    s.out() << "loaded " << added << (added == 1 ? " record" : " records") << " into "
            << def.baseName() << '\n';
}

// A table kept by a window: every row through the window's checks, each
// refused row named by its line.
int loadChecked(CliSession& s, const TableDef& def, const TableCommand& c) {
    std::ifstream in(c.file, std::ios::binary);
    if (!in) return s.refuse(c.file + ": cannot be read: " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<CsvRecord> rows;
    if (std::string why = readCsvRecords(def, text.str(), c.file, rows); !why.empty())
        return s.refuse(why + "; nothing was loaded");
    const RegisterLoad r = loadRegisterRows(s.tables(), def, rows, c.file);
    for (const std::string& row : r.refusedRows)
        s.err() << row << '\n';
    if (!r.refusedRows.empty())
        return s.refuse(std::to_string(r.refusedRows.size()) +
                        (r.refusedRows.size() == 1 ? " row was" : " rows were") +
                        " refused; nothing was loaded");
    if (!r.ok) return s.refuse(r.error);
    reportLoaded(s, def, r.added);
    return finish(s, kExitOk);
}

int load(CliSession& s, const TableDef& def, const TableCommand& c) {
    requireRegularInput(c.file);
    if (hasRegisterChecks(def)) return loadChecked(s, def, c);
    TableAccess& t = s.tables().access(accessName(def));
    const CsvLoadResult r = loadCsvFile(t, c.file);
    if (!r.ok) return s.refuse(r.error);
    reportLoaded(s, def, r.added);
    return finish(s, kExitOk);
}

} // namespace

int runTableCommand(CliSession& s, const TableCommand& c) {
    const TableDef& def = resolveTable(c.table);
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    switch (c.action) {
    case TableCommand::Action::List:
        return list(s, def, c);
    case TableCommand::Action::Dump: {
        TableCommand all;
        all.csv = c.csv;
        return list(s, def, all);
    }
    case TableCommand::Action::Get:
        return get(s, def, c);
    case TableCommand::Action::Add:
        return add(s, def, c);
    case TableCommand::Action::Change:
        return change(s, def, c);
    case TableCommand::Action::Delete:
        return remove(s, def, c);
    case TableCommand::Action::Load:
        return load(s, def, c);
    }
    return kExitUsage;
}

} // namespace mvz
