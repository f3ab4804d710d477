// AWK-like text helpers over the Sarnik library's search: the match position and length in the
// program's text, and splitting a text at the matches of a separator pattern. The library works
// on CP932 bytes; positions handed back here count bytes of the UTF-16 form of the text (a match
// after k characters starts at 2k + 1, a match of m characters is 2m long), so a full-width text
// is cut exactly at the separator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace murtesk {

// RSTART and RLENGTH of the last match (RLENGTH as the library wrote it, read as 16 bits).
extern std::int16_t g_RStart;
extern std::int32_t g_RLength;

// The library's search: > 0 the 1-based position of the leftmost-longest match, 0 no match,
// -1 a bad pattern (or the library could not be loaded). Sets g_RLength.
std::int16_t RegSearch(const std::string& text, const std::string& pattern);
// The position (> 0) of a non-empty match, else 0; sets g_RStart and g_RLength.
std::int16_t AwkMatch(const std::string& text, const std::string& pattern);
// Splits text at the matches of separator into fields (1-based in the result's count, the vector
// 0-based); an empty separator takes the runs of non-blank characters as the fields. Fields are
// not trimmed. Returns the number of fields.
std::int16_t AwkSplit(const std::string& text, std::vector<std::string>& fields, std::string separator);

}  // namespace murtesk
