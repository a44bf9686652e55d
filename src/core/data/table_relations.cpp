#include "data/table_relations.h"

#include <algorithm>

#include "data/error_reporter.h"
#include "data/sort_value.h"
#include "data/tables.h"

namespace mvz {

namespace {

void copyField(const Record& from, int fromField, Record& to, int toField) {
    const FieldDef& f = from.def().fields[fromField];
    const FieldDef& t = to.def().fields[toField];
    if (f.isText() && t.isText())
        to.setText(toField, from.text(fromField));
    else if (f.type == FieldType::Packed || t.type == FieldType::Packed)
        to.setDecimal(toField, from.decimal(fromField));
    else
        to.setInteger(toField, from.integer(fromField));
}

// The sort value of the dependant key's leading components (the linking
// fields) for the parent's values, written into the dependant's buffer.
std::string linkValue(const Relation& rel, const Record& parent, TableAccess& child, int childKey) {
    Record& c = child.record();
    c.clear();
    for (auto& [pf, cf] : rel.fields)
        copyField(parent, parent.def().fieldIndex(pf), c, child.def().fieldIndex(cf));
    return keyPrefixSortValue(child.def(), child.def().keys[childKey], c, rel.fields.size());
}

std::string currentLinkValue(const Relation& rel, TableAccess& child, int childKey) {
    return keyPrefixSortValue(child.def(), child.def().keys[childKey], child.record(),
                              rel.fields.size());
}

} // namespace

TableRelations::TableRelations(TableAccess& table, Tables& tables)
    : table_(table), tables_(tables) {}

int TableRelations::open(bool silent) {
    return table_.open(silent);
}
void TableRelations::close() {
    table_.close();
}

std::vector<TableRelations::Link> TableRelations::links(bool forDelete) const {
    std::vector<Link> out;
    for (const Relation& rel : tables_.relationTable()) {
        if (rel.parent != table_.def().prefix) continue;
        int mode = forDelete ? rel.onDelete : rel.onChange;
        if (mode == rule::None) continue;
        TableAccess& child = tables_.access(rel.child);
        out.push_back({&rel, &child, child.def().keyIndex(rel.childKey)});
    }
    return out;
}

void TableRelations::collectDeleteTables(std::vector<TableAccess*>& out) {
    if (std::find(out.begin(), out.end(), &table_) != out.end()) return;
    out.push_back(&table_);
    for (const Link& l : links(true))
        tables_.relations(l.child->def().prefix).collectDeleteTables(out);
}

int TableRelations::deleteDependants() {
    for (const Link& l : links(true)) {
        TableAccess& child = *l.child;
        const Relation& rel = *l.relation;
        child.setOrder(l.childKey);
        const std::string link = linkValue(rel, table_.record(), child, l.childKey);
        child.setFromSortValue(link);
        while (child.next() == result::Ok) {
            if (currentLinkValue(rel, child, l.childKey) != link) break;
            ErrorReporter& errors = tables_.errors();
            switch (rel.onDelete) {
            case rule::Restrict:
                errors.setFile(child.def().fileName);
                errors.raise(30);
                return result::Failed;
            case rule::Clear:
                for (auto& pf : rel.fields)
                    child.record().clearField(child.def().fieldIndex(pf.second));
                if (child.change() != result::Ok) return result::Failed;
                break;
            case rule::Cascade:
                if (tables_.relations(child.def().prefix).deleteDependants() != result::Ok)
                    return result::Failed;
                if (child.remove() != result::Ok) return result::Failed;
                break;
            }
        }
        if (!child.atEof() && child.lastError()) return result::Failed;
    }
    return result::Ok;
}

int TableRelations::remove(bool confirm) {
    ErrorReporter& errors = tables_.errors();
    if (confirm) {
        errors.setFile(table_.def().fileName);
        if (errors.raise(9) != result::Ok) return result::Failed;
    }
    if (int r = table_.useCheck()) return r;
    std::vector<TableAccess*> involved;
    collectDeleteTables(involved);
    const std::int64_t position = table_.position();
    table_.savePosition();
    std::vector<TableAccess*> opened;
    int r = result::Ok;
    for (TableAccess* t : involved) {
        if (t == &table_) continue;
        if (t->open() != result::Ok) {
            r = result::Failed;
            break;
        }
        opened.push_back(t);
        t->savePosition();
    }
    std::vector<TableFile*> files;
    for (TableAccess* t : involved)
        if (t->file() && std::find(files.begin(), files.end(), t->file()) == files.end())
            files.push_back(t->file());
    bool inTransaction = false;
    if (r == result::Ok) {
        if (StorageError e = tables_.storage().begin(files)) {
            errors.setFile(table_.def().fileName);
            errors.captureError(e);
            errors.raise(21);
            r = result::Failed;
        } else {
            inTransaction = true;
        }
    }
    if (r == result::Ok && table_.fetchPosition(position) != result::Ok) {
        errors.setFile(table_.def().fileName);
        errors.captureError(table_.lastError());
        errors.raise(11);
        r = result::Failed;
    }
    if (r == result::Ok) r = deleteDependants();
    if (r == result::Ok) r = table_.remove();
    r = finish(r, inTransaction, opened, 11);
    table_.restorePosition();
    return r;
}

int TableRelations::finish(int r, bool inTransaction, const std::vector<TableAccess*>& opened,
                           int commitMessage) {
    if (inTransaction) {
        if (r == result::Ok) {
            if (StorageError e = tables_.storage().commit()) {
                ErrorReporter& errors = tables_.errors();
                errors.setFile(table_.def().fileName);
                errors.captureError(e);
                errors.raise(static_cast<std::uint16_t>(commitMessage));
                r = result::Failed;
            }
        } else {
            tables_.storage().rollback();
        }
    }
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
        (*it)->restorePosition();
        (*it)->close();
    }
    return r;
}

int TableRelations::changeDependants(const std::vector<char>& storedImage) {
    Record stored(table_.def());
    stored.assign(std::string_view(storedImage.data(), storedImage.size()));
    for (const Link& l : links(false)) {
        const Relation& rel = *l.relation;
        bool differs = false;
        for (auto& pf : rel.fields) {
            int f = table_.def().fieldIndex(pf.first);
            const FieldDef& fd = table_.def().fields[f];
            differs |= std::string_view(stored.data() + fd.offset, fd.size) !=
                       std::string_view(table_.record().data() + fd.offset, fd.size);
        }
        if (!differs) continue;
        TableAccess& child = *l.child;
        child.setOrder(l.childKey);
        const std::string link = linkValue(rel, stored, child, l.childKey);
        child.setFromSortValue(link);
        while (child.next() == result::Ok) {
            if (currentLinkValue(rel, child, l.childKey) != link) break;
            if (rel.onChange == rule::Restrict) {
                // The linking fields go back to the values read.
                for (auto& pf : rel.fields) {
                    int f = table_.def().fieldIndex(pf.first);
                    copyField(stored, f, table_.record(), f);
                }
                tables_.errors().setFile(child.def().fileName);
                tables_.errors().raise(31);
                return result::Failed;
            }
            for (auto& [pf, cf] : rel.fields) {
                int c = child.def().fieldIndex(cf);
                if (rel.onChange == rule::Clear)
                    child.record().clearField(c);
                else
                    copyField(table_.record(), table_.def().fieldIndex(pf), child.record(), c);
            }
            if (child.change() != result::Ok) return result::Failed;
            // The changed dependant moved out of the linking range; read on
            // from the start of the range.
            child.setFromSortValue(link);
        }
    }
    return result::Ok;
}

int TableRelations::change(bool redisplay) {
    if (int r = table_.useCheck()) return r;
    std::vector<Link> changing = links(false);
    if (changing.empty()) return table_.change(redisplay);
    StoredRow stored;
    if (StorageError e = table_.file()->read(table_.position(), stored))
        return table_.change(redisplay);
    std::vector<char> image(stored.bytes.begin(), stored.bytes.end());
    std::vector<TableFile*> files{table_.file()};
    std::vector<TableAccess*> opened;
    int r = result::Ok;
    for (const Link& l : changing) {
        if (l.child->open() != result::Ok) {
            r = result::Failed;
            break;
        }
        opened.push_back(l.child);
        l.child->savePosition();
        if (std::find(files.begin(), files.end(), l.child->file()) == files.end())
            files.push_back(l.child->file());
    }
    ErrorReporter& errors = tables_.errors();
    bool inTransaction = false;
    if (r == result::Ok) {
        if (StorageError e = tables_.storage().begin(files)) {
            errors.setFile(table_.def().fileName);
            errors.captureError(e);
            errors.raise(21);
            r = result::Failed;
        } else {
            inTransaction = true;
        }
    }
    if (r == result::Ok) r = changeDependants(image);
    if (r == result::Ok) r = table_.change(redisplay);
    return finish(r, inTransaction, opened, 25);
}

} // namespace mvz
