// AWK-style substitution on top of a compiled pattern: replace the first match (sub) or every
// match (gsub); in the replacement "&" stands for the matched text and backslash escapes are
// translated. All texts are CP932 byte strings; a double-byte character is always handled whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "RegularExpression.h"

namespace sarnik {

class TAWKStr : public TRegularExpression {
public:
    // \b \r \n \t \xHHHH \OOOOOO and "\c" for any other c; a backslash that ends the text stands
    // for itself. An escape never puts a NUL byte into the text: zero bytes are left out.
    std::string TranslateEscapes(std::string_view text) const;

    // The text to insert for one match: "&" becomes the matched text, "\&" a literal "&".
    std::string ExpandReplacement(std::string_view replacement, std::string_view matched) const;

    // Replaces the first match in text. Returns 1 if one was replaced, else 0 (text unchanged).
    int SubFirst(std::string_view replacement, std::string& text, bool expand) const;

    // Replaces every match; after an empty match the character at its place is kept and the
    // search goes on after it. Returns the number of replacements (0: text unchanged).
    size_t GSubAll(std::string_view replacement, std::string& text, bool expand) const;

private:
    bool isBackslash(uint16_t code) const;
    bool isAmpersand(uint16_t code) const;
    std::string insertion(std::string_view replacement, std::string_view matched, bool expand) const;
};

}  // namespace sarnik
