// The conformance tables in $MURTESK_TESTDATA/regex/att/*.dat, searched through RESearch.
// Each line is one test; a line that asks for what this library does not have (basic syntax,
// bounds, character-class names, back references, flags) is skipped with its reason, and a
// line whose expectation rests on a rule this library defines differently names that rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestUtil.h"

namespace sarnik::test {
namespace {

struct AttLine {
    std::string file;
    int line = 0;
    std::string pattern, text, result;
    std::string skip;  // why the line does not apply; empty when it does
};
void PrintTo(const AttLine& l, std::ostream* os) { *os << l.file << ":" << l.line; }

// $MURTESK_TESTDATA, or else the shared/testdata folder next to the nearest ancestor of the
// source tree that has one (a worktree sits one level deeper than the main checkout).
std::filesystem::path dataFolder() {
    std::error_code ec;
    if (const char* env = std::getenv("MURTESK_TESTDATA"); env && std::filesystem::is_directory(env, ec)) return env;
    for (std::filesystem::path p = MURTESK_SOURCE_ROOT; !p.empty(); p = p.parent_path()) {
        if (std::filesystem::is_directory(p / "shared" / "testdata", ec)) return p / "shared" / "testdata";
        if (p == p.parent_path()) break;
    }
    return "shared/testdata";
}

// The C escapes of lines flagged "$".
std::string unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char e = s[++i];
        switch (e) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'x': {
            size_t n = 0;
            out += char(std::stoi(s.substr(i + 1, 2), &n, 16));
            i += n;
            break;
        }
        default: out += '\\'; out += e; break;
        }
    }
    return out;
}

// Lines whose expectation follows a rule of another syntax; the reason names ours.
const char* divergence(const std::string& pattern, const std::string& text) {
    if (pattern == "a*(^a)" || pattern == "$^")
        return "a '^' or '$' inside the pattern is a literal character here";
    if (pattern == "a]" || pattern == "]" || pattern.find("[]") != std::string::npos || pattern.find("[^]") != std::string::npos)
        return "here ']' first in a class closes it, and a lone ']' is no character";
    if (pattern == "[^a]" && text == "\n") return "a negated class never matches a line feed here";
    return nullptr;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> f;
    std::string cur;
    for (char c : line) {
        if (c == '\t') {
            if (!cur.empty()) f.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) f.push_back(cur);
    return f;
}

std::vector<AttLine> loadLines() {
    std::vector<AttLine> all;
    const auto folder = dataFolder() / "regex" / "att";
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        if (e.path().extension() == ".dat") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        all.push_back({"missing", 0, "", "", "", ""});
        return all;
    }
    for (const auto& path : files) {
        std::ifstream in(path);
        std::string line;
        int number = 0;
        bool unsupportedBlock = false;
        while (std::getline(in, line)) {
            ++number;
            if (line.empty() || line[0] == '#' || line.rfind("NOTE", 0) == 0) continue;
            const auto f = fields(line);
            if (f.empty()) continue;
            AttLine l{path.stem().string(), number, "", "", "", ""};
            std::string flags = f[0];
            if (flags[0] == '}') {
                unsupportedBlock = false;
                continue;
            }
            if (flags[0] == ';') continue;  // categorisation footer, no test
            if (flags[0] == '{') {
                unsupportedBlock = true;
                flags.erase(0, 1);
            }
            const bool alternative = flags[0] == '|';
            if (flags[0] == '?' || flags[0] == '|') flags.erase(0, 1);
            if (f.size() < 4) continue;
            l.pattern = f[1] == "NULL" ? "" : f[1];
            l.text = f[2] == "NULL" ? "" : f[2];
            l.result = f[3];
            if (flags.find('$') != std::string::npos) {
                l.pattern = unescape(l.pattern);
                l.text = unescape(l.text);
            }
            if (unsupportedBlock) l.skip = "character-class names and collating elements are not supported";
            else if (alternative) l.skip = "an alternative outcome of a categorisation line";
            else if (flags.find('E') == std::string::npos) l.skip = "basic syntax only";
            else if (flags.find_first_of("iLnrs") != std::string::npos) l.skip = "flag " + flags + " not supported";
            else if (l.pattern.find('{') != std::string::npos) l.skip = "bounds {m,n} are not supported";
            else if (l.pattern.find("[[:") != std::string::npos) l.skip = "character-class names are not supported";
            else if (l.pattern.find_first_of("\\") != std::string::npos &&
                     l.pattern.find_first_of("123456789", l.pattern.find('\\')) == l.pattern.find('\\') + 1)
                l.skip = "back references are not supported";
            else if (l.result[0] != '(' && l.result != "NOMATCH") l.skip = "error code " + l.result + " belongs to another syntax";
            else if (const char* why = divergence(l.pattern, l.text)) l.skip = why;
            all.push_back(l);
        }
    }
    return all;
}

class Conformance : public ::testing::TestWithParam<AttLine> {};

TEST_P(Conformance, WholeMatchOffsets) {
    const AttLine& l = GetParam();
    ASSERT_NE(l.file, "missing") << "no .dat files under " << dataFolder();
    if (!l.skip.empty()) GTEST_SKIP() << l.file << ":" << l.line << " skipped: " << l.skip;
    Found expected{0, 0};
    if (l.result != "NOMATCH") {
        int start = 0, end = 0;
        ASSERT_EQ(std::sscanf(l.result.c_str(), "(%d,%d)", &start, &end), 2) << l.result;
        expected = {start + 1, end - start};
    }
    EXPECT_EQ(research(l.text, l.pattern), expected)
        << l.file << ":" << l.line << " pattern " << l.pattern << " text " << l.text;
}

INSTANTIATE_TEST_SUITE_P(Att, Conformance, ::testing::ValuesIn(loadLines()),
                         [](const ::testing::TestParamInfo<AttLine>& i) {
                             return i.param.file + "_" + std::to_string(i.param.line);
                         });

}  // namespace
}  // namespace sarnik::test
