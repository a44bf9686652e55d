#include "interrupt.h"

#include <csignal>
#include <cstdio>
#include <iostream>

namespace mvz {

namespace {

volatile std::sig_atomic_t received = 0; // the signal that came, or 0
int guards = 0;
struct sigaction formerInt, formerTerm;

extern "C" void onInterrupt(int signal) {
    if (received != 0) {
        // Asked twice: the process ends now.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    received = signal;
}

} // namespace

InterruptCancels::InterruptCancels() {
    if (guards++ > 0) return;
    received = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &formerInt);
    sigaction(SIGTERM, &action, &formerTerm);
}

InterruptCancels::~InterruptCancels() {
    if (--guards > 0) return;
    sigaction(SIGINT, &formerInt, nullptr);
    sigaction(SIGTERM, &formerTerm, nullptr);
    if (received == 0) return;
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    const int signal = received;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool InterruptCancels::requested() {
    return received != 0;
}

} // namespace mvz
