#pragma once
// Ctrl-C during a run: while an InterruptCancels lives, SIGINT (and SIGTERM)
// ask the run to stop as the Cancel button of its window does. The command
// line's reporter then answers cancelRequested() with true, the run stops at
// its next safe point and leaves the previous result as it was (its work
// files and half-written copies are removed). When the command is over, the
// process ends by the same signal, so that a shell or script sees that the
// command was interrupted. A second Ctrl-C ends the process at once (the
// tables' transactions and the pending-change notes keep the data whole).

namespace mvz {

class InterruptCancels {
  public:
    InterruptCancels();
    // Restores the signals' former handling; after an interrupt, ends the
    // process by that signal (standard output and error written out first).
    ~InterruptCancels();
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

    // True once SIGINT or SIGTERM came while a run was guarded.
    static bool requested();
};

} // namespace mvz
