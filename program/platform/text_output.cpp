#include "platform/text_output.h"

#include "platform/text_encoding.h"

#include <atomic>
#include <new>

namespace murtesk::platform {

namespace {
std::atomic<std::int64_t> g_line_limit{-1};
}  // namespace

void SetLineLimitForTests(std::int64_t lines) { g_line_limit.store(lines); }

TextOutput::TextOutput(std::string path) : writer_(std::move(path)) {}

bool TextOutput::Open() {
    replaced_ = 0;
    open_ = writer_.Open();
    return open_;
}

void TextOutput::Line(std::string_view utf8) {
    if (!open_) return;
    if (const std::int64_t limit = g_line_limit.load(); limit >= 0 && ++lines_ > limit) throw std::bad_alloc();
    std::size_t replaced = 0;
    if (utf8.find_first_of("\r\n") == std::string_view::npos) {
        buffer_ = Utf8ToCp932(utf8, &replaced);
        replaced_ += replaced;
        buffer_ += "\r\n";
    } else {
        buffer_.clear();
        for (const std::string_view line : TextLines(utf8)) {
            buffer_ += Utf8ToCp932(line, &replaced);
            replaced_ += replaced;
            buffer_ += "\r\n";
        }
    }
    writer_.file().Write(buffer_);
}

std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(at));
            return lines;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
}

bool TextOutput::Commit() {
    if (!open_) return false;
    open_ = false;
    return writer_.Commit();
}

void TextOutput::Discard() {
    open_ = false;
    writer_.Discard();
}

}  // namespace murtesk::platform
