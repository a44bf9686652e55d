#include "throttled_status.h"

#include <ostream>

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
    if (out_)
        *out_ << f.line << ' ' << (f.field.empty() ? "-" : f.field) << ' ' << f.kind << ' '
              << f.message << '\n';
    if (next_) next_->add(f);
}

} // namespace mvz
