#include "submission/formed_forms_list.h"

#include "data/error_reporter.h"
#include "data/table_access.h"
#include "data/tables.h"
#include "submission/page_a_window.h"

namespace mvz {

namespace {

// The page-A window on the highlighted form (change, delete). A form is
// added by forming it: an insert says where.
std::uint8_t openForm(Tables& tables) {
    if (PendingRequest == request::Insert) {
        MessageBox box;
        box.text = "Obrazac se dodaje formiranjem: Evidencije / 2. Formiranje obrazaca";
        box.icon = MessageIcon::Information;
        tables.errors().reporter().show(box);
        return response::Cancelled;
    }
    const Record& a = tables.access("A").record();
    const std::string key(a.text(a.def().fieldIndex("KONVEZA")));
    PageAWindow window(tables, key);
    return window.run();
}

} // namespace

ListWindowSpec formedFormsListSpec() {
    ListWindowSpec decl;
    decl.title = QStringLiteral("Pregled formiranja obrazaca za  ZOVAK");
    decl.table = "A";
    decl.format = "172L(2)|M~Naziv/prezime i ime~@s40@35L(2)|M~Identif.~@s7@32L(2)|M~God.~@s4@"
                  "20L(2)|M~Mje.~@s2@36L(2)|M~VrsUpla~@s2@40R(2)|M~Osiguranika~C@n5@"
                  "48R(2)|M~Stranica~C@n5@72R|M~Bruto~C(2)@n10.2@72R|M~Osnovica~D(2)@n10.2@"
                  "72C|M~I. stup~D(2)@n10.2@72R(2)|M~II. stup~@n10.2@72R|M~Iznos plaće~D(2)@n10.2@";
    decl.fields = {"A:NAZIV",   "A:IDENTIFIKATOR", "A:OBRGOD",     "A:OBRMJE",
                   "A:VRSUPLA", "A:BROJOSIG",      "A:BROJSTRANA", "A:IZNOS7",
                   "A:IZNOS8",  "A:IZNOS9",        "A:IZNOS10",    "A:IZNOS11"};
    ListWindowSpec::Tab byKey{"KEYIDENTIKATOR",
                              QStringLiteral("REDOSLIJED: Poslodavac, godina, red. broj"),
                              LocatorKind::Incremental,
                              QStringLiteral("Traži se identifikator (firma, godina i rbr):"),
                              {}};
    ListWindowSpec::Tab byName{"KEYFIRMA",
                               QStringLiteral("Naziv firme"),
                               LocatorKind::Incremental,
                               QStringLiteral("Naziv poslodavca:"),
                               {}};
    decl.tabs = {byKey, byName};
    decl.selectButton = {QStringLiteral("O&daberi"), QString()};
    decl.insertButton = {QStringLiteral("&Dodaj"), QStringLiteral("Obrazac se dodaje formiranjem")};
    decl.changeButton = {QStringLiteral("&Otvori"), QStringLiteral("Pregled i ispis obrasca")};
    decl.removeButton = {QStringLiteral("&Obriši"),
                         QStringLiteral("Obriši obrazac i njegove stranice B")};
    decl.closeButton = {QStringLiteral("&Zatvori"), QStringLiteral("Zatvori prozor")};
    decl.update = openForm;
    return decl;
}

QWidget* createFormedFormsList(const WindowContext& context) {
    auto* window = new ListWindow(std::make_unique<Tables>(context.dataDir, context.errors),
                                  formedFormsListSpec());
    if (!window->start()) return nullptr; // it deletes itself
    return window;
}

} // namespace mvz
