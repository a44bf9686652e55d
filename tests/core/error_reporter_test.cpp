#include <gtest/gtest.h>

#include <cerrno>

#include "data/error_reporter.h"
#include "support/recording_reporter.h"

namespace mvz {
namespace {

class ErrorReporterTest : public ::testing::Test {
  protected:
    ErrorReporterTest() { er.addMessages(standardMessages()); }

    // Adds a message of its own under an unused number and returns the number.
    std::uint16_t own(std::string text, std::uint8_t fatality = 5, std::string title = "Own") {
        er.addMessages({{100, fatality, std::move(title), std::move(text)}});
        return 100;
    }

    RecordingReporter rep;
    ErrorReporter er{rep};
};

TEST_F(ErrorReporterTest, FillsEachPlaceholderInItsOrderWithoutRegardToCase) {
    er.setFile("TBPOSLOD.DAT");
    er.setField("Naziv");
    er.setMessageText("poruka");
    StorageError e = StorageError::of(err::RecordHeld);
    er.captureError(e);
    const struct {
        const char* text;
        const char* filled;
    } cases[] = {
        {"%File", "TBPOSLOD.DAT"},
        {"%fILE and %FILE and %file.", "TBPOSLOD.DAT and TBPOSLOD.DAT and TBPOSLOD.DAT."},
        {"%ErrorCode", "43"},
        {"%errortext", "Record Is Already Held (43)"},
        {"%Error", "Record Is Already Held"},
        {"%Error%ErrorCode", "Record Is Already Held43"},
        {"%Message/%MESSAGE", "poruka/poruka"},
        {"%Field", "Naziv"},
        // "%File" goes first and takes the beginning of these two.
        {"%FileErrorCode|%FileError", "TBPOSLOD.DATErrorCode|TBPOSLOD.DATError"},
        {"no placeholder %Unknown %", "no placeholder %Unknown %"},
    };
    for (const auto& c : cases) {
        own(c.text);
        EXPECT_EQ(er.fill(100), c.filled) << c.text;
    }
}

TEST_F(ErrorReporterTest, ErrorTextOfStorageAndFileSystemErrors) {
    er.setFile("TBPOSLOD.DAT   ");
    er.captureError(StorageError::of(err::FileNotFound));
    EXPECT_EQ(er.fill(23), "File (TBPOSLOD.DAT) could not be opened.  Error: File Not Found (2).");
    EXPECT_EQ(er.savedErrorCode(), 2);
    EXPECT_EQ(er.lastFile(), "TBPOSLOD.DAT");

    StorageError os = StorageError::of(err::FileSystemError);
    os.osCode = 305;
    os.osText = "Input/output error";
    er.captureError(os);
    EXPECT_EQ(er.fill(1), "Error: (Input/output error (305)) attempting to access a record from "
                          "the TBPOSLOD.DAT file.  Returning to previous window.");
    EXPECT_EQ(er.savedFileErrorCode(), "305");
    EXPECT_EQ(er.savedFileError(), "Input/output error");
    own("%Error|%FileError|%FileErrorCode|%ErrorCode");
    EXPECT_EQ(er.fill(100), "File System Error|TBPOSLOD.DATError|TBPOSLOD.DATErrorCode|90");

    // A full disk says so and names the folder of the file written.
    er.captureError(StorageError::fromErrno(ENOSPC, "/data/rad/TBSLOG0.TXT: add"));
    EXPECT_EQ(er.fill(4), "An error was experienced during the creation of a record. Error: Disk "
                          "full: no space left in /data/rad (328).");

    // A file-system error that came without the system's text still says what it is.
    er.captureError(StorageError::of(err::FileSystemError));
    EXPECT_EQ(er.fill(4), "An error was experienced during the creation of a record. Error: File "
                          "System Error (90).");
}

TEST_F(ErrorReporterTest, PreviousStandsForTheEarlierEntryWithTheSameId) {
    er.setFile("TBZAPOSL.DAT");
    own("[%Previous]");
    EXPECT_EQ(er.fill(100), "[]") << "no earlier entry";

    er.addMessages({{100, 5, "First", "first on %File"}, {100, 1, "Second", "%PREVIOUS; second"}});
    EXPECT_EQ(er.fill(100), "first on TBZAPOSL.DAT; second");
    EXPECT_EQ(er.find(100)->title, "Second");
    EXPECT_EQ(er.raise(100), 0) << "the last entry's severity holds";

    // The earlier entry's own %Previous reaches one further back.
    er.addMessages({{100, 5, "Third", "third: %Previous"}});
    EXPECT_EQ(er.fill(100), "third: first on TBZAPOSL.DAT; second");
}

TEST_F(ErrorReporterTest, InsertedValuesAreNotSearchedAgain) {
    er.setFile("A%FileB");
    er.setField("%Message");
    er.setMessageText("%Field");
    own("%File %Field %Message %Previous");
    EXPECT_EQ(er.fill(100), "A%FileB %Message %Field ");
}

TEST_F(ErrorReporterTest, FilledTextIsLimitedTo2000Characters) {
    std::string caption;
    for (int i = 0; i < 300; ++i)
        caption += "č";
    er.setField(caption);
    EXPECT_EQ(er.lastField().size(), 2u * ErrorReporter::MaxFieldLength) << "255 characters kept";
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += "%Field";
    own(text);
    std::string filled = er.fill(100);
    std::string expected;
    for (int i = 0; i < 2000; ++i)
        expected += "č";
    EXPECT_EQ(filled, expected) << "cut at a character boundary";
}

TEST_F(ErrorReporterTest, EachSeverityShowsItsDialogAndGivesItsResult) {
    const std::string fatal = std::string(ErrorReporter::FatalSuffix);
    const struct {
        std::uint8_t fatality;
        Button answer; // ButtonNone: the default answer
        int result;
        MessageIcon icon;
        unsigned buttons;
        std::string text;
        bool ends;
    } cases[] = {
        {1, ButtonNone, 0, MessageIcon::Exclamation, ButtonYes | ButtonNo, "Go on?", false},
        {1, ButtonNo, 4, MessageIcon::Exclamation, ButtonYes | ButtonNo, "Go on?", false},
        {4, ButtonYes, 0, MessageIcon::Exclamation, ButtonYes | ButtonNo, "Go on?", false},
        {4, ButtonNo, 4, MessageIcon::Exclamation, ButtonYes | ButtonNo, "Go on?", false},
        {2, ButtonNone, 3, MessageIcon::Information, ButtonOk, "Go on?" + fatal, true},
        {3, ButtonNone, 3, MessageIcon::Information, ButtonOk, "Go on?" + fatal, true},
        {7, ButtonNone, 3, MessageIcon::Information, ButtonOk, "Go on?" + fatal, true},
        {5, ButtonNone, 5, MessageIcon::Information, ButtonOk, "Go on?", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.fatality));
        rep.clear();
        own("Go on?", c.fatality, "Own title");
        if (c.answer != ButtonNone) rep.answers.push_back(c.answer);
        EXPECT_EQ(er.raise(100), c.result);
        ASSERT_EQ(rep.boxes.size(), 1u);
        const ShownBox& box = rep.lastBox();
        EXPECT_EQ(box.title, "Own title");
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.icon, c.icon);
        EXPECT_EQ(box.buttons, c.buttons);
        EXPECT_EQ(box.defaultButton, c.buttons == ButtonOk ? ButtonOk : ButtonYes);
        EXPECT_EQ(rep.endProgramCalls, c.ends ? 1 : 0);
    }

    rep.clear();
    own("silent", 0);
    EXPECT_EQ(er.raise(100), 0);
    EXPECT_TRUE(rep.boxes.empty());
    EXPECT_FALSE(rep.ended());
}

TEST_F(ErrorReporterTest, YearOutOfRangeMessage) {
    er.setField("Obračunska godina");
    EXPECT_EQ(er.raise(16, "2001 and 2100"), 5);
    ASSERT_EQ(rep.boxes.size(), 1u);
    EXPECT_EQ(rep.lastBox().title, "Range Error");
    EXPECT_EQ(rep.lastBox().text, "The value of Obračunska godina must be between 2001 and 2100.");
    EXPECT_EQ(rep.lastBox().icon, MessageIcon::Information);
    EXPECT_EQ(rep.lastBox().buttons, unsigned(ButtonOk));
}

TEST_F(ErrorReporterTest, DuplicateKeyMessageAndMessageTextIsNotKept) {
    EXPECT_EQ(er.raise(13, "MB broj firme"), 5);
    EXPECT_EQ(rep.lastBox().title, "Duplicate Key Error");
    EXPECT_EQ(rep.lastBox().text,
              "Adding this record creates a duplicate entry for the key: MB broj firme");
    // The next raise without a text does not show the old one.
    er.raise(13);
    EXPECT_EQ(rep.lastBox().text, "Adding this record creates a duplicate entry for the key: ");
}

TEST_F(ErrorReporterTest, FatalStandardMessageEndsTheProgram) {
    er.setFile("TBPOSLOD.DAT");
    EXPECT_EQ(er.raise(39), 3);
    EXPECT_EQ(rep.lastBox().title, "File Usage Error");
    EXPECT_EQ(rep.lastBox().text, "Attempt to use file (TBPOSLOD.DAT) before it was opened  Press "
                                  "OK to end this application");
    EXPECT_EQ(rep.endProgramCalls, 1);
}

TEST_F(ErrorReporterTest, BarBreaksLinesOnlyInTheShownBox) {
    own("first|second");
    EXPECT_EQ(er.fill(100), "first|second");
    er.raise(100);
    EXPECT_EQ(rep.lastBox().text, "first\nsecond");
}

TEST_F(ErrorReporterTest, UnknownMessageIsANoticeThatKeepsTheProgramRunning) {
    EXPECT_EQ(er.fill(29), "Unknown message 29");
    EXPECT_EQ(er.raise(29), 5);
    ASSERT_EQ(rep.boxes.size(), 1u);
    EXPECT_EQ(rep.lastBox().title, "Error");
    EXPECT_EQ(rep.lastBox().text, "Unknown message 29");
    EXPECT_EQ(rep.lastBox().buttons, unsigned(ButtonOk));
    EXPECT_FALSE(rep.ended());
}

TEST_F(ErrorReporterTest, AskUsesTheGivenButtons) {
    rep.answers.push_back(ButtonCancel);
    EXPECT_EQ(er.ask(35, ButtonYes | ButtonNo | ButtonCancel, ButtonNo), ButtonCancel);
    const ShownBox& box = rep.lastBox();
    EXPECT_EQ(box.title, "Save Record");
    EXPECT_EQ(box.text, "Do you want to save the changes to this record?");
    EXPECT_EQ(box.icon, MessageIcon::Question);
    EXPECT_EQ(box.buttons, unsigned(ButtonYes | ButtonNo | ButtonCancel));
    EXPECT_EQ(box.defaultButton, ButtonNo);

    EXPECT_EQ(er.ask(9, ButtonYes | ButtonNo, ButtonNo), ButtonNo) << "default answer";
    EXPECT_FALSE(rep.ended());
}

} // namespace
} // namespace mvz
