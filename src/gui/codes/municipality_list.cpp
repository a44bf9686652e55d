#include "codes/municipality_list.h"

#include "codes/municipality_list_report.h"
#include "data/tables.h"
#include "rules/municipality.h"

namespace mvz {

ListWindowSpec municipalityListSpec() {
    ListWindowSpec decl;
    decl.title = QStringLiteral("Šifarnik - Općine i gradovi");
    decl.table = "OPC";
    decl.format = "30R(2)|M~Rbr~R(4)@N5_@40L(2)|M~Šifra~L(2)@s4@170L(2)|M~Naziv općine~L(2)@s40@";
    decl.fields = {"OPC:REDBROJ", "OPC:SIFRA", "OPC:NAZIV"};
    decl.tabs = {
        {"KEYREDB",
         QStringLiteral("REDOSLJED: Redni broj"),
         LocatorKind::Incremental,
         QStringLiteral("Traži se redni broj"),
         {}},
        {"KEYSIFRA",
         QStringLiteral("Šifra općine grada"),
         LocatorKind::Incremental,
         QStringLiteral("Traži se šifra općine/grada"),
         {}},
        {"KEYNAZIV",
         QStringLiteral("Naziv općine"),
         LocatorKind::Incremental,
         QStringLiteral("Traži se naziv općine"),
         {}},
    };
    decl.selectButton = {QStringLiteral("Odaberi"), QStringLiteral("Odaberi označenu šifru")};
    decl.insertButton = {QStringLiteral("Dodaj"), QStringLiteral("Upis nove općine ili grada")};
    decl.changeButton = {QStringLiteral("Promijeni"), QStringLiteral("Promjena podataka")};
    decl.update = runMunicipalityRow;
    decl.print = [](Tables& tables, int order, QWidget* window) {
        const MunicipalityListOrder orders[] = {MunicipalityListOrder::ByNumber,
                                                MunicipalityListOrder::Stored,
                                                MunicipalityListOrder::ByName};
        printMunicipalityList(window, tables.storage().dataDir(), tables.errors(),
                              orders[std::clamp(order, 0, 2)]);
    };
    return decl;
}

RecordWindowSpec municipalityRowSpec() {
    RecordWindowSpec decl;
    decl.table = "OPC";
    decl.insertTitle = QStringLiteral("Općine/gradovi - Upis nove općien/grada");
    decl.changeTitle = QStringLiteral("Općine/gradovi - Promjena podataka");
    decl.groupCaption = QStringLiteral("Osnovni podaci");
    FormField number{"OPC:REDBROJ", QStringLiteral("Redni broj :"), "@N5_", {}};
    number.readOnly = true; // numbered by the table
    FormField code{"OPC:SIFRA", QStringLiteral("Šifra općine/grada"), "@s4", {}};
    code.digitsOnly = true;
    code.check = [](const Record& r) -> std::optional<FieldRefusal> {
        auto error = checkMunicipalityCodeField(r.text(r.def().fieldIndex("SIFRA")));
        if (!error) return std::nullopt;
        return FieldRefusal{error->message, {}, error->errorSound};
    };
    FormField name{"OPC:NAZIV", QStringLiteral("Naziv općine/grada :"), "@s40", {}};
    FormField town{
        "OPC:GRAD", QStringLiteral("Grad :"), "@s1",
        {},         FormField::Kind::Choice,  {QStringLiteral("N"), QStringLiteral("D")}};
    decl.fields = {number, code, name, town};
    decl.primeFields = [](Record& r) {
        // A new row is a municipality until marked a city.
        r.setText(r.def().fieldIndex("GRAD"), "N");
        return 0;
    };
    return decl;
}

std::uint8_t runMunicipalityRow(Tables& tables) {
    RecordWindow window(tables, municipalityRowSpec());
    return window.run();
}

QWidget* createMunicipalityList(const WindowContext& context) {
    auto* window = new ListWindow(std::make_unique<Tables>(context.dataDir, context.errors),
                                  municipalityListSpec());
    if (!window->start()) return nullptr; // it deletes itself
    return window;
}

} // namespace mvz
