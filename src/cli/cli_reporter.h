#pragma once
// The command line's Reporter: message boxes become "Title: text" lines on
// stderr, questions take the default button (or the answer the user assumed
// with a command-line option), and status and progress appear only when
// stderr is a terminal, so scripted runs see nothing but the messages.

#include "base/reporter.h"

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace mvz {

class CliReporter : public Reporter {
  public:
    // How questions are answered.
    enum class Assume {
        Default, // the box's default button
        Yes,     // Yes where offered, else OK, else the default
        No,      // No where offered, else Cancel, else the default
    };

    // Writes to stderr; status and progress only when stderr is a terminal.
    explicit CliReporter(Assume assume = Assume::Default);
    // Writes to `out`, which counts as a terminal when `terminal` is true.
    CliReporter(std::ostream& out, bool terminal, Assume assume = Assume::Default);
    ~CliReporter() override;

    Button show(const MessageBox& box) override;
    void status(const std::string& text) override;
    void progress(std::uint64_t done, std::uint64_t total) override;
    void endProgram() override;
    // True after Ctrl-C while a run is guarded by InterruptCancels.
    bool cancelRequested() override;

    // True once a fatal message has been shown: the command then exits 1.
    bool fatalShown() const { return fatalShown_; }

    // The button a question is answered with under the policy.
    static Button answerFor(const MessageBox& box, Assume assume);

  private:
    void endProgressLine();

    std::ostream& out_;
    bool terminal_;
    Assume assume_;
    bool fatalShown_ = false;
    bool progressOpen_ = false;
    std::size_t progressWidth_ = 0;
    std::chrono::steady_clock::time_point lastProgress_{};
};

} // namespace mvz
