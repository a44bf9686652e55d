#pragma once
// The one way a core service talks to the user. The desktop program implements
// it with the status bar, message boxes and a progress bar; the command line
// with stderr and exit codes; tests with a recorder that answers questions.
// All texts are UTF-8.

#include <cstdint>
#include <string>

namespace mvz {

enum class MessageIcon { None, Information, Exclamation, Question, Error };

// Buttons a message box offers; combinable as a bit set.
enum Button : unsigned {
    ButtonNone = 0,
    ButtonOk = 1,
    ButtonYes = 2,
    ButtonNo = 4,
    ButtonCancel = 8,
};

struct MessageBox {
    std::string title;
    std::string text; // "|" already turned into line breaks where the caller wants them
    MessageIcon icon = MessageIcon::Information;
    unsigned buttons = ButtonOk;
    Button defaultButton = ButtonOk;
};

class Reporter {
public:
    virtual ~Reporter() = default;

    // Shows a message box and returns the button the user pressed.
    virtual Button show(const MessageBox& box) = 0;

    // Text for the status line of the window the service works for.
    virtual void status(const std::string& text) {}

    // Progress of a long run; total 0 means unknown.
    virtual void progress(std::uint64_t done, std::uint64_t total) {}

    // True when the user asked the running service to stop.
    virtual bool cancelRequested() { return false; }

    // A fatal message has been shown: the program must end in order.
    virtual void endProgram() {}
};

} // namespace mvz
