// The text files the program writes for the user (the CSV outputs of both screens): lines are
// given as UTF-8 and written as CP932, each ending in CR LF, with no byte-order mark. A character
// CP932 lacks becomes "?" and the output goes on; the number of such replacements is counted.
//
// The lines go to a temporary file beside the target, which takes the target's place only at
// Commit: an output that fails or is given up (Discard, or the writer going away uncommitted)
// leaves no partial file and keeps whatever file the target named before.
//
// Not thread-safe: one thread writes one output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"

namespace murtesk::platform {

class TextOutput {
public:
    // Nothing happens on disk until Open.
    explicit TextOutput(std::string path);

    // Creates the temporary file beside the target; false when the folder does not exist or cannot
    // be written.
    bool Open();
    // Writes one line (the CR LF is added). A line break inside the text (a memo's), whether CR LF,
    // LF or CR, is written as CR LF.
    void Line(std::string_view utf8);
    // Puts the written file in the target's place; false, with the old file untouched and nothing
    // left over, when any write, the flush or the replacement failed (or Open did not succeed).
    bool Commit();
    // Gives the output up: the temporary file goes, the old file stays.
    void Discard();

    // The temporary file itself, for lines of plain ASCII written as they stand (long runs of
    // numbers); a failed write there fails the Commit as well.
    BinaryFile& file() { return writer_.file(); }
    bool IsOpen() const { return open_; }

    // Characters that CP932 lacks, written as "?" so far.
    std::size_t Replaced() const { return replaced_; }
    const std::string& path() const { return writer_.path(); }

private:
    AtomicFileWriter writer_;
    std::string buffer_;
    std::size_t replaced_ = 0;
    std::int64_t lines_ = 0;
    bool open_ = false;
};

// Test seam: Line throws std::bad_alloc, as when memory runs out, once an output would hold more than
// `lines` lines. A negative value ends it. Process-wide.
void SetLineLimitForTests(std::int64_t lines);

// The lines of a text whose line breaks may be CR LF, LF or CR (a memo, as any editor left it);
// one empty line for an empty text, and an empty last line after a final break.
std::vector<std::string_view> TextLines(std::string_view text);

}  // namespace murtesk::platform
