#include "support/recording_reporter.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace mvz {

Button RecordingReporter::show(const MessageBox& box) {
    ShownBox shown;
    static_cast<MessageBox&>(shown) = box;
    if (answers.empty()) {
        shown.answer = box.defaultButton;
    } else {
        shown.answer = answers.front();
        answers.pop_front();
        if ((box.buttons & shown.answer) == 0) {
            ADD_FAILURE() << "scripted answer " << unsigned(shown.answer)
                          << " is not offered by the box \"" << box.title << "\": " << box.text;
        }
    }
    boxes.push_back(shown);
    return shown.answer;
}

void RecordingReporter::status(const std::string& text) {
    statuses.push_back(text);
}

void RecordingReporter::progress(std::uint64_t done, std::uint64_t total) {
    progressCalls.emplace_back(done, total);
}

bool RecordingReporter::cancelRequested() {
    bool cancel = cancelAfterChecks >= 0 && cancelChecks >= cancelAfterChecks;
    ++cancelChecks;
    return cancel;
}

void RecordingReporter::endProgram() {
    ++endProgramCalls;
}

const ShownBox& RecordingReporter::lastBox() const {
    if (boxes.empty()) {
        ADD_FAILURE() << "no message box was shown";
        throw std::logic_error("RecordingReporter::lastBox: no message box was shown");
    }
    return boxes.back();
}

std::vector<std::string> RecordingReporter::titles() const {
    std::vector<std::string> out;
    for (const ShownBox& b : boxes)
        out.push_back(b.title);
    return out;
}

void RecordingReporter::clear() {
    boxes.clear();
    statuses.clear();
    progressCalls.clear();
    endProgramCalls = 0;
    cancelChecks = 0;
}

} // namespace mvz
