// The library's C boundary: arguments are checked here, every request runs on a fresh engine
// object, and nothing thrown inside gets past these functions.
#include "Sarnik.h"

#include <cstring>
#include <limits>
#include <string_view>

#include "RegExp/Dispatcher.h"

namespace {

using sarnik::TAwkParam;

// Texts whose positions would not fit the 32-bit results are refused.
constexpr size_t MaxText = size_t(std::numeric_limits<int32_t>::max()) - 1;

int32_t search(const char* text, const char* pattern, int32_t* length) {
    if (length) *length = 0;
    if (!text || !pattern) return -1;
    try {
        TAwkParam p;
        p.text = text;
        if (p.text.size() > MaxText) return -1;
        p.pattern = pattern;
        const int32_t r = sarnik::ExecRegExpRequest(p, sarnik::Search);
        if (length) *length = p.length;
        return r;
    } catch (...) {
        return -1;
    }
}

// Runs a substitution. capacity < 0 means unchecked. Returns the dispatcher's result, or -1 for
// a bad argument or a failure, or -2 when the result does not fit; writes text only on success.
int32_t substitute(const char* pattern, const char* replacement, char* text, int64_t capacity, int32_t request) {
    if (!pattern || !replacement || !text) return -1;
    try {
        TAwkParam p;
        if (capacity >= 0) {
            const void* end = std::memchr(text, 0, size_t(capacity));
            if (!end) return -1;
            p.text.assign(text, size_t(static_cast<const char*>(end) - text));
        } else {
            p.text = text;
        }
        if (p.text.size() > MaxText) return -1;
        p.pattern = pattern;
        p.replacement = replacement;
        const int32_t r = sarnik::ExecRegExpRequest(p, request);
        if (r <= 0) return r < 0 ? -1 : 0;
        if (capacity >= 0 && p.text.size() + 1 > size_t(capacity)) return -2;
        std::memcpy(text, p.text.c_str(), p.text.size() + 1);
        return r;
    } catch (...) {
        return -1;
    }
}

}  // namespace

extern "C" {

int32_t RESearch(const char* text, const char* pattern, int32_t* length) {
    return search(text, pattern, length);
}

int32_t match(const char* text, const char* pattern) { return search(text, pattern, nullptr); }

int32_t sub(const char* pattern, const char* replacement, char* text) {
    return substitute(pattern, replacement, text, -1, sarnik::Sub) > 0 ? 1 : 0;
}

int32_t gsub(const char* pattern, const char* replacement, char* text) {
    return substitute(pattern, replacement, text, -1, sarnik::GSub);
}

int32_t subSized(const char* pattern, const char* replacement, char* text, int32_t capacity) {
    if (capacity <= 0) return -1;
    return substitute(pattern, replacement, text, capacity, sarnik::Sub);
}

int32_t gsubSized(const char* pattern, const char* replacement, char* text, int32_t capacity) {
    if (capacity <= 0) return -1;
    return substitute(pattern, replacement, text, capacity, sarnik::GSub);
}

}  // extern "C"
