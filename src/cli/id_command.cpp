#include "id_command.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "cli_command.h"
#include "cli_session.h"
#include "data/csv_text.h"
#include "exit_codes.h"
#include "rules/identifier.h"

namespace mvz {

namespace {

constexpr std::size_t kIdWidth = 13;

struct IdOptions {
    bool csv = false;
    std::vector<std::string> values;
};

struct Checked {
    std::string field; // the 13-character field, UTF-8
    IdentifierKind kind;
    IdentifierKind looseKind;
    IdentifierResult strict;
    bool loose;
};

// The argument as it stands in the 13-character field (CP1250), padded with
// blanks; a value that cannot stand there is bad usage.
std::string asField(const std::string& utf8) {
    const std::optional<std::string> cp = utf8ToCp1250(utf8);
    if (!cp) throw UsageError("\"" + utf8 + "\" holds characters an identifier cannot hold");
    if (cp->size() > kIdWidth)
        throw UsageError("\"" + utf8 + "\" is longer than the 13 characters of an identifier");
    return fixed(*cp, kIdWidth);
}

Checked check(const std::string& field) {
    Checked c{cp1250ToUtf8(field), strictIdentifierKind(field), identifierKind(field),
              CheckIdentifier(field), CheckIdentifierLoose(field)};
    c.strict.stored = cp1250ToUtf8(c.strict.stored);
    return c;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Quoted whenever it holds a blank, so the field's blanks stay visible.
std::string csvValue(const std::string& value) {
    if (value.find(' ') == std::string::npos) return csvField(value);
    std::string out = "\"";
    for (char ch : value) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + "\"";
}

void printPlain(std::ostream& out, const Checked& c) {
    out << quoted(c.field) << "  " << identifierKindName(c.kind);
    out << std::string(7 - identifierKindName(c.kind).size(), ' ');
    if (c.strict.valid)
        out << "strict: valid, stored " << quoted(c.strict.stored);
    else
        out << "strict: invalid";
    out << "  lenient: " << (c.loose ? "valid" : "invalid");
    if (c.looseKind != c.kind) out << " (read as " << identifierKindName(c.looseKind) << ")";
    out << '\n';
}

void printCsv(std::ostream& out, const Checked& c) {
    out << csvValue(c.field) << ',' << identifierKindName(c.kind) << ','
        << (c.strict.valid ? '1' : '0') << ',' << (c.strict.valid ? csvValue(c.strict.stored) : "")
        << ',' << (c.loose ? '1' : '0') << '\n';
}

int runIdCommand(CliSession& s, const IdOptions& options) {
    std::vector<std::string> fields;
    for (const std::string& value : options.values)
        fields.push_back(asField(value));
    if (options.csv) s.out() << "value,kind,strict,stored,loose\n";
    bool allValid = true;
    for (const std::string& field : fields) {
        const Checked c = check(field);
        allValid = allValid && c.strict.valid;
        if (options.csv)
            printCsv(s.out(), c);
        else
            printPlain(s.out(), c);
    }
    s.out().flush();
    return allValid ? kExitOk : kExitRefused;
}

} // namespace

void registerIdCommand(CLI::App& app, CommandRegistry& registry) {
    auto options = std::make_shared<IdOptions>();
    CLI::App* cmd = app.add_subcommand(
        "id", "check identifiers (JMBG, OIB, MBROJ + MB, J form) with the strict check of data "
              "entry and the lenient check of forming; exit 0 when every value passes the "
              "strict check");
    cmd->add_option("VALUE", options->values,
                    "an identifier as it stands in the 13-character field (a shorter value is "
                    "padded with blanks on the right; an OIB as stored starts with two blanks)")
        ->required();
    cmd->add_flag("--csv", options->csv,
                  "CSV: value,kind,strict,stored,loose with strict and loose as 1 or 0; kind and "
                  "stored are as the strict check takes them (stored is empty when it fails)");
    registry.add(cmd, [options](CliSession& s) { return runIdCommand(s, *options); });
}

} // namespace mvz
