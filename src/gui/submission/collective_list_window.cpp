#include "submission/collective_list_window.h"

#include "data/tables.h"

namespace mvz {

ListWindowSpec collectiveListSpec() {
    ListWindowSpec decl;
    decl.title =
        QStringLiteral("Pregled obveznika i file-ova čije podatke spajamo u zbirni format ");
    decl.table = "TBT";
    decl.format = "40R(2)|M~Poslodavac~C(0)@n9@170L(2)|M~Ime obveznika~@s50@"
                  "40L(2)|M~Identifikator~@s7@200L(2)|M~Naziv datoteke~@s60@";
    decl.fields = {"TBT:FIRMA", "TBT:IMEFIRME", "TBT:IDENTIFIKATOR", "TBT:IMEFILE"};
    decl.tabs = {{"KEYIDENTIKATOR",
                  QStringLiteral("REDOSLIJED: Identifikator"),
                  LocatorKind::Incremental,
                  QStringLiteral("Traži se identifikator"),
                  {}}};
    decl.selectButton = {QStringLiteral("O&daberi"), QString()};
    decl.insertButton = {QStringLiteral("&Dodaj"), QStringLiteral("Dodaj datoteku za spajanje")};
    decl.changeButton = {QStringLiteral("P&romjeni"), QStringLiteral("Promjena podataka")};
    decl.removeButton = {QStringLiteral("&Obriši"), QStringLiteral("Izbaci datoteku iz spajanja")};
    decl.closeButton = {QStringLiteral("&Zatvori"), QStringLiteral("Zatvori prozor")};
    const RecordWindowSpec row = collectiveRowSpec();
    decl.update = [row](Tables& tables) { return RecordWindow(tables, row).run(); };
    return decl;
}

RecordWindowSpec collectiveRowSpec() {
    RecordWindowSpec decl;
    decl.table = "TBT";
    decl.insertTitle = QStringLiteral("Dodavanje podataka");
    decl.changeTitle = QStringLiteral("Promjena podataka");
    decl.groupCaption = QStringLiteral("Update the TBTMPDAT File");
    FormField number{"TBT:FIRMA", QStringLiteral("Poslodavac :"), "@n3", {}};
    decl.fields = {
        number,
        {"TBT:IMEFIRME", QStringLiteral("Naziv poslodavca :"), "@s50", {}},
        {"TBT:IDENTIFIKATOR", QStringLiteral("Identifikator :"), "@s9",
         QStringLiteral("Identifikator obrasca i vrsta obračuna")},
        {"TBT:IMEFILE", QStringLiteral("Naziv datoteke :"), "@s60", {}},
    };
    return decl;
}

QWidget* createCollectiveList(const std::string& dataDir, ErrorReporter& errors) {
    auto* window = new ListWindow(std::make_unique<Tables>(dataDir, errors), collectiveListSpec());
    if (!window->start()) return nullptr; // it deletes itself
    return window;
}

} // namespace mvz
