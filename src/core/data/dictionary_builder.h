#pragma once
// The small language the table declarations are written in.

#include <string>
#include <vector>

#include "data/dictionary.h"

namespace mvz::dictionary_builder {

struct TypeSpec {
    FieldType type;
    int size;
    int decimals = 0;
};

inline TypeSpec text(int n) {
    return {FieldType::Text, n};
}
inline TypeSpec byte() {
    return {FieldType::Byte, 1};
}
inline TypeSpec int16() {
    return {FieldType::Short, 2};
}
inline TypeSpec int32() {
    return {FieldType::Long, 4};
}
inline TypeSpec date() {
    return {FieldType::Date, 4};
}
inline TypeSpec real() {
    return {FieldType::Real, 8};
}
inline TypeSpec packed(int bytes, int decimals) {
    return {FieldType::Packed, bytes, decimals};
}

struct FieldSpec {
    std::string name;
    TypeSpec type;
    int statedOffset;
    std::string externalName;
};

inline FieldSpec f(std::string name, TypeSpec type, int offset, std::string external = {}) {
    return {std::move(name), type, offset, std::move(external)};
}

struct KeySpec {
    std::string name;
    std::vector<std::string> components;
    unsigned flags;
    std::string description;
};

inline KeySpec k(std::string name, std::vector<std::string> components, unsigned flags,
                 std::string description) {
    return {std::move(name), std::move(components), flags, std::move(description)};
}

struct TableSpec {
    std::string fileName;
    TableKind kind;
    std::string prefix;
    int statedLength;
    bool localeFlag;
    std::string role;
    std::vector<FieldSpec> fields;
    std::vector<KeySpec> keys;
    MemoDef memo = {};
};

// Computes the offsets, checks them and the record length against the stated
// ones and resolves key components; throws std::logic_error on any mismatch.
std::vector<TableDef> build(std::vector<TableSpec> specs);

} // namespace mvz::dictionary_builder
