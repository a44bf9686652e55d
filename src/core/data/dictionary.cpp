#include "data/dictionary.h"

#include <stdexcept>
#include <strings.h>

#include "data/dictionary_builder.h"

namespace mvz {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Drops a leading "PREFIX:" when it names this table.
std::string_view unqualified(const TableDef& t, std::string_view name) {
    auto colon = name.find(':');
    if (colon != std::string_view::npos && sameName(name.substr(0, colon), t.prefix))
        return name.substr(colon + 1);
    return name;
}

} // namespace

std::string TableDef::baseName() const {
    auto slash = fileName.find_last_of("\\/");
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

std::string TableDef::stem() const {
    std::string base = baseName();
    auto dot = base.rfind('.');
    return dot == std::string::npos ? base : base.substr(0, dot);
}

int TableDef::fieldIndex(std::string_view name) const {
    name = unqualified(*this, name);
    for (size_t i = 0; i < fields.size(); ++i)
        if (sameName(fields[i].name, name)) return static_cast<int>(i);
    return -1;
}

int TableDef::keyIndex(std::string_view name) const {
    name = unqualified(*this, name);
    for (size_t i = 0; i < keys.size(); ++i)
        if (sameName(keys[i].name, name)) return static_cast<int>(i);
    return -1;
}

int TableDef::primaryKey() const {
    for (size_t i = 0; i < keys.size(); ++i)
        if (keys[i].flags & KeyPrimary) return static_cast<int>(i);
    return -1;
}

int TableDef::autoNumberKey() const {
    for (size_t i = 0; i < keys.size(); ++i)
        if (keys[i].autoNumber()) return static_cast<int>(i);
    return -1;
}

std::string TableDef::qualified(int field) const {
    return prefix.empty() ? fields[field].name : prefix + ":" + fields[field].name;
}

std::string TableDef::qualifiedKey(int key) const {
    return prefix + ":" + keys[key].name;
}

const TableDef* findTable(std::string_view name) {
    for (const auto& t : dictionary())
        if (!t.prefix.empty() && sameName(t.prefix, name)) return &t;
    for (const auto& t : dictionary())
        if (sameName(t.fileName, name) || sameName(t.baseName(), name) || sameName(t.stem(), name))
            return &t;
    return nullptr;
}

namespace dictionary_builder {

std::vector<TableDef> build(std::vector<TableSpec> specs) {
    std::vector<TableDef> out;
    out.reserve(specs.size());
    for (auto& s : specs) {
        TableDef t;
        t.fileName = s.fileName;
        t.kind = s.kind;
        t.prefix = s.prefix;
        t.localeFlag = s.localeFlag;
        t.role = s.role;
        t.memo = s.memo;
        int offset = 0;
        for (auto& fs : s.fields) {
            if (fs.statedOffset != offset)
                throw std::logic_error(s.fileName + ": field " + fs.name + " declared at offset " +
                                       std::to_string(fs.statedOffset) + " but follows at " +
                                       std::to_string(offset));
            FieldDef fd;
            fd.name = fs.name;
            fd.type = fs.type.type;
            fd.offset = offset;
            fd.size = fs.type.size;
            fd.decimals = fs.type.decimals;
            fd.externalName = fs.externalName;
            offset += fd.size;
            t.fields.push_back(std::move(fd));
        }
        if (offset != s.statedLength)
            throw std::logic_error(s.fileName + ": record length " + std::to_string(offset) +
                                   " differs from the declared " + std::to_string(s.statedLength));
        t.recordLength = offset;
        t.blankImage.assign(offset, '\0');
        for (const auto& f : t.fields) {
            if (f.type == FieldType::Text) t.blankImage.replace(f.offset, f.size, f.size, ' ');
            if (f.type == FieldType::Packed) t.blankImage[f.offset + f.size - 1] = 0x0C; // +0
        }
        for (auto& ks : s.keys) {
            KeyDef kd;
            kd.name = ks.name;
            kd.flags = ks.flags;
            kd.description = ks.description;
            for (auto& c : ks.components) {
                int i = t.fieldIndex(c);
                if (i < 0)
                    throw std::logic_error(s.fileName + ": key " + ks.name +
                                           " names unknown field " + c);
                kd.fields.push_back(i);
            }
            t.keys.push_back(std::move(kd));
        }
        out.push_back(std::move(t));
    }
    return out;
}

} // namespace dictionary_builder

} // namespace mvz
