#include "model/scopes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/binary_file.h"
#include "stats_fixture.h"

namespace murtesk {
namespace {

using testing::MakeScopes;
using testing::RangesOf;
using Ranges = std::vector<std::pair<double, double>>;

TEST(CScope, IsScopeTakesTheRangeEitherWayRound) {
    EXPECT_TRUE(CScope(3, 7).isScope(5));
    EXPECT_TRUE(CScope(7, 3).isScope(5));
    EXPECT_TRUE(CScope(3, 7).isScope(3));
    EXPECT_TRUE(CScope(3, 7).isScope(7));
    EXPECT_FALSE(CScope(3, 7).isScope(8));
    EXPECT_FALSE(CScope(7, 3).isScope(8));
}

TEST(CScope, InAreaClipsAnOverlappingRangeAndLeavesOthers) {
    const CScope area(10, 20);
    CScope overlapping(5, 12);
    EXPECT_TRUE(area.InArea(overlapping));
    EXPECT_EQ(overlapping.S.AsDouble(), 10);
    EXPECT_EQ(overlapping.E.AsDouble(), 12);

    CScope touching(20, 25);
    EXPECT_TRUE(area.InArea(touching));
    EXPECT_EQ(touching.S.AsDouble(), 20);
    EXPECT_EQ(touching.E.AsDouble(), 20);

    CScope outside(21, 30);
    EXPECT_FALSE(area.InArea(outside));
    EXPECT_EQ(outside.S.AsDouble(), 21);
    EXPECT_EQ(outside.E.AsDouble(), 30);
}

TEST(CScope, ComparesEndsByValueAcrossTypes) {
    EXPECT_TRUE(CScope(std::int16_t{5}, 9.0).IsMeEqualTo(CScope(5, 9)));
    EXPECT_FALSE(CScope(5, 9).IsMeEqualTo(CScope(5, 10)));
}

struct MergeCase {
    const char* name;
    Ranges input;
    Ranges merged;
};

class ResetScopesTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(ResetScopesTest, MergesOverlapsButNotNeighbours) {
    CScopes scopes;
    for (const auto& [s, e] : GetParam().input)
        scopes.Add(CScope(static_cast<std::int32_t>(s), static_cast<std::int32_t>(e)));
    scopes.ResetScopes();
    EXPECT_EQ(RangesOf(scopes), GetParam().merged);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResetScopesTest,
    ::testing::Values(
        MergeCase{"SharedPositionMergesTouchingStaysApart",
                  {{10, 20}, {1, 5}, {5, 8}, {21, 30}},
                  {{1, 8}, {10, 20}, {21, 30}}},
        MergeCase{"RangeInsideAnother", {{1, 100}, {20, 30}}, {{1, 100}}},
        MergeCase{"ChainOfOverlaps", {{30, 40}, {1, 10}, {10, 30}}, {{1, 40}}},
        MergeCase{"SingleRangeUntouched", {{9, 3}}, {{9, 3}}},
        MergeCase{"Empty", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CScopes, SortIsStableAndKeepsTheObjects) {
    CScopes scopes;
    auto a = scopes.SimpleAdd(std::make_shared<CScope>(5, 6));
    auto b = scopes.SimpleAdd(std::make_shared<CScope>(1, 2));
    auto c = scopes.SimpleAdd(std::make_shared<CScope>(5, 9));
    scopes.SSort();
    EXPECT_EQ(scopes.ItemShared(1), b);
    EXPECT_EQ(scopes.ItemShared(2), a);
    EXPECT_EQ(scopes.ItemShared(3), c);
}

TEST(CScopes, AddOneNoOverlapMergesIntoNewObjects) {
    CScopes scopes;
    auto first = scopes.AddOneNoOverlap(std::make_shared<CScope>(1, 5));
    EXPECT_EQ(scopes.ItemShared(1), first);  // alone: the object itself
    auto second = scopes.AddOneNoOverlap(std::make_shared<CScope>(4, 9));
    EXPECT_EQ(RangesOf(scopes), (Ranges{{1, 9}}));
    EXPECT_NE(scopes.ItemShared(1), second);
    EXPECT_EQ(second->E.AsDouble(), 9);  // the range given is returned unchanged
}

struct ReverseCase {
    const char* name;
    Ranges list;
    std::int32_t from, to;
    Ranges gaps;
};

class GetReverseTest : public ::testing::TestWithParam<ReverseCase> {};

TEST_P(GetReverseTest, GivesTheGapsWithinTheRequest) {
    CScopes scopes;
    for (const auto& [s, e] : GetParam().list)
        scopes.Add(CScope(static_cast<std::int32_t>(s), static_cast<std::int32_t>(e)));
    int reports = 0;
    const CScopes gaps = scopes.getReverse(GetParam().from, GetParam().to, [&](std::string_view) { ++reports; });
    EXPECT_EQ(RangesOf(gaps), GetParam().gaps);
    EXPECT_EQ(reports, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetReverseTest,
    ::testing::Values(ReverseCase{"TwoInside", {{10, 20}, {50, 60}}, 1, 100, {{1, 9}, {21, 49}, {61, 100}}},
                      ReverseCase{"OverhangingBothEnds", {{1, 20}, {95, 120}}, 1, 100, {{21, 94}}},
                      ReverseCase{"CoversAll", {{1, 100}}, 1, 100, {}},
                      ReverseCase{"EmptyList", {}, 1, 100, {{1, 100}}},
                      ReverseCase{"EmptyListReversedRequest", {}, 100, 1, {{100, 1}}},
                      ReverseCase{"RangesBeforeTheRequest", {{1, 5}, {8, 9}}, 10, 20, {{10, 20}}},
                      ReverseCase{"RangeBeyondTheRequest", {{50, 60}}, 1, 20, {{1, 20}}},
                      ReverseCase{"AdjacentRanges", {{1, 5}, {6, 10}}, 1, 12, {{11, 12}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CScopes, GetReverseReportsAReversedRequestThroughTheNotifier) {
    CScopes scopes = MakeScopes({{10, 20}});
    std::vector<std::string> messages;
    const CScopes gaps = scopes.getReverse(100, 1, [&](std::string_view m) { messages.emplace_back(m); });
    EXPECT_EQ(gaps.count(), 0);
    EXPECT_EQ(messages, std::vector<std::string>{"ERROR CSCopes getReverse Param"});
    EXPECT_EQ(scopes.getReverse(100, 1).count(), 0);  // no notifier: nothing shown, still empty
}

TEST(CScopes, GetReverseKeepsPositionTypes) {
    CScopes scopes;
    scopes.Add(CScope(std::int16_t{10}, std::int16_t{20}));
    const CScopes gaps = scopes.getReverse(std::int32_t{1}, std::int32_t{30});
    ASSERT_EQ(gaps.count(), 2);
    EXPECT_EQ(gaps.Item(1).S.tag(), Variant::kLong);
    EXPECT_EQ(gaps.Item(1).E.tag(), Variant::kInteger);  // 10 - 1 stays 16-bit
    EXPECT_EQ(gaps.Item(2).S.tag(), Variant::kInteger);  // 20 + 1
    EXPECT_EQ(gaps.Item(2).S.AsDouble(), 21);
}

class RangeFileTest : public testing::ScratchProject {
protected:
    std::string Path(const char* name) const { return (dir_ / name).string(); }
};

TEST_F(RangeFileTest, EmptyListIsTwentyFourBytes) {
    const CScopes empty;
    ASSERT_TRUE(empty.FileWrite(Path("a.mrk"), 45356.5, 0.1));
    const std::string bytes = ReadBytes(Path("a.mrk"));
    ASSERT_EQ(bytes.size(), 24u);
    double start, period;
    std::int32_t magic, count;
    std::memcpy(&start, bytes.data(), 8);
    std::memcpy(&period, bytes.data() + 8, 8);
    std::memcpy(&magic, bytes.data() + 16, 4);
    std::memcpy(&count, bytes.data() + 20, 4);
    EXPECT_EQ(start, 45356.5);
    EXPECT_EQ(period, 0.1);
    EXPECT_EQ(magic, 19660126);
    EXPECT_EQ(count, 0);

    CScopes back = MakeScopes({{1, 2}});
    Date t = 0;
    double p = 0;
    ASSERT_TRUE(back.FileRead(Path("a.mrk"), t, p));
    EXPECT_EQ(back.count(), 0);
    EXPECT_EQ(t, 45356.5);
    EXPECT_EQ(p, 0.1);
}

TEST_F(RangeFileTest, RangesKeepTheirTypeTags) {
    CScopes scopes;
    scopes.Add(CScope(std::int32_t{5}, std::int16_t{7}));
    scopes.Add(CScope(2.5, Variant::FromDate(45356.25)));
    ASSERT_TRUE(scopes.FileWrite(Path("b.dla"), 45356.0, 0.001));

    const std::string bytes = ReadBytes(Path("b.dla"));
    // header 24, then (magic, tag 3 + 4, tag 2 + 2) and (magic, tag 5 + 8, tag 7 + 8)
    ASSERT_EQ(bytes.size(), 24u + (4 + 6 + 4) + (4 + 10 + 10));
    const std::string first = bytes.substr(24, 14);
    EXPECT_EQ(first, std::string("\x5E\xFD\x2B\x01\x03\x00\x05\x00\x00\x00\x02\x00\x07\x00", 14));

    CScopes back;
    Date t = 0;
    double p = 0;
    ASSERT_TRUE(back.FileRead(Path("b.dla"), t, p));
    EXPECT_TRUE(back.IsMeEqualTo(scopes));
    EXPECT_EQ(back.Item(1).E.tag(), Variant::kInteger);
    EXPECT_EQ(back.Item(2).S.tag(), Variant::kDouble);
    EXPECT_EQ(back.Item(2).E.tag(), Variant::kDate);
}

TEST_F(RangeFileTest, ReadingFailsOnAbsentOrDamagedFiles) {
    CScopes scopes = MakeScopes({{1, 2}});
    Date t = 0;
    double p = 0;
    EXPECT_FALSE(scopes.FileRead(Path("none.mrk"), t, p));
    EXPECT_EQ(scopes.count(), 1);  // untouched

    ASSERT_TRUE(MakeScopes({{1, 2}, {5, 9}}).FileWrite(Path("c.mrk"), 1.0, 1.0));
    std::filesystem::resize_file(Path("c.mrk"), 24 + 14 + 6);  // cut inside the second range
    EXPECT_FALSE(scopes.FileRead(Path("c.mrk"), t, p));
    EXPECT_EQ(RangesOf(scopes), (Ranges{{1, 2}}));  // the ranges read before the cut stay
}

TEST_F(RangeFileTest, AFailedWriteLeavesTheOldFile) {
    ASSERT_TRUE(MakeScopes({{1, 2}}).FileWrite(Path("d.mrk"), 1.0, 1.0));
    const std::string before = ReadBytes(Path("d.mrk"));
    platform::SetWriteLimitForTests(30);  // the disk fills inside the first range
    const bool written = MakeScopes({{5, 6}, {7, 8}}).FileWrite(Path("d.mrk"), 2.0, 2.0);
    platform::SetWriteLimitForTests(-1);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(Path("d.mrk")), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2);  // d.mrk and the folder F
}

}  // namespace
}  // namespace murtesk
