#include "codes/rate_windows.h"

#include "data/tables.h"
#include "print/rate_list.h"
#include "ui/list_report.h"

namespace mvz {

namespace {

// A code chosen from its code table, the entries showing `display`.
FormField codeLookup(const char* field, const char* prompt, const char* table,
                     const char* display) {
    FormField f{field, QString::fromUtf8(prompt), {}, {}, FormField::Kind::Lookup};
    f.lookup = {table, "KEYSIFRA", std::string(table) + ":" + display,
                std::string(table) + ":SIFRA"};
    return f;
}

} // namespace

ListWindowSpec rateListSpec() {
    ListWindowSpec decl;
    decl.title = QStringLiteral("Stope doprinosa za mirovinsko osiguranje");
    decl.table = "STO1";
    decl.format = "24L(2)|M~VO~@s2@24L(2)|M~VOB~@s2@24L(2)|M~OO~@s2@16L(2)|M~B~@s1@"
                  "24L(2)|M~Član~@s1@44R(2)|M~I. stup~@n-7.2@44R(2)|M~II. stup~@n-7.2@";
    decl.fields = {"STO1:VRSTOBRACUNA", "STO1:VRSTAOBVEZNIKA", "STO1:OSNOVOBRA", "STO1:STAZ",
                   "STO1:CLANDN",       "STO1:PRVISTUP1",      "STO1:DRUGISTUP1"};
    decl.tabs = {{"KEYOSNOV",
                  QStringLiteral("REDOSLJED: Osnov obračuna"),
                  LocatorKind::Incremental,
                  QStringLiteral("Traži se šifra osnove obračuna"),
                  {}}};
    decl.selectButton = {QStringLiteral("Preuzmi označeni redak"), QString()};
    decl.insertButton = {QStringLiteral("Dodaj"),
                         QStringLiteral("Upiši novi obračunski koeficijent")};
    decl.changeButton = {QStringLiteral("Promijeni"), QStringLiteral("Promjena podataka ")};
    decl.printButton = {QStringLiteral("Ispiši"),
                        QStringLiteral("Ispiši obračunske koeficijente na pisač")};
    decl.helpButton = {QStringLiteral("Upute"), QStringLiteral("Upute za rad")};
    const RecordWindowSpec row = rateRowSpec();
    decl.update = [row](Tables& tables) { return RecordWindow(tables, row).run(); };
    decl.print = [](Tables& tables, int, QWidget* window) {
        printList(window, tables.storage().dataDir(), tables.errors(),
                  [](Tables& t, const std::string&, Reporter& reporter) {
                      return printRates(t, reporter);
                  });
    };
    return decl;
}

RecordWindowSpec rateRowSpec() {
    RecordWindowSpec decl;
    decl.table = "STO1";
    decl.insertTitle = QStringLiteral("Dodavanje podataka");
    decl.changeTitle = QStringLiteral("Promjena podataka");
    decl.groupCaption = QStringLiteral("OBRAČUNSKI KOEFICIJENTI");
    FormField member{
        "STO1:CLANDN",           QStringLiteral("Osoba je član OMF (D/N) :"), "@s1", {},
        FormField::Kind::Choice, {QStringLiteral("D"), QStringLiteral("N")}};
    decl.fields = {
        codeLookup("STO1:VRSTOBRACUNA", "Vrsta obračuna :", "VUP", "OPIS"),
        member,
        codeLookup("STO1:VRSTAOBVEZNIKA", "Vrsta obveznika :", "VOB", "SKROPIS"),
        codeLookup("STO1:OSNOVOBRA", "Osnov obračuna :", "TBO", "SKROPIS"),
        codeLookup("STO1:STAZ", "Uvećani staž :", "STA", "SKROPIS"),
        {"STO1:PRVISTUP1", QStringLiteral("Stopa za I. stup"), "@N5`2", {}},
        {"STO1:DRUGISTUP1", QStringLiteral("Stopa za II. stup"), "@N5`2", {}},
    };
    return decl;
}

void registerRateWindows(WindowRegistry& registry) {
    registry.registerWindow("rates", [](const WindowContext& context) -> QWidget* {
        auto* window = new ListWindow(std::make_unique<Tables>(context.dataDir, context.errors),
                                      rateListSpec());
        if (!window->start()) return nullptr; // it deletes itself
        return window;
    });
}

} // namespace mvz
