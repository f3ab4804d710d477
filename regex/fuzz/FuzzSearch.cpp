// libFuzzer target: pattern parser, automaton construction, search and substitution.
// Input: one byte choosing the operation, then the pattern up to a NUL, the replacement up to
// the next NUL, and the rest as the text (which may itself hold NUL bytes).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "RegExp/AwkStr.h"
#include "RegExp/Cp932.h"
#include "RegExp/RegExpError.h"
#include "Sarnik.h"

namespace {

std::string_view takeUntilNul(std::string_view& in) {
    const size_t n = in.find('\0');
    const std::string_view part = in.substr(0, n);
    in.remove_prefix(n == std::string_view::npos ? in.size() : n + 1);
    return part;
}

// A match starts and ends on character boundaries and lies inside the text.
void checkMatch(const sarnik::MatchResult& m, std::string_view text) {
    if (!m.found) return;
    if (m.pos > text.size() || m.len > text.size() - m.pos) std::abort();
    size_t pos = 0;
    bool startOk = m.pos == 0, endOk = m.pos + m.len == 0;
    while (pos < text.size()) {
        pos += sarnik::step(text, pos).width;
        startOk |= pos == m.pos;
        endOk |= pos == m.pos + m.len;
    }
    if (!startOk || !endOk) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t op = data[0];
    std::string_view in(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string_view pattern = takeUntilNul(in);
    const std::string_view replacement = takeUntilNul(in);
    const std::string_view text = in;
    if (pattern.size() > 256 || text.size() > 8192) return 0;

    sarnik::TAWKStr re;
    re.AcceptDBMeta = op & 1;
    try {
        re.SetPattern(pattern);
    } catch (const sarnik::ERegExpParser& e) {
        if (e.position() > pattern.size()) std::abort();
        return 0;
    }
    checkMatch(re.search(text), text);
    checkMatch(re.searchFrom(text, false), text);
    std::string t(text);
    switch ((op >> 1) % 4) {
    case 0: re.SubFirst(replacement, t, true); break;
    case 1: re.GSubAll(replacement, t, true); break;
    case 2: re.GSubAll(re.TranslateEscapes(replacement), t, false); break;
    default: {
        // Through the C boundary, with C strings.
        const std::string p(pattern), r(replacement), s(text.substr(0, text.find('\0')));
        int32_t len = 0;
        const int32_t pos = RESearch(s.c_str(), p.c_str(), &len);
        if (pos > 0 && (size_t(pos) - 1 + size_t(len) > s.size())) std::abort();
        std::string buf = s;
        buf.resize(s.size() + 64, '\0');
        gsubSized(p.c_str(), r.c_str(), buf.data(), int32_t(buf.size()));
        break;
    }
    }
    return 0;
}
