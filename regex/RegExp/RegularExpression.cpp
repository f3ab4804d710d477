#include "RegularExpression.h"

#include "Nfa.h"
#include "RegExpParser.h"

namespace sarnik {
namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

TRegularExpression::TRegularExpression() {
    cache_.push_back({std::string(), nullptr});
    current_ = 0;
    CompilePattern({});
}

void TRegularExpression::CompilePattern(std::string_view pattern) {
    TRegExpParser parser(pattern, AcceptDBMeta);
    parser.run();
    const auto errorPosition = static_cast<uint32_t>(pattern.size());
    const TNFA nfa(parser.tree(), errorPosition);
    cache_[current_].dfa = std::make_unique<TDFA>(nfa, AcceptDBMeta, errorPosition);
}

void TRegularExpression::SetPattern(std::string_view pattern) {
    pattern = pattern.substr(0, pattern.find('\0'));
    // The lookup ignores letter case; only an exact entry built with the same option is a hit.
    for (size_t i = 0; i < cache_.size(); ++i) {
        if (!equalIgnoringCase(cache_[i].pattern, pattern)) continue;
        current_ = i;
        if (cache_[i].dfa && cache_[i].dfa->fullWidth() == AcceptDBMeta && cache_[i].pattern == pattern) return;
        break;
    }
    if (cache_.size() >= CacheCapacity) cache_.pop_back();
    cache_.insert(cache_.begin(), Entry{std::string(pattern), nullptr});
    current_ = 0;
    try {
        CompilePattern(pattern);
    } catch (...) {
        cache_.erase(cache_.begin() + ptrdiff_t(current_));
        current_ = 0;
        throw;
    }
}

MatchResult TRegularExpression::searchFrom(std::string_view text, bool lineStart) const {
    return sarnik::searchFrom(*cache_[current_].dfa, text, lineStart);
}

}  // namespace sarnik
