// Texts the user enters that go into the CP932 files (memos, the paths of recordings and projects):
// the entry rule of a memo box, and the messages that tell, before anything is written, what the
// files will not keep as it was typed (platform::FitToCp932 says what they keep).
#pragma once

#include "ui_services.h"

#include "platform/text_encoding.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace murtesk::platform {

// A memo's text as the user entered it, with each TAB (pasted, or typed where a box takes it) made
// a space, as the words of a memo's lines are parted: a memo's lines go into the CSV outputs, where
// a TAB would start another column.
std::string MemoEntry(std::string text);

// The lines that name each character of `fit` the files do not keep and what reads back in its
// place, one a line: "「é」→「?」". A character that shows no glyph of its own (a combining mark, a
// space of another width, a mark of no width, a lone surrogate) is named by its code, "U+0301"; a
// byte that is not UTF-8 by its value, "0xFF". At most `limit` lines, then "ほか N 文字". Empty when the text is held.
std::string ChangesText(const Cp932Fit& fit, std::size_t limit = 10);

// Tells the user, once for each text, which characters of a memo the files will not keep. The text
// a box shows from its record needs no telling (the files gave it, or another window told about it).
class MemoCheck {
public:
    // The box shows `text` from the record.
    void Shown(const std::string& text) { known_ = text; }
    // Before the memo is stored, or when the user leaves the box: a text that is neither the one
    // shown nor the one told last, and holds characters CP932 lacks, is told in a message.
    void Tell(UiServices& ui, const std::string& text);

private:
    std::string known_;
};

// Tells in one message each of `paths` that CP932 cannot hold and the name that the files keep in its
// place, under `heading` (the lines that say where the name goes); nothing when every path is held.
// True when it told.
bool TellPathsNotHeld(UiServices& ui, std::string_view heading, const std::vector<std::string>& paths);

}  // namespace murtesk::platform
