// The program's one binding of the Sarnik library (libSarnik.so in the program's library folder): its
// search, bound by name at the first call with the type the library's header (Sarnik.h) declares.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>

namespace murtesk {

// The library's search: (CP932 text, CP932 pattern, length out) -> > 0 the 1-based byte position of
// the leftmost-longest match with its byte length, 0 no match, -1 a bad pattern (length: where).
// It may throw SarnikUnavailable when the library cannot be reached.
using RESearchFunction = std::function<std::int32_t(const char* text, const char* pattern, std::int32_t* length)>;

// Thrown by the search when the library or its function cannot be loaded.
class SarnikUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// RESearch of the library; throws SarnikUnavailable when it cannot be reached.
RESearchFunction SarnikRESearch();

}  // namespace murtesk
