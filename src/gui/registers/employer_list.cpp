#include "registers/employer_list.h"

#include "data/tables.h"
#include "print/employer_list.h"
#include "registers/employer_window.h"
#include "ui/list_report.h"

namespace mvz {

ListWindowSpec employerListSpec() {
    ListWindowSpec decl;
    decl.title = QStringLiteral("Popis obveznika - poslodavaca");
    decl.table = "POS";
    decl.format = "25R(2)|M~Rbr~R(10)@N4_@73L(2)|M~Identifikacijski broj~L(5)@s13@"
                  "152L(2)|M~Naziv obveznika~@s60@154L(2)|M~Adresa obveznika~@s60@"
                  "27L(2)|M~Vrsta~@s2@56L(2)|M~Identifikator~@s4@";
    decl.fields = {"POS:REDBROJ", "POS:JMBG",          "POS:NAZIV",
                   "POS:ADRESA",  "POS:VRSTOBVEZNIKA", "POS:IDENTIFIKATOR"};
    decl.tabs = {{"KEYREDBROJ",
                  QStringLiteral("REDOSLIJED: Naziv poslodavca"),
                  LocatorKind::None,
                  QString(),
                  {}}};
    decl.selectButton = {QStringLiteral("Odaberi"), QStringLiteral("Odaberi poslodavca")};
    decl.insertButton = {QStringLiteral("Dodaj"), QStringLiteral("Upis novog poslodavca")};
    decl.changeButton = {QStringLiteral("Otvori"),
                         QStringLiteral("Promjena podataka za poslodavca")};
    decl.removeButton = {QStringLiteral("Obriši"), QStringLiteral("Obriši označeni redak")};
    decl.printButton = {QStringLiteral("Ispiši"), QStringLiteral("Ispiši poslodavce na pisač")};
    decl.helpButton = {QStringLiteral("Upute"), QString()};
    decl.update = [](Tables& tables) { return EmployerWindow(tables).run(); };
    decl.print = [](Tables& tables, int, QWidget* window) {
        printList(window, tables.storage().dataDir(), tables.errors(),
                  [](Tables& t, const std::string& stamp, Reporter& reporter) {
                      return printEmployers(t, stamp, reporter);
                  });
    };
    return decl;
}

QWidget* createEmployerList(const WindowContext& context) {
    auto* window = new ListWindow(std::make_unique<Tables>(context.dataDir, context.errors),
                                  employerListSpec());
    if (!window->start()) return nullptr; // it deletes itself
    return window;
}

} // namespace mvz
