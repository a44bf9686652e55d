#include "cli_reporter.h"

#include "base/control_chars.h"
#include "interrupt.h"

#include <unistd.h>

#include <iostream>
#include <ostream>

namespace mvz {

namespace {

// A progress line is redrawn at most this often, and always when it is done.
constexpr auto ProgressInterval = std::chrono::milliseconds(100);

Button firstOffered(unsigned buttons) {
    for (Button b : {ButtonOk, ButtonYes, ButtonNo, ButtonCancel}) {
        if (buttons & b) return b;
    }
    return ButtonNone;
}

} // namespace

CliReporter::CliReporter(Assume assume)
    : CliReporter(std::cerr, ::isatty(STDERR_FILENO) == 1, assume) {}

CliReporter::CliReporter(std::ostream& out, bool terminal, Assume assume)
    : out_(out), terminal_(terminal), assume_(assume) {}

CliReporter::~CliReporter() {
    endProgressLine();
}

Button CliReporter::answerFor(const MessageBox& box, Assume assume) {
    if (assume == Assume::Yes) {
        if (box.buttons & ButtonYes) return ButtonYes;
        if (box.buttons & ButtonOk) return ButtonOk;
    } else if (assume == Assume::No) {
        if (box.buttons & ButtonNo) return ButtonNo;
        if (box.buttons & ButtonCancel) return ButtonCancel;
    }
    // A default the box does not offer would be an answer the user could not
    // have given: take the first button it offers instead.
    if (box.buttons & box.defaultButton) return box.defaultButton;
    return firstOffered(box.buttons);
}

Button CliReporter::show(const MessageBox& box) {
    endProgressLine();
    // Messages may quote a file's bytes or a path: control characters are
    // shown escaped, line breaks of the message kept.
    if (!box.title.empty()) out_ << escapeControlChars(box.title) << ": ";
    out_ << escapeControlChars(box.text, true) << '\n' << std::flush;
    return answerFor(box, assume_);
}

void CliReporter::status(const std::string& text) {
    if (!terminal_) return;
    endProgressLine();
    out_ << escapeControlChars(text, true) << '\n' << std::flush;
}

void CliReporter::progress(std::uint64_t done, std::uint64_t total) {
    if (!terminal_) return;
    const bool finished = total != 0 && done >= total;
    const auto now = std::chrono::steady_clock::now();
    if (progressOpen_ && !finished && now - lastProgress_ < ProgressInterval) return;
    lastProgress_ = now;

    std::string line = std::to_string(done);
    if (total != 0) {
        line += " / " + std::to_string(total) + " (" +
                std::to_string(done >= total ? 100 : done * 100 / total) + "%)";
    }
    const std::size_t width = line.size();
    if (width < progressWidth_) line.append(progressWidth_ - width, ' '); // wipe a longer line
    progressWidth_ = width;
    out_ << '\r' << line << std::flush;
    progressOpen_ = true;
    if (finished) endProgressLine();
}

bool CliReporter::cancelRequested() {
    return InterruptCancels::requested();
}

void CliReporter::endProgram() {
    fatalShown_ = true;
}

void CliReporter::endProgressLine() {
    if (!progressOpen_) return;
    out_ << '\n' << std::flush;
    progressOpen_ = false;
    progressWidth_ = 0;
}

} // namespace mvz
