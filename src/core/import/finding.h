#pragma once
// One finding of a check of a submission file: the line it was found on, the
// field code, whether it is an error ('F') or a warning ('U'), the name column
// and the full message. Texts are UTF-8.

#include <string>

namespace mvz {

struct Finding {
    long line = 0;
    std::string field;
    char kind = 'F'; // 'F' error or 'U' warning
    std::string name;
    std::string message;
    // 1-based columns of the field in the line; 0 when the finding is not about one field.
    int start = 0, end = 0;
    std::string value; // what the line holds in those columns
};

// Receives every finding as it is made (for example an export next to the result tables).
class FindingSink {
public:
    virtual ~FindingSink() = default;
    virtual void add(const Finding&) = 0;
};

} // namespace mvz
