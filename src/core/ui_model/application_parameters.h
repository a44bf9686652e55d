#pragma once
// The application parameters as their window edits them: the one APLPARAM
// record (number 1: the authorised person, the seat and the working, input
// and output folders) and the MZ0 folder, the first line of TBIZLFOLDER.TXT.
//
// While open it holds APLPARAM for reading and writing with writing denied
// to every other opener, so no other program on the same data changes the
// parameters meanwhile; one that holds the file already leaves this editor
// reading only (message 2), and saving then fails with "Put Error 5". Other
// windows of the same program that only read the parameters open APLPARAM
// read-only, so the hold does not stand in their way.
//
// Every message is a plain box with an OK button through the tables' error
// reporter; its texts are the window's own.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

class Record;
class TableAccess;
class Tables;

struct MunicipalityChoice {
    std::string name; // OPC:NAZIV, UTF-8 without trailing blanks
    std::string code; // OPC:SIFRA
};

// The folder with one path separator at its end; trailing blanks are
// dropped and a blank folder stays blank.
std::string withTrailingSeparator(std::string folder);

class ApplicationParameters {
  public:
    static constexpr std::string_view kTitle = "Promjena aplikacijskih parametara";
    static constexpr std::string_view kIdentifierMessage =
        "Provjerite identifikacijski broj ovlaštene osobe";
    // The folder fields, in the order the window shows them (MZ0 apart).
    static constexpr std::string_view kFolderFields[] = {"RADDIR", "ULAZDIR", "IZLAZDIR"};

    explicit ApplicationParameters(Tables& tables);
    ~ApplicationParameters();
    ApplicationParameters(const ApplicationParameters&) = delete;
    ApplicationParameters& operator=(const ApplicationParameters&) = delete;

    // Holds APLPARAM, reads record 1 and the MZ0 folder. Failures are shown
    // ("Open greska......", "Greska kod citanja APLPARAm rb=" with the error
    // code) and leave an empty record numbered 1, which saving adds.
    void open();
    // Lets APLPARAM go.
    void close();

    bool readOnly() const { return readOnly_; }
    bool recordFound() const { return found_; }

    TableAccess& table();
    Record& record();
    // A field of the record as shown ("NAZIV"), and set from what was typed;
    // setValue returns why a value was refused ("" when it was taken).
    std::string value(std::string_view field) const;
    std::string setValue(std::string_view field, std::string_view utf8);

    std::string mz0Folder; // UTF-8

    // TBOPCINE in name order (OPC:KEYNAZIV).
    std::vector<MunicipalityChoice> municipalities();
    // The seat: APL:NAZSJED and APL:SIFSJED from the municipality.
    void chooseMunicipality(const MunicipalityChoice& m);

    // The identifier in its stored form (an OIB typed left-aligned comes back
    // right-aligned after two blanks), or nothing after the message
    // "Provjerite identifikacijski broj ovlaštene osobe".
    std::optional<std::string> checkIdentifier(std::string_view utf8);

    enum class SaveResult { Saved, IdentifierRefused, Failed };
    // Checks the identifier (writing back its stored form), ends the folders
    // with a separator, writes record 1 (adding it when it is missing; a
    // failure shows "Put Error " and the error code) and rewrites
    // TBIZLFOLDER.TXT with one line, the MZ0 folder. Failed when anything
    // could not be written; its message has been shown.
    SaveResult save();

  private:
    void message(const std::string& text);
    void readMz0Folder();
    bool writeMz0Folder();

    Tables& tables_;
    TableAccess& apl_;
    bool opened_ = false;
    bool readOnly_ = false;
    bool found_ = false;
};

} // namespace mvz
