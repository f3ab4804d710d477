// One request of the library's exports, run on a fresh pattern object.
#pragma once

#include <cstdint>
#include <string>

namespace sarnik {

struct TAwkParam {
    std::string pattern;
    std::string text;
    std::string replacement;
    int32_t length = 0;    // match length in bytes, or the error position of a bad pattern
    int32_t position = 0;  // 1-based match position, 0 none, -1 bad pattern
};

enum Request : int32_t { Search = 1, Sub = 2, GSub = 3, Nothing = 4 };

// Runs one request on param. Results: Search: the match position (0 none); Sub: 1 or 0;
// GSub: the number of replacements; a bad pattern: -1 with param.position = -1 and
// param.length = the error position; an unknown request: -1. Other failures (memory) throw.
int32_t ExecRegExpRequest(TAwkParam& param, int32_t request);

}  // namespace sarnik
