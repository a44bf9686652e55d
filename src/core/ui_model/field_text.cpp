#include "ui_model/field_text.h"

#include "base/cp1250.h"
#include "data/record.h"

namespace mvz {

std::string formatField(const Record& record, int field, const std::optional<Picture>& picture) {
    if (!picture) return record.display(field);
    const FieldDef& f = record.def().fields[field];
    switch (f.type) {
    case FieldType::Text:
        if (picture->kind() == Picture::Kind::Text)
            return cp1250ToUtf8(picture->format(record.text(field)));
        return picture->format(std::string_view(record.display(field)));
    case FieldType::Packed:
        return picture->format(record.decimal(field));
    case FieldType::Real:
        return picture->format(std::string_view(record.display(field)));
    default:
        if (picture->kind() == Picture::Kind::Date)
            return picture->formatDate(static_cast<int32_t>(record.integer(field)));
        if (picture->kind() == Picture::Kind::Time)
            return picture->formatTime(static_cast<int32_t>(record.integer(field)));
        return picture->format(static_cast<long long>(record.integer(field)));
    }
}

std::string readField(Record& record, int field, const std::optional<Picture>& picture,
                      std::string_view utf8) {
    const FieldDef& f = record.def().fields[field];
    if (!picture || f.type == FieldType::Text || picture->kind() == Picture::Kind::Text)
        return record.setFromDisplay(field, utf8);
    const std::string name = record.def().qualified(field);
    if (picture->kind() == Picture::Kind::Date || picture->kind() == Picture::Kind::Time) {
        auto v = picture->kind() == Picture::Kind::Date ? picture->readDate(utf8)
                                                        : picture->readTime(utf8);
        if (!v || !record.setInteger(field, *v)) return name + ": not a valid value";
        return {};
    }
    const int scale = f.type == FieldType::Packed ? f.decimals : 0;
    auto v = picture->read(utf8, scale);
    if (!v) return name + ": not a number";
    if (f.type == FieldType::Packed) {
        if (!record.setDecimal(field, *v)) return name + ": the number does not fit the field";
        return {};
    }
    if (f.type == FieldType::Real) {
        record.setReal(
            field, static_cast<double>(v->units()) / [&] {
                double d = 1;
                for (int i = 0; i < v->scale(); ++i)
                    d *= 10;
                return d;
            }());
        return {};
    }
    if (v->scale() != 0 && v->rescale(0) != *v) return name + ": a whole number is expected";
    if (!record.setInteger(field, v->rescale(0).units()))
        return name + ": the number does not fit the field";
    return {};
}

} // namespace mvz
