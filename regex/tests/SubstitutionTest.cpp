// sub and gsub through the exports: the replacement table, empty matches, double-byte text, and
// a table of ordinary cases that gawk agrees with (cross-checked when gawk is installed).
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "TestUtil.h"

extern char** environ;

namespace sarnik::test {
namespace {

struct SubResult {
    int32_t result;
    std::string text;
    bool operator==(const SubResult&) const = default;
};
std::ostream& operator<<(std::ostream& os, const SubResult& r) { return os << r.result << " \"" << r.text << "\""; }

// Runs sub or gsub on a roomy buffer with a sentinel after the text's room.
SubResult run(bool global, const std::string& pattern, const std::string& replacement, const std::string& text) {
    std::vector<char> buf(text.size() + 4096, '\x7F');
    std::memcpy(buf.data(), text.c_str(), text.size() + 1);
    const int32_t r = global ? gsub(pattern.c_str(), replacement.c_str(), buf.data())
                             : sub(pattern.c_str(), replacement.c_str(), buf.data());
    return {r, std::string(buf.data())};
}

// --- The replacement table: what each replacement inserts for the match "b" in "abc".
struct ReplacementCase {
    const char* replacement;
    const char* inserted;
};

class Replacement : public ::testing::TestWithParam<ReplacementCase> {};

TEST_P(Replacement, InsertsAsTabled) {
    const auto& c = GetParam();
    const std::string expected = std::string("a") + c.inserted + "c";
    EXPECT_EQ(run(false, "b", c.replacement, "abc"), (SubResult{1, expected})) << c.replacement;
    EXPECT_EQ(run(true, "b", c.replacement, "abc"), (SubResult{1, expected})) << c.replacement;
}

INSTANTIATE_TEST_SUITE_P(Table, Replacement,
                         ::testing::Values(ReplacementCase{"[&]", "[b]"}, ReplacementCase{"\\&", "b"},
                                           ReplacementCase{"\\\\&", "&"}, ReplacementCase{"\\n", "\n"},
                                           ReplacementCase{"\\\\n", "\n"}, ReplacementCase{"\\x41", "A"},
                                           ReplacementCase{"a\\\\b", "a\b"},
                                           ReplacementCase{"x\\", "x\\"},  // a trailing backslash stays
                                           ReplacementCase{"&&", "bb"}, ReplacementCase{"\\t", "\t"},
                                           // a trail byte 5C is no escape: "表n" stays as it is
                                           ReplacementCase{"\x95\x5Cn", "\x95\x5Cn"},
                                           ReplacementCase{"\\x82a0", "\x82\xA0"}));

// --- Substitutions with their own rules.
struct SubCase {
    const char* name;
    bool global;
    std::string pattern, replacement, text;
    SubResult expected;
};
void PrintTo(const SubCase& c, std::ostream* os) { *os << c.name; }

class Substitution : public ::testing::TestWithParam<SubCase> {};

TEST_P(Substitution, GivesTheText) {
    const auto& c = GetParam();
    EXPECT_EQ(run(c.global, c.pattern, c.replacement, c.text), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Substitution,
    ::testing::Values(
        SubCase{"empty matches between characters", true, "x*", "-", "abc", {3, "-a-b-c"}},
        SubCase{"sub of every b", true, "b", "[&]", "abcb", {2, "a[b]c[b]"}},
        SubCase{"sub of first b", false, "b", "[&]", "abcb", {1, "a[b]cb"}},
        SubCase{"gsub on empty text inserts once", true, "x*", "-", "", {1, "-"}},
        SubCase{"sub on empty text inserts", false, "x*", "-", "", {1, "-"}},
        SubCase{"empty match keeps double-byte whole", true, "x*", "-", "\x82\xA0" "a", {2, "-\x82\xA0-a"}},
        SubCase{"trail 5C is kept with its lead", true, "x*", "-", "\x95\x5C", {1, "-\x95\x5C"}},
        SubCase{"caret anchors later only after line feed", true, "^a", "-", "aa\na", {2, "-a\n-"}},
        SubCase{"no match leaves text", true, "z", "-", "abc", {0, "abc"}},
        SubCase{"no match leaves text (sub)", false, "z", "-", "abc", {0, "abc"}},
        SubCase{"pattern error gsub", true, "(a", "-", "abc", {-1, "abc"}},
        SubCase{"pattern error sub", false, "(a", "-", "abc", {0, "abc"}},
        SubCase{"double-byte pattern and replacement", true, "\x83\x7C", "[&]", "a\x83\x7C\x95\x5C\x83\x7C",
                {2, "a[\x83\x7C]\x95\x5C[\x83\x7C]"}},
        SubCase{"bar trail not split by gsub of bar", true, "\\|", "!", "\x83\x7C|", {1, "\x83\x7C!"}},
        SubCase{"dollar at end", true, "$", "!", "ab", {1, "ab!"}},
        SubCase{"whole line", true, "^.*$", "<&>", "ab\ncd", {2, "<ab>\n<cd>"}}));

// --- Ordinary cases (non-empty matches, replacements without backslash) that gawk agrees with.
struct AwkCase {
    std::string pattern, replacement, text;
    int32_t gsubCount;
    std::string gsubText, subText;
};

const std::vector<AwkCase>& awkCases() {
    static const std::vector<AwkCase> cases = {
        {"b", "[&]", "abcb", 2, "a[b]c[b]", "a[b]cb"},
        {"a+", "<&>", "baaacaad", 2, "b<aaa>c<aa>d", "b<aaa>caad"},
        {"[0-9]+", "#", "a1b22c333", 3, "a#b#c#", "a#b22c333"},
        {"ab|abcd", "X", "xabcdeab", 2, "xXeX", "xXeab"},
        {".", "&&", "abc", 3, "aabbcc", "aabc"},
        {"[^ ]+", "(&)", "to be", 2, "(to) (be)", "(to) be"},
        {",", ";", "a,b,,c", 3, "a;b;;c", "a;b,,c"},
        {"x|y", "-", "axbyc", 2, "a-b-c", "a-byc"},
        {"a.c", "[&]", "abcaxc", 2, "[abc][axc]", "[abc]axc"},
        {"(a|b)*c", "Z", "abacbc", 2, "ZZ", "Zbc"},
        {"ab*", "X", "abbbxaxb", 2, "XxXxb", "Xxaxb"},
        {"[a-c]+", "&-&", "xabcy", 1, "xabc-abcy", "xabc-abcy"},
    };
    return cases;
}

// gawk's answer "count:text" for gsub, or nothing when gawk is not installed.
std::optional<std::string> gawkGsub(const AwkCase& c) {
    int out[2];
    if (pipe(out) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string program = "BEGIN { s = ARGV[3]; n = gsub(ARGV[1], ARGV[2], s); printf \"%d:%s\", n, s; exit }";
    std::vector<std::string> args = {"gawk", program, c.pattern, c.replacement, c.text};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "gawk", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string answer;
    if (spawned == 0) {
        char buf[256];
        ssize_t n;
        while ((n = read(out[0], buf, sizeof buf)) > 0) answer.append(buf, size_t(n));
    }
    close(out[0]);
    if (spawned != 0) return std::nullopt;
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) return std::nullopt;
    return answer;
}

class AgreesWithAwk : public ::testing::TestWithParam<AwkCase> {};

TEST_P(AgreesWithAwk, SubAndGsub) {
    const auto& c = GetParam();
    EXPECT_EQ(run(true, c.pattern, c.replacement, c.text), (SubResult{c.gsubCount, c.gsubText}));
    EXPECT_EQ(run(false, c.pattern, c.replacement, c.text), (SubResult{1, c.subText}));
    if (const auto awk = gawkGsub(c)) {
        EXPECT_EQ(*awk, std::to_string(c.gsubCount) + ":" + c.gsubText) << "gawk disagrees with the table";
    }
}

INSTANTIATE_TEST_SUITE_P(Gawk, AgreesWithAwk, ::testing::ValuesIn(awkCases()));

TEST(Gawk, IsThereToCrossCheck) {
    if (!gawkGsub(awkCases()[0])) GTEST_SKIP() << "gawk not installed: the table stands alone";
    SUCCEED();
}

}  // namespace
}  // namespace sarnik::test
