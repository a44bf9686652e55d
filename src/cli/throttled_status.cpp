#include "throttled_status.h"

#include <ostream>

#include "base/control_chars.h"

namespace mvz {

namespace {
constexpr auto kInterval = std::chrono::milliseconds(200);
}

Button ThrottledStatus::show(const MessageBox& box) {
    flush();
    return inner_.show(box);
}

void ThrottledStatus::status(const std::string& text) {
    pending_ = text;
    if (std::chrono::steady_clock::now() - last_ >= kInterval) flush();
}

void ThrottledStatus::flush() {
    if (pending_.empty()) return;
    if (out_)
        *out_ << pending_ << '\n' << std::flush;
    else
        inner_.status(pending_);
    pending_.clear();
    last_ = std::chrono::steady_clock::now();
}

void FindingPrinter::add(const Finding& f) {
    if (status_) status_->flush();
    // A file's bytes never reach the terminal as they are: an escape
    // sequence in a checked file would act on it.
    if (out_)
        *out_ << f.line << ' ' << (f.field.empty() ? "-" : escapeControlChars(f.field)) << ' '
              << f.kind << ' ' << escapeControlChars(f.message) << '\n';
    if (next_) next_->add(f);
}

} // namespace mvz
