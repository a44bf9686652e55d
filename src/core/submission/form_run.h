#pragma once
// The steps of forming one form that do not depend on where its page-B rows
// come from: the form's names and files, the payer, the deletion of the
// form's old page-B rows, and everything after the new rows stand (page A,
// the file of records with its mirror files, the digest, the payer file, the
// collective list and the control mark). The forming of a payer from its
// employee rows and the forms from payment data each check their own values
// and bring their own rows, and share these steps.
//
// The rows, page A, the payer's last number, the collective list and the
// control mark change inside one transaction: abandon() (or a run destroyed
// unfinished) leaves them all as they were. The payer file changes with them
// (FileSwap): written under a name of its own, put in place with the old one
// kept and a note of the pending change, then the commit; so a run stopped or
// killed at any moment leaves the form and its payer file agreeing.

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/record.h"
#include "submission/file_swap.h"
#include "submission/form_id.h"
#include "submission/forming.h"
#include "submission/record_format.h"

namespace mvz {

class Reporter;
class TableAccess;
class Tables;

class FormRun {
  public:
    // `title` is the title of the window's message boxes.
    FormRun(Tables& tables, const FormingRequest& request, std::string title);
    ~FormRun();
    FormRun(const FormRun&) = delete;
    FormRun& operator=(const FormRun&) = delete;

    Tables& tables() { return tables_; }
    Reporter& reporter() { return reporter_; }
    const FormingRequest& request() const { return rq_; }
    FormingResult& result() { return result_; }

    // Shows the message in a box with the window's title; false.
    bool fail(const std::string& message);
    void status(const std::string& text);

    // Opens the tables every run uses (APL, IZLF, VUP, POS, OSI, A, TBT) and
    // `extra`, and reads the first APLPARAM record (blank when there is
    // none). False when a table cannot be opened (its message was shown).
    bool openTables(std::initializer_list<const char*> extra = {});
    // The tables opened are closed again (also by abandon() and the destructor).
    void closeTables();
    // APL:JMBG as stored (CP1250, 13 characters).
    std::string authorisedPerson();

    // The window's calculation type, sequence number and payer number must
    // make a form: a type of two characters that TBVRSUPL knows, a sequence
    // number of 1 to 9899, a payer number of 1 to 999.
    bool checkFormValues();
    // The form identifier, link key, payer file name and the MZ0 copy target.
    // A payer file name above 120 characters, or an existing payer file the
    // user made read-only, is refused.
    bool nameForm();
    // The working folder of the application parameters holds the work files.
    void useWorkFolder();

    // Reads the payer by POS:KEYREDBROJ. When it is missing: false, and
    // unless `quiet` the message "Greška " + the error code (kept in
    // payerMissing()) is shown.
    bool readPayer(bool quiet = false);
    const std::string& payerMissing() const { return payerMissing_; }
    const Record& payer() const { return *payer_; }
    // POS:VRSTOBVEZNIKA without trailing blanks.
    std::string payerType() const;
    const FormId& form() const { return form_; }

    // Begins the transaction over TBOSIGUR, TBOBRAZA, TBPOSLOD and TBTMPDAT.
    bool begin();
    // Deletes the form's page-B rows (OSI:KONVEZA = link key), announcing
    // each as "Brišem " + sequence number + " MB " + its identifier. Rows
    // for which `keep` (given the OSI buffer) is true stay. False when a
    // deletion failed.
    bool deleteRowsOfForm(const std::function<bool(const Record&)>& keep = {});

    // After the new rows: page A (statusAfterPageA, when given, is shown once
    // it is built), the file of records with amounts of zero and above
    // carrying `sign`, its digest, the copy under a new name, the collective
    // list, the control mark, the payer file put in place and the commit. On
    // success the result is done and the status reads "OBVEZNIK JE USPJEŠNO
    // OBRAĐEN-" + payer file. False (and everything abandoned) otherwise, also
    // when the reporter asks to cancel before the file is put in place.
    bool complete(PositiveSign sign, const std::string& statusAfterPageA = {});

    // Rolls the transaction back, puts the old payer file back (removing the
    // one made under a new name) and closes the tables.
    void abandon();

  private:
    std::string text(TableAccess& t, const char* field);
    std::string utf8(TableAccess& t, const char* field);
    bool writeFile(PositiveSign sign);
    bool writeLine(TableAccess& mirror, const BuiltLine& line);
    void releaseWorkFile();
    void updateCollectiveList();

    Tables& tables_;
    const FormingRequest& rq_;
    Reporter& reporter_;
    std::string title_;
    FormingResult result_;
    FormId form_;
    std::optional<Record> payer_;
    std::string payerMissing_;
    std::optional<Record> pageA_;
    long long rowsOfForm_ = 0;
    std::vector<TableAccess*> opened_;
    bool inTransaction_ = false;
    bool zovakHeld_ = false;
    bool leftoversSettled_ = false;
    FileSwap swap_;
};

} // namespace mvz
