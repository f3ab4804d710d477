#include "stored_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace murtesk::platform {

namespace {

constexpr const char* kMemoNotHeld =
    "メモに保存できない文字があります．\r\n保存すると次のように置き換わります．\r\n\r\n";

// The code point of one UTF-8 character (as FitToCp932 cuts them); nothing for a byte that starts none.
std::optional<std::uint32_t> CodePoint(std::string_view character) {
    const auto lead = static_cast<unsigned char>(character[0]);
    if (character.size() == 1) {
        return lead < 0x80 ? std::optional<std::uint32_t>(lead) : std::nullopt;
    }
    std::uint32_t code = lead & (0xFFu >> (character.size() + 1));
    for (std::size_t i = 1; i < character.size(); ++i) {
        code = (code << 6) | (static_cast<unsigned char>(character[i]) & 0x3Fu);
    }
    return code;
}

// Characters that show nothing of their own: combining marks (they sit on whatever comes before),
// spaces of other widths, marks of no width, the variation selectors, and the halves of a UTF-16 pair
// found alone (in their three-byte form).
bool ShowsNoGlyph(std::uint32_t code) {
    struct Span {
        std::uint32_t first;
        std::uint32_t last;
    };
    static constexpr Span kSpans[] = {
        {0x0080, 0x00A0}, {0x00AD, 0x00AD}, {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05C7}, {0x0610, 0x061A},
        {0x064B, 0x065F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x2000, 0x200F}, {0x2028, 0x202F}, {0x205F, 0x206F},
        {0x20D0, 0x20FF}, {0x3099, 0x309A}, {0xD800, 0xDFFF}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xFEFF, 0xFEFF},
        {0xE0000, 0xE01EF},
    };
    return std::any_of(std::begin(kSpans), std::end(kSpans),
                       [code](const Span& span) { return code >= span.first && code <= span.last; });
}

std::string Named(const std::string& character) {
    const std::optional<std::uint32_t> code = CodePoint(character);
    char text[16];
    if (!code) {
        std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned char>(character[0]));
        return text;
    }
    if (!ShowsNoGlyph(*code)) return "「" + character + "」";
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(*code));
    return text;
}

}  // namespace

std::string MemoEntry(std::string text) {
    std::replace(text.begin(), text.end(), '\t', ' ');
    return text;
}

std::string ChangesText(const Cp932Fit& fit, std::size_t limit) {
    std::string text;
    const std::size_t shown = std::min(fit.changes.size(), limit);
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) text += "\r\n";
        text += Named(fit.changes[i].typed) + "→" + Named(fit.changes[i].stored);
    }
    if (fit.changes.size() > shown) {
        text += "\r\nほか " + std::to_string(fit.changes.size() - shown) + " 文字";
    }
    return text;
}

void MemoCheck::Tell(UiServices& ui, const std::string& text) {
    if (text == known_) return;
    known_ = text;
    const Cp932Fit fit = FitToCp932(text);
    if (!fit.Holds()) {
        ui.MsgBox(kMemoNotHeld + ChangesText(fit), MsgButtons::OK, MsgIcon::Exclamation);
    }
}

bool TellPathsNotHeld(UiServices& ui, std::string_view heading, const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) {
        const Cp932Fit fit = FitToCp932(path);
        if (fit.Holds()) continue;
        list += "\r\n\r\n" + path + "\r\n→ " + fit.stored;
    }
    if (list.empty()) return false;
    ui.MsgBox(std::string(heading) + list, MsgButtons::OK, MsgIcon::Exclamation);
    return true;
}

}  // namespace murtesk::platform
