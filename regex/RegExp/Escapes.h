// Backslash escapes, shared by the pattern scanner and the replacement translation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace sarnik {

// Reads the escape body that follows a backslash at byte offset pos (just after the backslash)
// and advances pos past it. \b \r \n \t give 8 13 10 9; \x takes up to four hexadecimal digits
// (none gives 0); an octal digit starts up to six octal digits (modulo 65536); any other
// character stands for itself. Full-width digits always count as digits; the full-width escape
// letters only when fullWidth is set. Returns nothing when the text ends after the backslash.
std::optional<uint16_t> readEscape(std::string_view s, size_t& pos, bool fullWidth);

}  // namespace sarnik
