#include "AwkStr.h"

#include "Cp932.h"
#include "Escapes.h"

namespace sarnik {

bool TAWKStr::isBackslash(uint16_t code) const { return code == '\\' || (AcceptDBMeta && code == fw::Yen); }
bool TAWKStr::isAmpersand(uint16_t code) const { return code == '&' || (AcceptDBMeta && code == fw::Amp); }

std::string TAWKStr::TranslateEscapes(std::string_view text) const {
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const Char c = step(text, pos);
        pos += c.width;
        if (!isBackslash(c.code)) {
            out.append(text.substr(pos - c.width, c.width));
            continue;
        }
        const auto v = readEscape(text, pos, AcceptDBMeta);
        if (!v) {
            out.append(text.substr(pos - c.width, c.width));  // a trailing backslash stays
            continue;
        }
        // A zero byte would cut the caller's zero-terminated text short.
        if ((*v >> 8) != 0) out.push_back(char(*v >> 8));
        if ((*v & 0xFF) != 0) out.push_back(char(*v & 0xFF));
    }
    return out;
}

std::string TAWKStr::ExpandReplacement(std::string_view replacement, std::string_view matched) const {
    // 1. Protect "\&" from the translation: it becomes "\\&", which translates back to "\&".
    std::string protectedText;
    for (size_t pos = 0; pos < replacement.size();) {
        const Char c = step(replacement, pos);
        protectedText.append(replacement.substr(pos, c.width));
        pos += c.width;
        if (!isBackslash(c.code)) continue;
        const Char e = step(replacement, pos);
        if (e.width == 0) break;
        if (isAmpersand(e.code)) protectedText.append(replacement.substr(pos - c.width, c.width));
        protectedText.append(replacement.substr(pos, e.width));
        pos += e.width;
    }
    // 2. Translate the escapes.
    const std::string translated = TranslateEscapes(protectedText);
    // 3. "&" is the matched text, "\&" a literal "&"; any other backslash stays.
    std::string out;
    for (size_t pos = 0; pos < translated.size();) {
        const Char c = step(translated, pos);
        if (isAmpersand(c.code)) {
            out.append(matched);
            pos += c.width;
            continue;
        }
        if (isBackslash(c.code)) {
            const Char e = step(translated, pos + c.width);
            if (e.width && isAmpersand(e.code)) {
                out.append(translated.substr(pos + c.width, e.width));
                pos += c.width + e.width;
                continue;
            }
        }
        out.append(translated.substr(pos, c.width));
        pos += c.width;
    }
    return out;
}

std::string TAWKStr::insertion(std::string_view replacement, std::string_view matched, bool expand) const {
    return expand ? ExpandReplacement(replacement, matched) : std::string(replacement);
}

int TAWKStr::SubFirst(std::string_view replacement, std::string& text, bool expand) const {
    const MatchResult m = search(text);
    if (!m.found) return 0;
    const std::string ins = insertion(replacement, std::string_view(text).substr(m.pos, m.len), expand);
    text.replace(m.pos, m.len, ins);
    return 1;
}

size_t TAWKStr::GSubAll(std::string_view replacement, std::string& text, bool expand) const {
    const std::string_view all(text);
    MatchResult m = search(all);
    if (!m.found) return 0;
    std::string out;
    size_t rest = 0;  // offset of the text not yet copied or consumed
    size_t count = 0;
    for (;;) {
        const size_t at = rest + m.pos;
        out.append(all.substr(rest, m.pos));
        out.append(insertion(replacement, all.substr(at, m.len), expand));
        size_t consumed = at + m.len;
        if (m.len == 0) {
            // Keep the character at an empty match whole and search on after it.
            const Char c = step(all, consumed);
            out.append(all.substr(consumed, c.width));
            consumed += c.width;
        }
        rest = consumed;
        ++count;
        if (rest >= all.size()) break;
        m = searchFrom(all.substr(rest), false);
        if (!m.found) break;
    }
    out.append(all.substr(rest));
    text = std::move(out);
    return count;
}

}  // namespace sarnik
