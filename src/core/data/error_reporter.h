#pragma once
// The process-wide error reporter of the table access layer: it keeps the
// message table, remembers the current field caption, file name, extra message
// text and the last storage error, fills a message's placeholders from them,
// and shows the dialog the message's severity calls for through a Reporter.
//
// Severity results (the codes the table operations pass on):
//   0 nothing shown, 0
//   1, 4   question Yes/No (Yes default): Yes 0, No 4
//   5      notice with OK: 5
//   2, 3 and any other value: fatal notice with OK, then Reporter::endProgram(): 3
//
// An ID missing from the table is a programming fault that must not end the
// program: it shows a notice titled "Error" with "Unknown message <id>" and
// gives 5, so the caller keeps its window open.
//
// Not synchronised: callers on several threads serialise their use.

#include "base/reporter.h"
#include "data/message_table.h"
#include "data/storage_error.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

class ErrorReporter {
  public:
    // The longest filled message text, in characters.
    static constexpr std::size_t MaxFilledLength = 2000;
    // The longest field caption, file name, message text or error text kept.
    static constexpr std::size_t MaxFieldLength = 255;
    // What a fatal notice adds to its text.
    static constexpr std::string_view FatalSuffix = "  Press OK to end this application";

    explicit ErrorReporter(Reporter& reporter);

    // Appends rows to the message table. Later rows win over earlier ones with
    // the same ID; "%Previous" in a later row's text stands for the earlier one.
    void addMessages(const std::vector<ErrorEntry>& entries);

    // The row raise() would use for the ID, or nullptr.
    const ErrorEntry* find(std::uint16_t id) const;

    void setField(std::string_view caption); // trailing blanks removed
    void setFile(std::string_view name);     // trailing blanks removed
    void setMessageText(std::string_view text);

    // Remembers a storage error for "%ErrorText", "%ErrorCode", "%Error",
    // "%FileError" and "%FileErrorCode".
    void captureError(const StorageError& error);

    // The message's text with its placeholders filled, "|" left as it is.
    std::string fill(std::uint16_t id) const;

    // Sets the message text (empty when none is given), shows the message's
    // dialog and returns the severity result (see above).
    int raise(std::uint16_t id, std::string_view messageText = {});

    // Shows the message with the given buttons (icon Question, the entry's
    // title) and returns the button pressed. The message text is set as in
    // raise(). A missing ID shows the "Unknown message" text with the same
    // buttons.
    Button ask(std::uint16_t id, unsigned buttons, Button defaultButton,
               std::string_view messageText = {});

    Reporter& reporter() const { return reporter_; }

    const std::string& lastField() const { return field_; }
    const std::string& lastFile() const { return file_; }
    const std::string& messageText() const { return messageText_; }
    const std::string& savedError() const { return saveError_; }
    long savedErrorCode() const { return saveErrorCode_; }
    const std::string& savedFileError() const { return saveFileError_; }
    const std::string& savedFileErrorCode() const { return saveFileErrorCode_; }

  private:
    // Index into entries_ of the row that wins for the ID, searching rows
    // before `before` only; -1 when there is none.
    long findIndex(std::uint16_t id, std::size_t before) const;
    std::string fillEntry(std::size_t index) const;
    std::string errorText() const;

    Reporter& reporter_;
    std::vector<ErrorEntry> entries_;
    std::string field_;
    std::string file_;
    std::string messageText_;
    std::string saveError_;
    long saveErrorCode_ = 0;
    std::string saveFileError_;
    std::string saveFileErrorCode_;
};

// Text as a message box shows it: every "|" becomes a line break.
std::string messageBoxText(std::string_view text);

} // namespace mvz
