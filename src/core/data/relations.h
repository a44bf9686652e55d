#pragma once
// The relations between tables: which dependants a parent has, the linking
// fields, the dependant key used to find them, and what a change or a
// deletion of the parent does to them.

#include <string>
#include <utility>
#include <vector>

namespace mvz {

namespace rule {
constexpr int None = 0;     // lookups only
constexpr int Clear = 1;    // dependants' linking fields are cleared
constexpr int Restrict = 2; // refused while dependants exist
constexpr int Cascade = 3;  // dependants follow the parent
} // namespace rule

struct Relation {
    std::string parent;   // prefix of the parent declaration ("POS")
    std::string child;    // prefix of the dependant declaration ("RAD")
    std::string childKey; // dependant key used to find the dependants
    std::vector<std::pair<std::string, std::string>> fields; // parent field = dependant field
    int onChange = rule::None;
    int onDelete = rule::None;
};

// The relations of this system.
const std::vector<Relation>& standardRelations();

} // namespace mvz
