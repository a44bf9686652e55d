#pragma once
// A Reporter for tests: records every message box, status text, progress call
// and end-of-program call, and answers questions from a script.
//
//   RecordingReporter rep;
//   rep.answers.push_back(mvz::ButtonNo);   // the next question is answered No
//   ... run the service ...
//   EXPECT_EQ(rep.lastBox().title, "Range Error");
//
// Without a scripted answer a box is answered with its default button. A
// scripted answer the box does not offer fails the running test (the script
// is out of step with the boxes shown), and is returned all the same.

#include "base/reporter.h"

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace mvz {

struct ShownBox : MessageBox {
    Button answer = ButtonNone; // what the recorder answered
};

class RecordingReporter : public Reporter {
  public:
    std::vector<ShownBox> boxes;                                        // every box, in order
    std::deque<Button> answers;                                         // scripted, front first
    std::vector<std::string> statuses;                                  // every status text
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progressCalls; // (done, total)
    int endProgramCalls = 0;
    // cancelRequested() answers true once it has been asked this many times
    // (-1: never). 0 cancels at the first check.
    int cancelAfterChecks = -1;
    int cancelChecks = 0;

    Button show(const MessageBox& box) override;
    void status(const std::string& text) override;
    void progress(std::uint64_t done, std::uint64_t total) override;
    bool cancelRequested() override;
    void endProgram() override;

    // The last box shown; fails the test (and throws) when none was shown.
    const ShownBox& lastBox() const;
    bool ended() const { return endProgramCalls > 0; }
    // Titles of all boxes shown, in order (handy for EXPECT_EQ on a sequence).
    std::vector<std::string> titles() const;
    // Forgets everything recorded; scripted answers that were not used stay.
    void clear();
};

} // namespace mvz
