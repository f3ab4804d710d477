// The Sarnik library's search, bound by name from libSarnik.so in the program's library folder at its
// first call.
#pragma once

#include "awk_like.h"

#include <stdexcept>

namespace murtesk {

// Thrown by the search when the library or its function cannot be loaded.
class SarnikUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// RESearch of the library; throws SarnikUnavailable when it cannot be reached.
RESearchFunction SarnikRESearch();

}  // namespace murtesk
