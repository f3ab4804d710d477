// Helpers shared by the library's tests.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "Sarnik.h"

namespace sarnik::test {

// What RESearch reports: position (1-based, 0 none, -1 error) and length (or error position).
struct Found {
    int32_t pos;
    int32_t len;
    bool operator==(const Found&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Found& f) {
    return os << "(pos " << f.pos << ", len " << f.len << ")";
}

inline Found research(const std::string& text, const std::string& pattern) {
    int32_t len = -99;
    const int32_t pos = RESearch(text.c_str(), pattern.c_str(), &len);
    return {pos, len};
}

}  // namespace sarnik::test
