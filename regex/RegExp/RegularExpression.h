// A compiled pattern with a small cache of recently compiled ones.
// The cache holds up to ten patterns with their automata; setting a pattern that is already
// there (same bytes, same full-width option) reuses its automaton.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Dfa.h"
#include "Search.h"

namespace sarnik {

class TRegularExpression {
public:
    static constexpr size_t CacheCapacity = 10;

    // Starts with the empty pattern compiled and current.
    TRegularExpression();
    virtual ~TRegularExpression() = default;

    // Makes the pattern current, compiling it unless cached. A bad pattern raises ERegExpParser
    // and leaves the empty pattern's entry current. A NUL byte ends the pattern.
    void SetPattern(std::string_view pattern);

    // Search of the current pattern; search() treats the text as beginning a line.
    MatchResult search(std::string_view text) const { return searchFrom(text, true); }
    MatchResult searchFrom(std::string_view text, bool lineStart) const;

    // When set, the full-width twins of the metacharacters count as metacharacters.
    bool AcceptDBMeta = false;

    size_t cacheSize() const { return cache_.size(); }

protected:
    void CompilePattern(std::string_view pattern);

private:
    struct Entry {
        std::string pattern;
        std::unique_ptr<TDFA> dfa;
    };
    std::vector<Entry> cache_;
    size_t current_ = 0;
};

}  // namespace sarnik
