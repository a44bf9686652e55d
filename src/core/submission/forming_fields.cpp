#include "submission/forming_fields.h"

#include <cstdlib>

#include "base/fixed_text.h"

namespace mvz {

namespace {

bool digits(std::string_view t) {
    if (t.empty()) return false;
    for (char c : t)
        if (c < '0' || c > '9') return false;
    return true;
}

int number(const std::string& text) {
    const std::string_view t = trim(text);
    return digits(t) && t.size() < 9 ? std::atoi(std::string(t).c_str()) : 0;
}

} // namespace

std::string checkFormingField(const FormingFields& f, FormingField field) {
    switch (field) {
    case FormingField::Sequence: {
        const std::string_view t = trim(f.sequence);
        return digits(t) ? checkSequence(t.size() < 9 ? number(f.sequence) : 99999) : std::string();
    }
    case FormingField::Year:
        return checkFormingYear(f.year);
    case FormingField::Month:
        return checkFormingMonth(f.month, std::string(trim(f.type)));
    case FormingField::FirstDay:
        return checkFormingDay(f.firstDay, number(f.year), number(f.month));
    case FormingField::LastDay:
        return checkFormingDay(f.lastDay, number(f.year), number(f.month));
    case FormingField::PayYear:
        return checkPayYear(f.payYear);
    case FormingField::PayMonth:
        return checkPayMonth(f.payMonth);
    case FormingField::Type:
    case FormingField::None:
        break;
    }
    return {};
}

FormingFieldCheck formingRequestOf(const FormingFields& f, FormingRequest& rq) {
    for (FormingField field :
         {FormingField::Sequence, FormingField::Year, FormingField::Month, FormingField::FirstDay,
          FormingField::LastDay, FormingField::PayYear, FormingField::PayMonth}) {
        std::string message = checkFormingField(f, field);
        if (!message.empty()) return {std::move(message), field};
    }
    rq.payer = f.payer;
    rq.calculationType = std::string(trim(f.type));
    rq.year = number(f.year);
    rq.month = number(f.month);
    rq.firstDay = number(f.firstDay);
    rq.lastDay = number(f.lastDay);
    rq.payYear = number(f.payYear);
    rq.payMonth = number(f.payMonth);
    rq.sequence = number(f.sequence);
    rq.sendingDate = f.sendingDate;
    rq.mode = f.mode;
    rq.job = f.job;
    return {};
}

} // namespace mvz
