#include "codes/code_table_windows.h"

#include "data/table_access.h"
#include "data/tables.h"
#include "print/code_table_list.h"
#include "rules/code_table_checks.h"
#include "ui/list_report.h"

namespace mvz {

namespace {

// What differs between the four tables.
struct Instance {
    const char* menuItem;
    const char* prefix;
    int codeLength;
    const char* listTitle;
    const char* codeColumn;
    const char* tab;
    const char* locator;
    const char* insertTip;
    const char* changeCaption;
    const char* changeTip;
    const char* group;
    const char* insertTitle;
    const char* changeTitle;
    const char* codePrompt;
    const char* shortPrompt;
    const char* longPrompt;
};

const Instance kInstances[] = {
    {"calculationTypes", "VUP", 2, "Vrste obračuna/ispravka", "Sifra",
     "REDOSLIJED: Šifra vrste obračuna/ispravka", "Traži se šifra", "Upis nove vrste uplate",
     "Promijeni", "Promjena podataka", "VRSTE OBRAČUNA/ISPRAVKA",
     "Vrste obračuna - Upis nove šifre", "Vrste obračuna - Promjena podataka",
     "Šifra vrste obračuna", "Skraćeni opis", "Opis pojma"},
    {"payerTypes", "VOB", 2, "Vrsta obveznika", "Šifra", "REDOSLIJED: Šifra ", "Traži se šifra",
     "Upis nove vrste obveznika", "Promijeni", "Promjena podataka", "VRSTE OBVEZNIKA",
     "Upis nove vrste obveznika uplate", "Vrste obveznika - Promjena podataka",
     "Šifra obveznika :", "Skraćeni opis :", "Opis pojma :"},
    {"insuranceBases", "TBO", 2, "Pregled osnova obračuna", "Sifra", "REDOSLIJED: Šifra",
     "Šifra osonove obračuna", "", "Otvori", "Ispravak podataka", "PODACI O OSNOVI OBRAČUNA",
     "Upis nove osnove obračuna", "Promjena podataka", "Šifra", "Skraćeni opis", "Opis"},
    {"extendedService", "STA", 1, "Staž s uvećanim trajanjem", "Šifra",
     "REDOSLIJED: Šifra vrste staža", "Traži se šifra",
     "Upis nove vrste staža s uvećanim trajanjem", "Promijeni", "Promjena podataka", "OZNAKE STAŽA",
     "Upis novog podatka", "Promjena podataka", "Šifra staža", "Skraćeni opis", "Opis staža"},
};

QString q(const char* text) {
    return QString::fromUtf8(text);
}

std::string field(const Instance& i, const char* name) {
    return std::string(i.prefix) + ":" + name;
}

// The outcome of a core check as the form's refusal.
std::optional<FieldRefusal> refusalOf(const CodeTableCheck& check) {
    if (check.proceed) return std::nullopt;
    return FieldRefusal{check.message, {}, false};
}

ListWindowSpec listOf(const Instance& i) {
    ListWindowSpec decl;
    decl.title = q(i.listTitle);
    decl.table = i.prefix;
    decl.format = std::string("40L(2)|M~") + i.codeColumn + "~@s" + std::to_string(i.codeLength) +
                  "@240L(2)|M~Skraćeni opis~@s80@";
    decl.fields = {field(i, "SIFRA"), field(i, "SKROPIS")};
    decl.tabs = {{"KEYSIFRA", q(i.tab), LocatorKind::Incremental, q(i.locator), {}}};
    decl.insertButton = {QStringLiteral("Dodaj"), q(i.insertTip)};
    decl.changeButton = {q(i.changeCaption), q(i.changeTip)};
    const std::string prefix = i.prefix;
    decl.print = [prefix](Tables& tables, int, QWidget* window) {
        printList(window, tables.storage().dataDir(), tables.errors(),
                  [prefix](Tables& t, const std::string& stamp, Reporter& reporter) {
                      return printCodeTable(t, codeTableList(prefix), stamp, reporter);
                  });
    };
    return decl;
}

RecordWindowSpec rowOf(const Instance& i) {
    RecordWindowSpec decl;
    decl.table = i.prefix;
    decl.insertTitle = q(i.insertTitle);
    decl.changeTitle = q(i.changeTitle);
    decl.groupCaption = q(i.group);
    const std::string prefix = i.prefix;
    FormField code{field(i, "SIFRA"), q(i.codePrompt), "@s" + std::to_string(i.codeLength), {}};
    code.check = [prefix](const Record& r) {
        const std::string_view value = r.text(r.def().fieldIndex("SIFRA"));
        CodeTableCheck check = checkCodeFilled(value);
        if (check.proceed && prefix == "VUP") check = checkCalculationTypeCode(value);
        return refusalOf(check);
    };
    FormField shortText{field(i, "SKROPIS"), q(i.shortPrompt), "@s80", {}};
    FormField longText{field(i, "OPIS"), q(i.longPrompt), {}, {}, FormField::Kind::Text};
    decl.fields = {code, shortText, longText};
    if (prefix == "VOB") {
        // Information for the user; no operation evaluates them.
        const QStringList yesNo{QStringLiteral("DA"), QStringLiteral("NE")};
        decl.fields.push_back(
            {"VOB:MB01",
             QStringLiteral("Identifikacijski broj obavezan podatak za pravnu osobu :"),
             "@s2",
             {},
             FormField::Kind::Choice,
             yesNo});
        decl.fields.push_back({"VOB:MBG",
                               QStringLiteral("Za fizičku osobu :"),
                               "@s2",
                               {},
                               FormField::Kind::Choice,
                               yesNo});
    }
    if (prefix == "VUP") {
        decl.saveCheck = [](TableAccess& table,
                            std::uint8_t request) -> std::optional<SaveRefusal> {
            if (request != request::Insert) return std::nullopt;
            const CodeTableCheck check = checkNewCalculationType(table, table.record());
            if (check.proceed) return std::nullopt;
            return SaveRefusal{check.message, check.focus == CodeTableField::Description
                                                  ? "VUP:OPIS"
                                                  : "VUP:SIFRA"};
        };
    }
    return decl;
}

} // namespace

std::vector<CodeTableWindows> codeTableWindows() {
    std::vector<CodeTableWindows> out;
    for (const Instance& i : kInstances) {
        CodeTableWindows w{i.menuItem, listOf(i), rowOf(i)};
        const RecordWindowSpec row = w.row;
        w.list.update = [row](Tables& tables) { return RecordWindow(tables, row).run(); };
        out.push_back(std::move(w));
    }
    return out;
}

void registerCodeTableWindows(WindowRegistry& registry) {
    for (CodeTableWindows& w : codeTableWindows()) {
        ListWindowSpec list = w.list;
        registry.registerWindow(w.menuItem, [list](const WindowContext& context) -> QWidget* {
            auto* window =
                new ListWindow(std::make_unique<Tables>(context.dataDir, context.errors), list);
            if (!window->start()) return nullptr; // it deletes itself
            return window;
        });
    }
}

} // namespace mvz
