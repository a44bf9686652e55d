#pragma once
// Counts the insured persons of a form the way the form counts them: rows are
// taken in key order and a new person begins whenever a row's identifier
// differs from the previous row's. Rows of one person that follow each other
// share a number; a person whose rows are apart is counted again.

#include <string>
#include <string_view>

namespace mvz {

class PersonCounter {
  public:
    // The number of the person a row with this identifier belongs to (the
    // first row gives 1).
    long long next(std::string_view identifier);
    long long count() const { return count_; }

  private:
    std::string previous_;
    long long count_ = 0;
};

} // namespace mvz
