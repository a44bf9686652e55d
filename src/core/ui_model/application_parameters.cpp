#include "ui_model/application_parameters.h"

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/reporter.h"
#include "data/error_reporter.h"
#include "data/record.h"
#include "data/tables.h"
#include "data/text_table.h"
#include "rules/identifier.h"

namespace mvz {

namespace {

constexpr std::size_t kFolderWidth = 128;

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

std::string withTrailingSeparator(std::string folder) {
    folder = trimRight(std::move(folder));
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

ApplicationParameters::ApplicationParameters(Tables& tables)
    : tables_(tables), apl_(tables.access("APL")) {}

ApplicationParameters::~ApplicationParameters() {
    close();
}

TableAccess& ApplicationParameters::table() {
    return apl_;
}

Record& ApplicationParameters::record() {
    return apl_.record();
}

void ApplicationParameters::message(const std::string& text) {
    MessageBox box;
    box.title = std::string(kTitle);
    box.text = text;
    box.icon = MessageIcon::Exclamation;
    tables_.errors().reporter().show(box);
}

void ApplicationParameters::open() {
    const TableDef& def = apl_.def();
    apl_.setShareMode(ShareMode::DenyWrite);
    if (apl_.open(/*silent=*/true) != result::Ok) {
        message("Open greska......" + std::to_string(apl_.lastError().code));
    } else {
        opened_ = true;
        readOnly_ = apl_.file() && apl_.file()->readOnly();
        if (readOnly_) {
            // Another program holds the parameters: show them, but they
            // cannot be changed here.
            tables_.errors().setFile(def.fileName);
            tables_.errors().raise(2);
        }
    }
    Record& rec = apl_.record();
    rec.clear();
    rec.setInteger(def.fieldIndex("RB"), 1);
    if (opened_) {
        found_ = apl_.fetch(def.keyIndex("KEYRB")) == result::Ok;
        if (!found_) {
            message("Greska kod citanja APLPARAm rb=" + std::to_string(apl_.lastError().code));
            rec.clear();
            rec.setInteger(def.fieldIndex("RB"), 1);
        }
    }
    readMz0Folder();
}

void ApplicationParameters::close() {
    if (opened_) apl_.close();
    opened_ = false;
}

std::string ApplicationParameters::value(std::string_view field) const {
    return apl_.record().display(apl_.def().fieldIndex(field));
}

std::string ApplicationParameters::setValue(std::string_view field, std::string_view utf8) {
    return apl_.record().setFromDisplay(apl_.def().fieldIndex(field), utf8);
}

void ApplicationParameters::readMz0Folder() {
    mz0Folder.clear();
    const TableDef& def = tables_.access("IZLF").def();
    TextTable file(def);
    if (file.open(tables_.storage().pathOf(def), ShareMode::ReadOnly)) return;
    Record line(def);
    if (!file.set() && !file.next(line)) mz0Folder = line.display(0);
    file.close();
}

bool ApplicationParameters::writeMz0Folder() {
    const TableDef& def = tables_.access("IZLF").def();
    const std::string path = tables_.storage().pathOf(def);
    Record line(def);
    line.clear();
    StorageError e;
    std::string why = line.setFromDisplay(0, mz0Folder);
    if (!why.empty()) {
        message("MZ0 pretinac: " + why);
        return false;
    }
    TextTable file(def);
    e = file.open(path, ShareMode::Exclusive);
    if (e.code == err::FileNotFound && !(e = file.create(path, tables_.storage().fileMode())))
        e = file.open(path, ShareMode::Exclusive);
    if (!e) e = file.empty();
    if (!e) e = file.add(line);
    if (!e) e = file.flush();
    file.close();
    if (e) {
        message("Greška kod upisa u " + def.fileName + ": " + e.text + " (" +
                std::to_string(e.code) + ")");
        return false;
    }
    return true;
}

std::vector<MunicipalityChoice> ApplicationParameters::municipalities() {
    std::vector<MunicipalityChoice> out;
    TableAccess& opc = tables_.access("OPC");
    if (opc.open() != result::Ok) return out;
    const TableDef& def = opc.def();
    const int name = def.fieldIndex("NAZIV");
    const int code = def.fieldIndex("SIFRA");
    opc.setOrder(def.keyIndex("KEYNAZIV"));
    while (opc.next() == result::Ok)
        out.push_back({opc.record().display(name), opc.record().display(code)});
    opc.close();
    return out;
}

void ApplicationParameters::chooseMunicipality(const MunicipalityChoice& m) {
    setValue("NAZSJED", m.name);
    setValue("SIFSJED", m.code);
}

std::optional<std::string> ApplicationParameters::checkIdentifier(std::string_view utf8) {
    std::optional<std::string> bytes = utf8ToCp1250(utf8);
    IdentifierResult r;
    if (bytes) r = CheckIdentifier(*bytes);
    if (!r.valid) {
        message(std::string(kIdentifierMessage));
        return std::nullopt;
    }
    return cp1250ToUtf8(clipRight(r.stored));
}

ApplicationParameters::SaveResult ApplicationParameters::save() {
    const TableDef& def = apl_.def();
    Record& rec = apl_.record();
    const int jmbg = def.fieldIndex("JMBG");
    IdentifierResult id = CheckIdentifier(rec.text(jmbg));
    if (!id.valid) {
        message(std::string(kIdentifierMessage));
        return SaveResult::IdentifierRefused;
    }
    rec.setText(jmbg, id.stored);

    std::vector<std::pair<std::string, std::string>> folders;
    for (std::string_view f : kFolderFields)
        folders.emplace_back(std::string(f), withTrailingSeparator(value(f)));
    const std::string mz0 = withTrailingSeparator(mz0Folder);
    for (const auto& [field, folder] : folders) {
        if (utf8ToCp1250Lossy(folder).size() > kFolderWidth) {
            message("Naziv pretinca je predug (najviše 127 znakova): " + folder);
            return SaveResult::Failed;
        }
    }
    if (utf8ToCp1250Lossy(mz0).size() > kFolderWidth) {
        message("Naziv pretinca je predug (najviše 127 znakova): " + mz0);
        return SaveResult::Failed;
    }
    for (const auto& [field, folder] : folders)
        setValue(field, folder);
    mz0Folder = mz0;

    bool ok = true;
    int r = result::Failed;
    if (!opened_ || readOnly_) {
        message("Put Error " + std::to_string(opened_ ? err::AccessDenied : apl_.lastError().code));
        ok = false;
    } else {
        rec.setInteger(def.fieldIndex("RB"), 1);
        r = found_ ? apl_.change() : apl_.add(/*silent=*/true);
        if (r == result::Ok) {
            found_ = true;
        } else {
            message("Put Error " + std::to_string(apl_.lastError().code));
            ok = false;
        }
    }
    if (!writeMz0Folder()) ok = false;
    return ok ? SaveResult::Saved : SaveResult::Failed;
}

} // namespace mvz
