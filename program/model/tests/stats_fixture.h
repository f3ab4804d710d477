// A scratch project folder for the level-data and statistics tests: a project file path in a
// fresh temporary folder, a statistics context over it with a fixed clock, and helpers to write
// level files and build range lists.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "model/scopes.h"
#include "model/stats_context.h"
#include "scratch_folder.h"

namespace murtesk::testing {

// 2024-03-05 07:08:09 as a day count.
inline constexpr Date kFixedNow = 45356.297326388885;

class ScratchProject : public ::testing::Test {
protected:
    ScratchProject() : scratch_("stats"), dir_(scratch_.path()) {
        bandDir_ = (dir_ / "F").string();
        std::filesystem::create_directories(bandDir_);
    }

    std::string ProjectFile() const { return (dir_ / "p.qvd").string(); }
    std::string LCalcDir() const { return (dir_ / "LCalc").string(); }
    const std::string& BandDir() const { return bandDir_; }

    // Writes raw bytes as a file in `folder`.
    static void WriteBytes(const std::string& folder, const std::string& name, const std::string& bytes) {
        std::ofstream out(std::filesystem::path(folder) / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Writes levels as a level file in the band folder.
    void WriteLevels(const std::string& name, const std::vector<float>& levels) const {
        WriteBytes(bandDir_, name,
                   std::string(reinterpret_cast<const char*>(levels.data()), levels.size() * sizeof(float)));
    }

    test_support::ScratchFolder scratch_;
    std::filesystem::path dir_;
    std::string bandDir_;
    StatsContext context_{[this] { return ProjectFile(); }, [] { return kFixedNow; }};
};

inline CScopes MakeScopes(std::initializer_list<std::pair<std::int32_t, std::int32_t>> ranges) {
    CScopes scopes;
    for (const auto& [s, e] : ranges) scopes.Add(CScope(s, e));
    return scopes;
}

// The ranges of a list as (S, E) pairs of numbers.
inline std::vector<std::pair<double, double>> RangesOf(const CScopes& scopes) {
    std::vector<std::pair<double, double>> out;
    for (const auto& r : scopes) out.emplace_back(r->S.AsDouble(), r->E.AsDouble());
    return out;
}

}  // namespace murtesk::testing
