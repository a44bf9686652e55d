#pragma once
// The data dictionary: every table the system stores or reads, with its file
// name, storage kind, field prefix, record layout and keys. A record in
// memory is the fixed layout declared here (CP1250 text, packed decimals).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

enum class FieldType : std::uint8_t { Text, Byte, Short, Long, Date, Real, Packed };
enum class TableKind : std::uint8_t { Keyed, LineText, CommaDelimited, DBase };

enum KeyFlag : unsigned {
    KeyPrimary = 1,
    KeyUnique = 2,
    KeyNoCase = 4,     // text components compared and stored in upper case
    KeyOmitBlank = 8,  // records whose components are all blank are not in the key
    KeyAutoNumber = 16 // the last component is numbered on add
};

struct FieldDef {
    std::string name; // without the prefix: "NAZIV"
    FieldType type = FieldType::Text;
    int offset = 0;
    int size = 0;     // bytes in the record
    int decimals = 0; // packed decimals only
    std::string externalName;

    int digits() const { return type == FieldType::Packed ? 2 * size - 1 : 0; }
    bool isText() const { return type == FieldType::Text; }
    bool isInteger() const {
        return type == FieldType::Byte || type == FieldType::Short || type == FieldType::Long ||
               type == FieldType::Date;
    }
};

struct KeyDef {
    std::string name; // "KEYNAZIV"
    std::vector<int> fields;
    unsigned flags = 0;
    std::string description; // shown in the duplicate-key message

    bool unique() const { return flags & (KeyUnique | KeyPrimary); }
    bool noCase() const { return flags & KeyNoCase; }
    bool omitBlank() const { return flags & KeyOmitBlank; }
    bool autoNumber() const { return flags & KeyAutoNumber; }
};

struct MemoDef {
    std::string name;
    int size = 0;
};

struct TableDef {
    std::string fileName; // "TBPOSLOD.DAT"
    TableKind kind = TableKind::Keyed;
    std::string prefix; // "POS"; empty for TBZOVAK.TXT
    int recordLength = 0;
    bool localeFlag = false; // text passes the locale's character tables
    std::string role;
    std::vector<FieldDef> fields;
    std::vector<KeyDef> keys;
    MemoDef memo;
    // The image of a cleared record: text blank, numbers zero.
    std::string blankImage;

    // The file may be created when it is missing (all but the dBase source).
    bool creatable() const { return kind != TableKind::DBase; }
    // "TBPOSLOD" for "TBPOSLOD.DAT", "TEKSTDAT" for "C:\TEKSTDAT.TXT".
    std::string stem() const;
    // The file name without any drive or directory ("TEKSTDAT.TXT").
    std::string baseName() const;
    // Accepts "NAZIV", "POS:NAZIV" or "pos:naziv"; -1 when unknown.
    int fieldIndex(std::string_view name) const;
    int keyIndex(std::string_view name) const;
    int primaryKey() const;
    int autoNumberKey() const;
    std::string qualified(int field) const;  // "POS:NAZIV"
    std::string qualifiedKey(int key) const; // "POS:KEYNAZIV"
};

// All declarations in dictionary order; the two second declarations (RAD1
// over TBZAPOSL.DAT, RAD2 over TBOSIGUR.DAT) are entries of their own.
const std::vector<TableDef>& dictionary();

// By prefix ("POS"), file name ("TBPOSLOD.DAT") or file stem ("TBPOSLOD"),
// case-insensitive. For a file with two declarations the first one is found
// by file name; the second by its prefix. nullptr when unknown.
const TableDef* findTable(std::string_view name);

} // namespace mvz
