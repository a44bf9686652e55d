#include "import/field_view.h"

#include <span>

#include "base/cp1250.h"
#include "data/record.h"
#include "import/review_support.h"
#include "submission/record_format.h"

namespace mvz {

namespace {

struct ViewType {
    char type;
    std::string_view heading;
    std::span<const std::string_view> labels; // one per field of the type's layout
};

constexpr std::string_view kLabels0[] = {"N MV0REZ1 ", "C MV0IBOO", "C MV0NAOB ", "C MV0ADOB ",
                                         "C MV0OSOB",  "C MV0TELE", "C MV0MAIL",  "C MV0DTMN",
                                         "C MV0OFOR",  "C MV0REZE", "N MV0TIPS"};
constexpr std::string_view kLabels3[] = {
    "N MV3REZ1", "C MV3IBOO", "N MV3IDOB", "C MV3NAOB", "C MV3ADOB", "N MV3VROB",
    "N MV3MMGG", "N MV3VROI", "N MV3BROS", "N MV3IBRT", "N MV3IOST", "N MV3IST1",
    "N MV3IST2", "N MV3INET", "N MV3IGMM", "C MV3REZE", "N MV3TIPS"};
constexpr std::string_view kLabels5[] = {
    "N MV5RBRO", "C MV5IBOO", "C MV5PRIM", "N MV5GROP", "N MV5OSOB", "N MV5RAZD", "N MV5IBRT",
    "N MV5IOSN", "N MV5IST1", "N MV5IST2", "N MV5INET", "C MV5REZE", "N MV5TIPS"};
constexpr std::string_view kLabels7[] = {"N MV7REZ1", "C MV7IBOO", "N MV7RBSU", "N MV7BRSL",
                                         "N MV7DTRS", "C MV7REZE", "N MV7TIPS"};
constexpr std::string_view kLabels9[] = {"N MV9REZ1", "C MV9IBOO", "N MV9DTMN",
                                         "N MV9BROJ", "C MV9REZE", "N MV9TIPS"};

constexpr ViewType kViews[] = {
    {'0', "POČETNI SLOG FORMATA - tip sloga 0", kLabels0},
    {'3', "VODEĆI SLOG JEDNOG OBRASCA - tip sloga 3", kLabels3},
    {'5', "SLOG POJEDINAČNE TRANSAKCIJE - tip sloga 5", kLabels5},
    {'7', "ZAKLJUČNI SLOG JEDNOG OBRASCA - tip sloga 7", kLabels7},
    {'9', "ZAKLJUČNI SLOG FORMATA - tip sloga 9", kLabels9},
};

} // namespace

FieldView fieldView(std::string_view line) {
    FieldView view;
    // A shorter line has no type character, so it is a line of no known type.
    const char type = line.size() >= kRecordLength ? line[kRecordLength - 1] : ' ';
    const RecordLayout* layout = recordLayout(type);
    for (const ViewType& v : kViews) {
        if (v.type != type || layout == nullptr) continue;
        view.heading = std::string(v.heading);
        const auto values = splitFields(*layout, line);
        for (std::size_t i = 0; i < v.labels.size() && i < values.size(); ++i) {
            view.pairs[i].label = std::string(v.labels[i]);
            view.pairs[i].value =
                cp1250ToUtf8(values[i].substr(0, std::min(values[i].size(), kFieldViewValueWidth)));
        }
        view.used = std::min(v.labels.size(), values.size());
    }
    return view;
}

std::string lineOfRow(const Record& ulz) {
    std::string line;
    line.reserve(kRecordLength);
    for (const char* piece : {"REDAK1", "REDAK2", "REDAK3", "REEDAK4", "REDAK5"})
        line += ulz.text(review::field(ulz, piece));
    return line;
}

} // namespace mvz
