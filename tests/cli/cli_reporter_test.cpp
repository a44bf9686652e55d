#include <gtest/gtest.h>

#include "cli_reporter.h"

#include <sstream>

namespace mvz {
namespace {

MessageBox question() {
    MessageBox box;
    box.title = "Confirm Delete";
    box.text = "Are you sure?\nReally?";
    box.icon = MessageIcon::Exclamation;
    box.buttons = ButtonYes | ButtonNo;
    box.defaultButton = ButtonNo;
    return box;
}

TEST(CliReporter, PrintsBoxesAndAnswersByPolicy) {
    std::ostringstream out;
    CliReporter rep(out, false);
    EXPECT_EQ(rep.show(question()), ButtonNo) << "the default button";
    EXPECT_EQ(out.str(), "Confirm Delete: Are you sure?\nReally?\n");

    MessageBox ok;
    ok.title = "Range Error";
    ok.text = "The value of Obračunska godina must be between 2001 and 2100.";
    const struct {
        CliReporter::Assume assume;
        unsigned buttons;
        Button defaultButton;
        Button answer;
    } cases[] = {
        {CliReporter::Assume::Yes, ButtonYes | ButtonNo, ButtonNo, ButtonYes},
        {CliReporter::Assume::No, ButtonYes | ButtonNo, ButtonYes, ButtonNo},
        {CliReporter::Assume::No, ButtonYes | ButtonNo | ButtonCancel, ButtonYes, ButtonNo},
        {CliReporter::Assume::No, ButtonOk | ButtonCancel, ButtonOk, ButtonCancel},
        {CliReporter::Assume::Yes, ButtonOk, ButtonOk, ButtonOk},
        {CliReporter::Assume::No, ButtonOk, ButtonOk, ButtonOk},
        {CliReporter::Assume::Default, ButtonYes | ButtonNo, ButtonNone, ButtonYes},
    };
    for (const auto& c : cases) {
        ok.buttons = c.buttons;
        ok.defaultButton = c.defaultButton;
        EXPECT_EQ(CliReporter::answerFor(ok, c.assume), c.answer)
            << int(c.assume) << " " << c.buttons;
    }
}

TEST(CliReporter, StatusAndProgressOnlyOnATerminal) {
    std::ostringstream quiet;
    {
        CliReporter rep(quiet, false);
        rep.status("Reading TBOSIGUR");
        rep.progress(5, 10);
        rep.progress(10, 10);
    }
    EXPECT_EQ(quiet.str(), "");

    std::ostringstream term;
    {
        CliReporter rep(term, true);
        rep.status("Reading TBOSIGUR");
        rep.progress(5, 10);
        rep.progress(10, 10); // finished: always drawn, line ended
        rep.progress(3, 0);
        MessageBox box;
        box.title = "Note";
        box.text = "done";
        rep.show(box); // a box ends the open progress line first
    }
    EXPECT_EQ(term.str(), "Reading TBOSIGUR\n\r5 / 10 (50%)\r10 / 10 (100%)\n\r3\nNote: done\n");
}

TEST(CliReporter, EndProgramMarksAFatalMessage) {
    std::ostringstream out;
    CliReporter rep(out, false);
    EXPECT_FALSE(rep.fatalShown());
    rep.endProgram();
    EXPECT_TRUE(rep.fatalShown());
}

} // namespace
} // namespace mvz
