#include "rules/employer_checks.h"

#include "base/fixed_text.h"
#include "data/table_access.h"
#include "rules/identifier.h"

namespace mvz {

namespace {

EmployerCheck failed(const char* message, EmployerField focus) {
    return {false, message, focus};
}

bool blank(const Record& employer, const char* name) {
    return clipRight(employer.text(employer.def().fieldIndex(name))).empty();
}

bool payerTypeKnown(TableAccess& payerTypes, const Record& employer) {
    Record& type = payerTypes.record();
    type.clear();
    type.setText(type.def().fieldIndex("SIFRA"),
                 employer.text(employer.def().fieldIndex("VRSTOBVEZNIKA")));
    return payerTypes.fetch(payerTypes.def().keyIndex("KEYSIFRA")) == result::Ok;
}

} // namespace

EmployerCheck employerIdentifierLeft(Record& employer) {
    const int field = employer.def().fieldIndex("JMBG");
    const IdentifierResult id = CheckIdentifier(employer.text(field));
    if (!id.valid)
        return failed("Provjerite identifikacijski broj obveznika ", EmployerField::Identifier);
    employer.setText(field, id.stored);
    return {};
}

EmployerCheck checkEmployerBeforeSave(TableAccess& payerTypes, Record& employer) {
    if (blank(employer, "NAZIV"))
        return failed("Greška broj 6. Naziv ili prezime i ime je obvezan podatak",
                      EmployerField::Name);
    if (blank(employer, "ADRESA"))
        return failed("Greška broj 7. Adresa obveznika je obvezan podatak", EmployerField::Address);
    if (blank(employer, "KONTAKT"))
        return failed("Greška broj 8. Kontakt osoba se obvezno upisuje", EmployerField::Contact);
    if (!payerTypeKnown(payerTypes, employer))
        return failed("Pogrešna vrsta obveznika. Ispravite !", EmployerField::None);
    return employerIdentifierLeft(employer);
}

} // namespace mvz
