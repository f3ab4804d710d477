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
    buffer_ = Utf8ToCp932(utf8, &replaced);
    replaced_ += replaced;
    buffer_ += "\r\n";
    writer_.file().Write(buffer_);
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
