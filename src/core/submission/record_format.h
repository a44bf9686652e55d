#pragma once
// The records of a submission file: five record types of exactly 250
// characters, each field at a fixed position with a fixed encoding.
//
// The layout of every type is one table (field code, position, width,
// encoding). Building a line, splitting it back into fields and the formal
// control of input files all read the same table, so a position can only be
// wrong in one place. The mirror tables SL0..SL9 of the dictionary hold the
// same fields at the same offsets.
//
// Encodings:
//   C   text, left-aligned, blank-filled, cut at the field width
//   N   digits, right-aligned, zero-filled ("00003")
//   B   blanks
//   D8  date DDMMYYYY
//   MY  month and year MMYYYY
//   YM  year and month YYYYMM
//   ID  13 characters exactly as the identifier is stored
//   A   sign ("-" below zero, else "0" or "+" as the writer chooses) and the
//       absolute value in hundredths as 14 digits (12 integer digits)
//
// A value that does not fit its field (a count above 99999 in a 5-digit
// field, an amount above 12 integer digits, a negative count, an identifier
// longer than 13 characters) is refused: building returns an error naming the
// value and the field and no line, never a cut or wrapped field.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/day_number.h"
#include "base/decimal.h"

namespace mvz {

class Record;

constexpr std::size_t kRecordLength = 250;

enum class FieldEncoding : unsigned char {
    Text,       // C
    Number,     // N
    Blank,      // B (reserved)
    Date8,      // D8
    MonthYear,  // MY
    YearMonth,  // YM
    Identifier, // ID
    Amount,     // A
    Type,       // the record type character (character 250)
};

struct RecordField {
    std::string_view code; // "MV3IBOO"
    int position = 0;      // first character, counted from 1
    int width = 0;
    FieldEncoding encoding = FieldEncoding::Text;
    // The formal control checks the field as a number: every N, D8, MY, YM
    // and A field, the type character, the 12-character REZ1 fields,
    // MV5GROP and MV5OSOB.
    bool numeric = false;

    int offset() const { return position - 1; }
};

struct RecordLayout {
    char type = 0;                       // '0', '3', '5', '7' or '9'
    std::string_view title;              // as the formal control lists it (UTF-8)
    std::string_view mirror;             // prefix of the mirror table: "SL0" .. "SL9"
    std::span<const RecordField> fields; // in position order, together 250 characters

    // -1 when the layout has no such field.
    int fieldIndex(std::string_view code) const;
};

// The five layouts in file order: 0, 3, 5, 7, 9.
std::span<const RecordLayout> recordLayouts();
// nullptr for a character that is not a record type.
const RecordLayout* recordLayout(char type);

// The positive-sign character of amounts: "0" in files formed from a payer's
// employees, "+" in files formed from taken-over payment data.
enum class PositiveSign : char { Zero = '0', Plus = '+' };

struct MonthYear {
    int month = 0;
    int year = 0;
    friend bool operator==(const MonthYear&, const MonthYear&) = default;
};

struct YearMonth {
    int year = 0;
    int month = 0;
    friend bool operator==(const YearMonth&, const YearMonth&) = default;
};

// First and last day of the period within the month (MV5RAZD: 2 + 2 digits).
struct DayPeriod {
    int first = 0;
    int last = 0;
    friend bool operator==(const DayPeriod&, const DayPeriod&) = default;
};

// Texts are CP1250 as they stand in the tables. Text (C) fields read back
// without their trailing blanks; identifier (ID) fields are always the 13
// characters as stored. Reserved fields and the type character are not
// members: building writes blanks and the type, splitting leaves reserved
// content to the formal control (see splitFields).

// Type 0: the sender (the authorised person).
struct SenderRecord {
    std::string MV0IBOO;           // ID  identification number (APL:JMBG)
    std::string MV0NAZO;           // C50 name
    std::string MV0ADOB;           // C50 address
    std::string MV0OSOB;           // C50 contact person
    std::string MV0TELE;           // C10 telephone
    std::string MV0MAIL;           // C30 e-mail address
    CivilDate MV0DTMN;             // D8  sending date
    std::string MV0OFOR = "MZ500"; // C5  format mark
    friend bool operator==(const SenderRecord&, const SenderRecord&) = default;
};

// Type 3: page A of one form.
struct FormHeaderRecord {
    std::string MV3IBOO;   // ID  payer identification number
    int MV3IDOB = 0;       // N4  form sequence number
    std::string MV3NAOB;   // C50 payer name
    std::string MV3ADOB;   // C50 payer address
    int MV3VROB = 0;       // N2  payer type (VOB)
    MonthYear MV3MMGG;     // MY  calculation month and year
    int MV3VROI = 0;       // N2  calculation / correction type (VOI)
    long long MV3BROS = 0; // N5 insured persons
    Decimal MV3IBRT;       // A   calculated pay
    Decimal MV3IOSN;       // A   contribution base
    Decimal MV3IST1;       // A   pillar I contribution
    Decimal MV3IST2;       // A   pillar II contribution
    Decimal MV3INET;       // A   amount paid out
    YearMonth MV3IGMM;     // YM  pay-out year and month
    friend bool operator==(const FormHeaderRecord&, const FormHeaderRecord&) = default;
};

// Type 5: one page-B row.
struct InsuredRecord {
    long long MV5RBRO = 0; // N5  ordinal number of the person within the form
    std::string MV5IBOO;   // ID  identification number of the insured person
    std::string MV5IMPR;   // C30 surname and name
    std::string MV5GROP;   // C4  municipality code
    std::string MV5OSOB;   // C3  insurance basis (2) followed by the extended-service mark (1)
    DayPeriod MV5RAZD;     // N4  first and last day
    Decimal MV5IBRT;       // A
    Decimal MV5IOSN;       // A
    Decimal MV5IST1;       // A
    Decimal MV5IST2;       // A
    Decimal MV5INET;       // A
    friend bool operator==(const InsuredRecord&, const InsuredRecord&) = default;
};

// Type 7: end of one form.
struct FormEndRecord {
    std::string MV7IBOO;   // ID  payer identification number
    int MV7IDOB = 0;       // N4  form sequence number
    long long MV7BRSL = 0; // N5  type-5 records of the form
    CivilDate MV7DTRS;     // D8  sending date
    friend bool operator==(const FormEndRecord&, const FormEndRecord&) = default;
};

// Type 9: end of the file.
struct FileEndRecord {
    std::string MV9IBOO;   // ID  identification number of the authorised person
    CivilDate MV9DTMN;     // D8  sending date
    long long MV9BROJ = 0; // N6  forms (type-3 records) in the file
    friend bool operator==(const FileEndRecord&, const FileEndRecord&) = default;
};

using SubmissionRecord =
    std::variant<SenderRecord, FormHeaderRecord, InsuredRecord, FormEndRecord, FileEndRecord>;

// A built line, or why the record cannot be written.
struct BuiltLine {
    std::string line;  // exactly kRecordLength characters (CP1250) when built
    std::string error; // UTF-8, names the field and the value; empty when built
    bool ok() const { return error.empty(); }
};

BuiltLine buildLine(const SenderRecord& record);
BuiltLine buildLine(const FormHeaderRecord& record, PositiveSign sign);
BuiltLine buildLine(const InsuredRecord& record, PositiveSign sign);
BuiltLine buildLine(const FormEndRecord& record);
BuiltLine buildLine(const FileEndRecord& record);
BuiltLine buildLine(const SubmissionRecord& record, PositiveSign sign);

// The typed record of a line, or why the line holds none.
struct SplitLine {
    SubmissionRecord record;
    std::string error; // UTF-8; empty when split
    bool ok() const { return error.empty(); }
};

// Splits a line by its type character (character 250). Refuses a line that
// is not exactly 250 characters, an unknown type, and a field whose text does
// not decode (a number with a non-digit, an amount without its sign).
SplitLine splitLine(std::string_view line);

// The fields of a line as they stand, one per field of the layout (reserved
// fields and the type character included). A field past the end of a short
// line is cut or empty.
std::vector<std::string_view> splitFields(const RecordLayout& layout, std::string_view line);

// Single fields, for callers that work field by field.
// nullopt, with *error set when given, when the value does not fit.
std::optional<std::string> encodeNumber(long long value, int width, std::string_view code,
                                        std::string* error = nullptr);
std::optional<std::string> encodeAmount(const Decimal& amount, PositiveSign sign,
                                        std::string_view code, std::string* error = nullptr);
// Digits only (no blanks, no sign); nullopt otherwise.
std::optional<long long> decodeNumber(std::string_view field);
// A sign ("0", "+" or "-") followed by digits: the value in hundredths,
// scale 2. nullopt otherwise.
std::optional<Decimal> decodeAmount(std::string_view field);

// Why a line may not be written to a submission file, or "": a record is
// exactly 250 characters, none of them a control character (a line break or
// a tab inside a record breaks the file for every reader).
std::string unwritableLine(std::string_view line);

// Copies a built line into the record buffer of its mirror table (SL0..SL9),
// whose fields lie at the same offsets as the line's.
void putMirrorRecord(Record& mirror, std::string_view line);

} // namespace mvz
