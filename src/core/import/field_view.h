#pragma once
// The field view of one line of a checked submission file, as the review
// lists show it under the selected line: a heading for the record type and
// up to 26 pairs of a label (a letter for a numeric "N" or character "C"
// field and the field code) and the field's characters in the line. The
// labels are the review window's own texts, used as written even where they
// differ from the record layout's field names ("C MV0NAOB " for MV0NAZO,
// "C MV5PRIM" for MV5IMPR, "N MV7RBSU" for the form identifier MV7IDOB).
// A line of a type other than 0, 3, 5, 7 and 9 shows a blank heading and
// blank pairs.

#include <array>
#include <string>
#include <string_view>

namespace mvz {

class Record;

inline constexpr std::size_t kFieldViewPairs = 26;
inline constexpr std::size_t kFieldViewValueWidth = 50;

struct FieldViewPair {
    std::string label; // UTF-8, as written (at most 10 characters); empty when unused
    std::string value; // UTF-8, the field's characters (at most 50); empty when unused
    friend bool operator==(const FieldViewPair&, const FieldViewPair&) = default;
};

struct FieldView {
    std::string heading; // UTF-8; empty for a line of another type
    std::array<FieldViewPair, kFieldViewPairs> pairs;
    std::size_t used = 0; // pairs filled, in field order
};

// The field view of a line (CP1250, 250 characters as TBIZLAZ holds it; the
// record type is character 250, so a shorter line shows blank pairs).
FieldView fieldView(std::string_view line);

// The line of a TBIZLAZ row: ULZ:REDAK1 to ULZ:REDAK5 joined (250 characters).
std::string lineOfRow(const Record& ulz);

} // namespace mvz
