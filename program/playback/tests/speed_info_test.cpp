// Speed records: the ".kmh" side file byte for byte, speeds from distance and times, deletion by number and by
// scope, the average over the matching records, and damaged files.
#include <gtest/gtest.h>

#include <limits>

#include "playback/side_files.h"
#include "playback/speed_info.h"
#include "side_file_bytes.h"

namespace murtesk::playback {
namespace {

using testing::Bytes;
using testing::ReadAll;
using testing::Scratch;
using testing::WriteAll;

CSpeedInfo Speed(std::int16_t course, std::int16_t road, std::int32_t t1, std::int32_t t2, float metres,
                 std::int16_t kind) {
    CSpeedInfo s;
    s.Course = course;
    s.RoadNo = road;
    s.SaveTime1 = t1;
    s.SaveTime2 = t2;
    s.Distance = metres;
    s.CarKind = kind;
    return s;
}

std::string SpeedFile(std::int32_t slots, const std::vector<CSpeedInfo>& records, const CSpeedInfo& now) {
    Bytes b;
    const std::size_t unused = slots - records.size();
    b.magic().i32(slots).i32(static_cast<std::int32_t>(records.size()));
    for (auto field : {&CSpeedInfo::Course, &CSpeedInfo::RoadNo}) {
        for (const CSpeedInfo& r : records) b.i16(r.*field);
        b.zeros(2 * unused);
    }
    for (auto field : {&CSpeedInfo::SaveTime1, &CSpeedInfo::SaveTime2}) {
        for (const CSpeedInfo& r : records) b.i32(r.*field);
        b.zeros(4 * unused);
    }
    for (const CSpeedInfo& r : records) b.f32(r.Distance);
    b.zeros(4 * unused);
    for (const CSpeedInfo& r : records) b.i16(r.CarKind);
    b.zeros(2 * unused);
    b.magic().i16(now.Course).i16(now.RoadNo).i32(now.SaveTime1).i32(now.SaveTime2).f32(now.Distance).i16(now.CarKind);
    return b.str();
}

std::vector<std::int32_t> FirstTimes(const CSpeedInfos& list) {
    std::vector<std::int32_t> v;
    for (int i = 1; i <= list.count(); ++i) v.push_back(list.Item(i).SaveTime1);
    return v;
}

TEST(SpeedFile, NewListIsAHundredEmptySlots) {
    Scratch dir;
    const CSpeedInfos list;
    ASSERT_TRUE(list.FileWrite(dir.file("v.kmh")));
    const std::string bytes = ReadAll(dir.file("v.kmh"));
    EXPECT_EQ(bytes.size(), 1834u);
    EXPECT_EQ(bytes, SpeedFile(100, {}, CSpeedInfo{}));
    EXPECT_EQ(SpeedFilePath("/p/RecWav/24-5-1-9_30_0.avi"), "/p/RecWav/24-5-1-9_30_0.kmh");
}

TEST(SpeedFile, TheHundredAndFirstRecordAddsAHundredSlotsAndReadsBackEqual) {
    Scratch dir;
    CSpeedInfos list;
    std::vector<CSpeedInfo> records;
    for (int i = 0; i < 101; ++i) {
        records.push_back(Speed(static_cast<std::int16_t>(i % 2), static_cast<std::int16_t>(i % 4), 1000 * i,
                                1000 * i + 700 + i, 12.5f + static_cast<float>(i) / 8,
                                static_cast<std::int16_t>(1 + i % 8)));
        list.Add(records.back());
    }
    EXPECT_EQ(list.AllocatedLength(), 200);
    const CSpeedInfo now = Speed(1, 3, -5, 70000, 25.25f, 7);
    list.SetNowSpeedInfo(now);
    ASSERT_TRUE(list.FileWrite(dir.file("v.kmh")));
    const std::string bytes = ReadAll(dir.file("v.kmh"));
    EXPECT_EQ(bytes.size(), 3634u);
    EXPECT_EQ(bytes, SpeedFile(200, records, now));

    CSpeedInfos read;
    ASSERT_TRUE(read.FileRead(dir.file("v.kmh")));
    EXPECT_TRUE(read.IsMeEqualTo(list));
    list.AllDelete();
    EXPECT_EQ(list.AllocatedLength(), 100);
    EXPECT_TRUE(list.NowSpeedInfo().IsMeEqualTo(now));
}

struct SpeedCase {
    std::int32_t t1, t2;
    float metres;
    float kmh;
};

class SpeedOf : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(SpeedOf, DistanceOverTheTimeBetween) {
    const SpeedCase c = GetParam();
    EXPECT_FLOAT_EQ(Speed(0, 0, c.t1, c.t2, c.metres, 1).GetSpeedKmH(), c.kmh);
}

// 0.02 km in 1 s (1/3600 h) is 72 km/h; in 1.44 s, 50; 2 s apart in either order, 36; no time, -1.
INSTANTIATE_TEST_SUITE_P(Cases, SpeedOf,
                         ::testing::Values(SpeedCase{1000, 2000, 20.0f, 72.0f}, SpeedCase{0, 1440, 20.0f, 50.0f},
                                           SpeedCase{7000, 5000, 20.0f, 36.0f}, SpeedCase{3000, 3000, 20.0f, -1.0f},
                                           // The difference of the extremes overflows 32 bits, not 64.
                                           SpeedCase{std::numeric_limits<std::int32_t>::min(),
                                                     std::numeric_limits<std::int32_t>::max(), 1000.0f,
                                                     static_cast<float>(1.0 / (4294967295.0 / 3600000.0))}));

CSpeedInfos Five() {
    CSpeedInfos list;
    for (const CSpeedInfo& s : {Speed(0, 1, 1, 2, 10, 1), Speed(0, 3, 2, 3, 10, 2), Speed(1, 3, 3, 4, 10, 1),
                                Speed(0, 3, 4, 6, 10, 1), Speed(0, 0, 5, 7, 10, 4)})
        list.Add(s);
    return list;
}

TEST(SpeedInfos, SelectDeleteRemovesByNumberAndRenumbers) {
    CSpeedInfos list = Five();
    const std::int32_t numbers[] = {2, 4};
    list.SelectDelete(numbers);
    EXPECT_EQ(FirstTimes(list), (std::vector<std::int32_t>{1, 3, 5}));
    const std::int32_t none[] = {0, 9};
    list.SelectDelete(none);
    EXPECT_EQ(FirstTimes(list), (std::vector<std::int32_t>{1, 3, 5}));
}

struct KindDeleteCase {
    const char* name;
    std::int32_t scope;
    CSpeedInfo now;
    std::vector<std::int32_t> left;
};

class KindDelete : public ::testing::TestWithParam<KindDeleteCase> {};

TEST_P(KindDelete, RemovesTheScope) {
    CSpeedInfos list = Five();
    list.SetNowSpeedInfo(GetParam().now);
    list.KindDelete(GetParam().scope);
    EXPECT_EQ(FirstTimes(list), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Scopes, KindDelete,
                         ::testing::Values(KindDeleteCase{"EveryLaneOfTheDirection", 0, Speed(0, 0, 0, 0, 0, 0), {3}},
                                           KindDeleteCase{"LaneThree", 0, Speed(0, 3, 0, 0, 0, 0), {1, 3, 5}},
                                           KindDeleteCase{"Direction", 1, Speed(1, 1, 0, 0, 0, 0), {1, 2, 4, 5}},
                                           KindDeleteCase{"All", 2, Speed(0, 0, 0, 0, 0, 0), {}},
                                           KindDeleteCase{"Unknown", 7, Speed(0, 0, 0, 0, 0, 0), {}}),
                         [](const ::testing::TestParamInfo<KindDeleteCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(SpeedInfos, AverageAndSelectionOverTheMatchingRecords) {
    CSpeedInfos list = Five();  // 10 m in 1 ms is 36,000 km/h, in 2 ms 18,000
    list.SetNowSpeedInfo(Speed(0, 3, 0, 0, 0, 0));
    EXPECT_NEAR(list.GetAverageSpeedKmH(), (36000.0 + 18000.0) / 2, 1e-2);  // records 2 and 4, lane 3 up
    list.SetNowSpeedInfo(Speed(0, 0, 0, 0, 0, 0));
    // Over the four matching records, not all five.
    EXPECT_NEAR(list.GetAverageSpeedKmH(), (36000.0 + 36000.0 + 18000.0 + 18000.0) / 4, 1e-2);
    const CSpeedInfos kindOne = list.SelectCarKind(1);
    EXPECT_EQ(FirstTimes(kindOne), (std::vector<std::int32_t>{1, 4}));
    EXPECT_TRUE(kindOne.NowSpeedInfo().IsMeEqualTo(list.NowSpeedInfo()));
    list.SetNowSpeedInfo(Speed(1, 9, 0, 0, 0, 0));
    EXPECT_EQ(list.GetAverageSpeedKmH(), 0.0);
}

struct BadSpeed {
    const char* name;
    std::string bytes;
};

class BadSpeedFile : public ::testing::TestWithParam<BadSpeed> {};

TEST_P(BadSpeedFile, ReadsFalse) {
    Scratch dir;
    WriteAll(dir.file("v.kmh"), GetParam().bytes);
    CSpeedInfos list = Five();
    EXPECT_FALSE(list.FileRead(dir.file("v.kmh")));
}

const std::string kGoodSpeeds = SpeedFile(2, {Speed(0, 1, 1, 2, 3, 4)}, CSpeedInfo{});

INSTANTIATE_TEST_SUITE_P(
    Files, BadSpeedFile,
    ::testing::Values(BadSpeed{"Empty", ""}, BadSpeed{"WrongMagic", Bytes().i32(0).str() + kGoodSpeeds.substr(4)},
                      BadSpeed{"NegativeSlots", Bytes().magic().i32(-100).i32(0).str() + std::string(64, '\0')},
                      BadSpeed{"CountAboveSlots", Bytes().magic().i32(2).i32(3).str() + kGoodSpeeds.substr(12)},
                      BadSpeed{"HugeSlots", Bytes().magic().i32(std::numeric_limits<std::int32_t>::max()).i32(1).str() +
                                                std::string(40, '\0')},
                      BadSpeed{"EndsInsideTheArrays", kGoodSpeeds.substr(0, 12 + 35)},
                      BadSpeed{"EndsInsideTheFilter", kGoodSpeeds.substr(0, kGoodSpeeds.size() - 1)}),
    [](const ::testing::TestParamInfo<BadSpeed>& info) { return std::string(info.param.name); });

TEST(SpeedFile, MissingFileReadsFalseWithTheListUntouched) {
    Scratch dir;
    CSpeedInfos list = Five();
    EXPECT_FALSE(list.FileRead(dir.file("none.kmh")));
    EXPECT_EQ(list.count(), 5);
}

}  // namespace
}  // namespace murtesk::playback
