#pragma once
// A reporter between a long run and the terminal: everything passes on, but
// the status texts (a run may give one per line or per person) at most a few
// a second, and always the last one. With an output stream the texts are
// printed there as lines; without, they go on to the inner reporter.

#include <chrono>
#include <iosfwd>
#include <string>

#include "base/reporter.h"
#include "import/finding.h"

namespace mvz {

class ThrottledStatus : public Reporter {
  public:
    explicit ThrottledStatus(Reporter& inner, std::ostream* out = nullptr)
        : inner_(inner), out_(out) {}
    ~ThrottledStatus() override { flush(); }

    Button show(const MessageBox& box) override;
    void status(const std::string& text) override;
    void progress(std::uint64_t done, std::uint64_t total) override {
        inner_.progress(done, total);
    }
    bool cancelRequested() override { return inner_.cancelRequested(); }
    void endProgram() override { inner_.endProgram(); }
    // Passes on the status text held back, if any.
    void flush();

  private:
    Reporter& inner_;
    std::ostream* out_;
    std::string pending_;
    std::chrono::steady_clock::time_point last_{};
};

// Prints each finding as it is made ("line field kind message", "-" for a
// finding about no one field) and hands it on to the next sink (the CSV
// export), if any. Status texts held back are printed first, so the output
// keeps the order of the run.
class FindingPrinter : public FindingSink {
  public:
    FindingPrinter(std::ostream* out, FindingSink* next, ThrottledStatus* status = nullptr)
        : out_(out), next_(next), status_(status) {}
    void add(const Finding& f) override;

  private:
    std::ostream* out_;
    FindingSink* next_;
    ThrottledStatus* status_;
};

} // namespace mvz
