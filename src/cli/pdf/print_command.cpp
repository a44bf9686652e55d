#include "pdf/print_command.h"

#include <CLI/CLI.hpp>

#include <QGuiApplication>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "cli_command.h"
#include "cli_session.h"
#include "exit_codes.h"
#include "import/review_support.h"
#include "print/code_table_list.h"
#include "print/control_table_list.h"
#include "print/employer_list.h"
#include "print/insured_person_list.h"
#include "print/municipality_list.h"
#include "print/page_a_print.h"
#include "print/page_b_print.h"
#include "print/print_stamp.h"
#include "print/rate_list.h"
#include "ui/page_painter.h"

namespace mvz {

namespace {

struct PrintOptions {
    std::string list;
    std::string key;
    std::optional<long> payer;
    std::string form; // the form's link key, as `--form` resolved it
    std::string pdf;
};

using ListJob =
    std::function<ReportResult(Tables&, const PrintOptions&, const std::string& stamp, Reporter&)>;

struct PrintableList {
    const char* name;
    const char* what;
    const char* keys; // the orders --key takes; empty: one order only
    bool takesPayer;  // a list of one employer's rows: --payer names the employer
    ListJob job;
    bool takesForm = false; // a page of one form: --form names the form
};

std::string upper(std::string text) {
    for (char& ch : text)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return text;
}

// The key without its prefix ("OPC:KEYNAZIV" and "keynaziv" are KEYNAZIV).
std::string bareKey(const std::string& key) {
    const std::string k = upper(key);
    const auto colon = k.find(':');
    return colon == std::string::npos ? k : k.substr(colon + 1);
}

ListJob codeTableJob(const char* prefix) {
    return [prefix](Tables& t, const PrintOptions&, const std::string& stamp, Reporter& r) {
        return printCodeTable(t, codeTableList(prefix), stamp, r);
    };
}

const std::vector<PrintableList>& printableLists() {
    static const std::vector<PrintableList> lists = {
        {"municipalities", "ŠIFARNIK - OPĆINE I GRADOVI", "KEYREDB, KEYNAZIV, stored (default)",
         false,
         [](Tables& t, const PrintOptions& o, const std::string& stamp, Reporter& r) {
             const std::string k = bareKey(o.key);
             const MunicipalityListOrder order = k == "KEYREDB"    ? MunicipalityListOrder::ByNumber
                                                 : k == "KEYNAZIV" ? MunicipalityListOrder::ByName
                                                                   : MunicipalityListOrder::Stored;
             return municipalityList(t, order, stamp, r);
         }},
        {"calculation-types", "vrste obračuna/ispravka (TBVRSUPL)", "", false, codeTableJob("VUP")},
        {"payer-types", "vrste obveznika (TBVRSOBV)", "", false, codeTableJob("VOB")},
        {"insurance-bases", "osnove osiguranja (TBOSNOBR)", "", false, codeTableJob("TBO")},
        {"extended-service", "staž s uvećanim trajanjem (TBOZNSTA)", "", false,
         codeTableJob("STA")},
        {"rates", "stope doprinosa (TBSTOPE)", "", false,
         [](Tables& t, const PrintOptions&, const std::string&, Reporter& r) {
             return printRates(t, r);
         }},
        {"control-table", "vezne kontrole (VEZNATAB); also rewrites TEXTSIF.TXT", "", false,
         [](Tables& t, const PrintOptions&, const std::string&, Reporter& r) {
             review::useWorkFolder(t);
             return printControlTable(t, r);
         }},
        {"employers", "POPIS POSLODAVACA (TBPOSLOD)", "", false,
         [](Tables& t, const PrintOptions&, const std::string& stamp, Reporter& r) {
             return printEmployers(t, stamp, r);
         }},
        {"employees", "O S I G U R A N I C I (TBZAPOSL)", "", true,
         [](Tables& t, const PrintOptions& o, const std::string& stamp, Reporter& r) {
             return printInsuredPersons(t, *o.payer, stamp, r);
         }},
        {"page-a", "page A of the form (\"Stranica &A\")", "", false,
         [](Tables& t, const PrintOptions& o, const std::string&, Reporter& r) {
             return printPageA(t, o.form, PageAMode::WithControlCode, r);
         },
         true},
        {"page-a-no-hash", "page A without the control code (\"A bez HASH\")", "", false,
         [](Tables& t, const PrintOptions& o, const std::string&, Reporter& r) {
             return printPageA(t, o.form, PageAMode::WithoutControlCode, r);
         },
         true},
        {"page-b", "the pages B of the form in row order (\"Stranica &B\")", "", false,
         [](Tables& t, const PrintOptions& o, const std::string&, Reporter& r) {
             return printPageB(t, o.form, PageBOrder::Rows, r);
         },
         true},
        {"page-b-2", "the pages B of the form by surname (\"Stranica B-2\")", "", false,
         [](Tables& t, const PrintOptions& o, const std::string&, Reporter& r) {
             return printPageB(t, o.form, PageBOrder::Names, r);
         },
         true},
        {"pages-a", "page A of every form on the collective list (\"&Ispis A stranica\")", "",
         false,
         [](Tables& t, const PrintOptions&, const std::string&, Reporter& r) {
             return printPagesAOfRun(t, PageAMode::WithControlCode, r);
         }},
    };
    return lists;
}

std::string listHelp() {
    std::string out = "Lists:\n";
    for (const PrintableList& l : printableLists()) {
        std::string line = std::string("  ") + l.name;
        line.resize(22, ' ');
        out += line + l.what;
        if (*l.keys) out += std::string("; --key ") + l.keys;
        if (l.takesPayer) out += "; --payer N, the employer (required)";
        if (l.takesForm) out += "; --form FORM (required)";
        out += '\n';
    }
    out += "FORM names a form as the formed-forms list and `mvz form` show it: its link key,\n"
           "the 7-digit form identifier (payer number, sequence number) followed by the\n"
           "2-character calculation type (001005001), or the identifier alone (0010050)\n"
           "when the payer formed only one type under it.\n";
    return out;
}

// The link key of the form named by --form: a link key that the formed forms
// hold, or a form identifier under which exactly one form was formed.
std::string resolveForm(Tables& tables, const std::string& given) {
    const std::string wanted(trim(given));
    if (wanted.size() != 7 && wanted.size() != 9)
        throw UsageError("--form " + given +
                         ": name the form by its link key (9 characters, e.g. 001005001) or "
                         "its identifier (7 digits, e.g. 0010050)");
    if (wanted.size() == 9) return wanted;
    TableAccess& a = tables.access("A");
    if (a.open() != result::Ok) return wanted;
    a.setOrder(a.def().keyIndex("KEYIDENTIKATOR"));
    a.record().clear();
    a.record().setText(a.def().fieldIndex("KONVEZA"), utf8ToCp1250Lossy(wanted));
    a.setFromBuffer();
    std::vector<std::string> found;
    while (a.next() == result::Ok) {
        const std::string link(clipRight(a.record().text(a.def().fieldIndex("KONVEZA"))));
        if (link.compare(0, 7, wanted) != 0) break;
        found.push_back(cp1250ToUtf8(link));
    }
    a.close();
    if (found.size() == 1) return found.front();
    if (found.empty()) return wanted; // the print says that the form is missing
    std::string names;
    for (const std::string& f : found)
        names += " " + f;
    throw UsageError("--form " + given + " names several forms; give its link key:" + names);
}

bool keyAccepted(const PrintableList& l, const std::string& key) {
    if (key.empty()) return true;
    if (!*l.keys) return false;
    const std::string k = bareKey(key);
    return k == "KEYREDB" || k == "KEYNAZIV" || k == "STORED";
}

// Drawing needs a Qt application; without a display its platform is offscreen.
std::unique_ptr<QGuiApplication> guiApplication() {
    if (QCoreApplication::instance()) return nullptr;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "mvz";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int runPrint(CliSession& s, const PrintOptions& o) {
    const PrintableList* list = nullptr;
    for (const PrintableList& l : printableLists())
        if (o.list == l.name) list = &l;
    if (!list) throw UsageError("there is no list " + o.list + "\n" + listHelp());
    if (!keyAccepted(*list, o.key))
        throw UsageError(*list->keys ? "the list " + o.list + " has no order " + o.key +
                                           " (its orders: " + list->keys + ")"
                                     : "the list " + o.list + " has one order; leave out --key");
    if (o.payer && !list->takesPayer)
        throw UsageError("the list " + o.list +
                         " lists every row of its table; --payer is for a list of one "
                         "employer's rows");
    if (!o.payer && list->takesPayer)
        throw UsageError("the list " + o.list +
                         " lists one employer's rows: name the employer with --payer N");
    if (!o.form.empty() && !list->takesForm)
        throw UsageError("the list " + o.list + " is not a page of one form; leave out --form");
    if (o.form.empty() && list->takesForm)
        throw UsageError("the print " + o.list + " is a page of one form: name it with --form");

    PrintOptions resolved = o;
    if (list->takesForm) resolved.form = utf8ToCp1250Lossy(resolveForm(s.tables(), o.form));
    const std::unique_ptr<QGuiApplication> app = guiApplication();
    const ReportResult result = list->job(s.tables(), resolved, printStampNow(), s.reporter());
    switch (result.status) {
    case ReportStatus::Done:
        break;
    case ReportStatus::NoRecords:
        return s.refuse("the list " + o.list + " has no rows; no PDF was written");
    case ReportStatus::Cancelled:
    case ReportStatus::Failed:
        return s.refuse("the list " + o.list + " could not be made; no PDF was written");
    }
    std::vector<int> pages;
    for (std::size_t p = 1; p <= result.pages.pages.size(); ++p)
        pages.push_back(static_cast<int>(p));
    QString error;
    if (!writePdf(result.pages, pages, QString::fromStdString(o.pdf), &error))
        return s.refuse(error.isEmpty() ? o.pdf + ": the PDF could not be written"
                                        : error.toStdString());
    s.out() << o.pdf << ": " << pages.size() << (pages.size() == 1 ? " page, " : " pages, ")
            << result.records << (result.records == 1 ? " row" : " rows") << '\n';
    return kExitOk;
}

} // namespace

std::string writePdfOffscreen(const PageModel& model, const std::string& path) {
    const std::unique_ptr<QGuiApplication> app = guiApplication();
    std::vector<int> pages;
    for (std::size_t p = 1; p <= model.pages.size(); ++p)
        pages.push_back(static_cast<int>(p));
    QString error;
    if (writePdf(model, pages, QString::fromStdString(path), &error)) return {};
    return error.isEmpty() ? path + ": the PDF could not be written" : error.toStdString();
}

void registerPrintCommand(CLI::App& app, CommandRegistry& registry) {
    auto options = std::make_shared<PrintOptions>();
    CLI::App* cmd =
        app.add_subcommand("print", "write a printed list to a PDF file (no display needed)");
    cmd->add_option("LIST", options->list, "the list (see below)")->required();
    cmd->add_option("--key", options->key, "the order of a list that has several");
    cmd->add_option("--payer", options->payer,
                    "the employer (POS:REDBROJ) of a list of one employer's rows");
    cmd->add_option("--form", options->form,
                    "the form of a page print: its link key (001005001) or identifier "
                    "(0010050), see below");
    cmd->add_option("--pdf", options->pdf, "the PDF file to write")->required();
    cmd->footer(listHelp());
    registry.add(cmd, [options](CliSession& s) { return runPrint(s, *options); });
}

} // namespace mvz
