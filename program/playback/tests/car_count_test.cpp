// Vehicle count records: the ".car" side file byte for byte, the counters per kind, recounting, deletion by
// scope, and files that are missing, damaged or hostile.
#include <gtest/gtest.h>

#include <limits>

#include "platform/binary_file.h"
#include "playback/car_count.h"
#include "playback/side_files.h"
#include "side_file_bytes.h"

namespace murtesk::playback {
namespace {

using testing::Bytes;
using testing::ReadAll;
using testing::Scratch;
using testing::WriteAll;

CCarCount Car(std::int16_t course, std::int16_t road, std::int16_t kind, std::int32_t pos) {
    CCarCount c;
    c.Course = course;
    c.RoadNo = road;
    c.CarKind = kind;
    c.PosTime = pos;
    return c;
}

std::vector<std::int32_t> Counters(const CCarCounts& list) {
    std::vector<std::int32_t> v;
    for (int i = 1; i <= 8; ++i) v.push_back(list.CarNum(i));
    return v;
}

std::vector<std::int32_t> Positions(const CCarCounts& list) {
    std::vector<std::int32_t> v;
    for (int i = 1; i <= list.count(); ++i) v.push_back(list.Item(i).PosTime);
    return v;
}

// The whole file for N slots holding `records`, written out field by field.
std::string CarFile(std::int32_t slots, const std::vector<CCarCount>& records, const CCarCount& now,
                    const std::vector<std::int32_t>& counters) {
    Bytes b;
    b.magic().i32(slots).i32(static_cast<std::int32_t>(records.size()));
    for (auto field : {&CCarCount::Course, &CCarCount::RoadNo, &CCarCount::CarKind}) {
        for (const CCarCount& r : records) b.i16(r.*field);
        b.zeros(2 * (slots - records.size()));
    }
    for (const CCarCount& r : records) b.i32(r.PosTime);
    b.zeros(4 * (slots - records.size()));
    b.magic().i16(now.Course).i16(now.RoadNo).i16(now.CarKind).i32(now.PosTime);
    for (std::int32_t c : counters) b.i32(c);
    return b.str();
}

TEST(CarCountFile, NewListIsTwoThousandEmptySlots) {
    Scratch dir;
    const CCarCounts list;
    ASSERT_TRUE(list.FileWrite(dir.file("v.car")));
    const std::string bytes = ReadAll(dir.file("v.car"));
    EXPECT_EQ(bytes.size(), 20058u);
    EXPECT_EQ(bytes, CarFile(2000, {}, Car(0, 0, 4, 0), std::vector<std::int32_t>(8, 0)));
}

TEST(CarCountFile, TheTwoThousandAndFirstVehicleAddsAThousandSlots) {
    Scratch dir;
    CCarCounts list;
    std::vector<CCarCount> records;
    for (int i = 0; i < 2001; ++i) {
        records.push_back(Car(static_cast<std::int16_t>(i % 2), static_cast<std::int16_t>(i % 11),
                              static_cast<std::int16_t>(1 + i % 8), 1000 * i - 5));
        list.Add(records.back());
    }
    EXPECT_EQ(list.AllocatedLength(), 3000);
    list.SetNowCarCount(Car(1, 3, 7, 123456));
    list.SetCarNum(3, 42);
    list.SetCarNum(8, -1);
    ASSERT_TRUE(list.FileWrite(dir.file("v.car")));
    const std::string bytes = ReadAll(dir.file("v.car"));
    EXPECT_EQ(bytes.size(), 30058u);
    EXPECT_EQ(bytes, CarFile(3000, records, Car(1, 3, 7, 123456), {0, 0, 42, 0, 0, 0, 0, -1}));

    CCarCounts read;
    ASSERT_TRUE(read.FileRead(dir.file("v.car")));
    EXPECT_TRUE(read.IsMeEqualTo(list));
    EXPECT_EQ(read.AllocatedLength(), 3000);

    list.AllDelete();
    EXPECT_EQ(list.AllocatedLength(), 2000);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.CarNum(3), 42);  // AllDelete keeps the counters and the filter
    EXPECT_EQ(list.NowCarCount().PosTime, 123456);
}

TEST(CarCountFile, NamedFromTheVideo) {
    EXPECT_EQ(CarCountFilePath("/p/RecWav/24-5-1-9_30_0.avi"), "/p/RecWav/24-5-1-9_30_0.car");
    EXPECT_EQ(CarCountFilePath("/p/道路.AVI"), "/p/道路.car");
    EXPECT_EQ(CarCountFilePath("/p/映像動画"), "/p/映car");  // three characters, not three bytes
    EXPECT_EQ(CarCountFilePath("ab"), "car");
}

struct KindCase {
    std::int16_t kind;
    std::vector<std::int32_t> counters;  // CarNum(1..8) after one vehicle
};

class CountOneVehicle : public ::testing::TestWithParam<KindCase> {};

TEST_P(CountOneVehicle, RaisesItsKindItsTwoClassSumAndTheTotal) {
    CCarCounts list;
    EXPECT_TRUE(list.PlusCarNum(Car(0, 0, GetParam().kind, 0)));
    EXPECT_EQ(Counters(list), GetParam().counters);
    EXPECT_EQ(list.count(), 0);  // counting adds no record
}

INSTANTIATE_TEST_SUITE_P(Kinds, CountOneVehicle,
                         ::testing::Values(KindCase{1, {1, 0, 1, 0, 0, 0, 1, 0}}, KindCase{2, {0, 1, 1, 0, 0, 0, 0, 1}},
                                           KindCase{3, {0, 0, 2, 0, 0, 0, 0, 0}}, KindCase{4, {0, 0, 1, 1, 0, 0, 1, 0}},
                                           KindCase{5, {0, 0, 1, 0, 1, 0, 0, 1}}, KindCase{6, {0, 0, 1, 0, 0, 1, 0, 0}},
                                           KindCase{7, {0, 0, 1, 0, 0, 0, 1, 0}},
                                           KindCase{8, {0, 0, 1, 0, 0, 0, 0, 1}}));

TEST(CarCounts, RefusesKindsAndCountersOutOfRange) {
    CCarCounts list;
    EXPECT_FALSE(list.PlusCarNum(Car(0, 0, 0, 0)));
    EXPECT_FALSE(list.PlusCarNum(Car(0, 0, 9, 0)));
    list.SetCarNum(7, std::numeric_limits<std::int32_t>::max());
    EXPECT_FALSE(list.PlusCarNum(Car(0, 0, 4, 0)));  // 7 would pass 2^31 - 1: nothing is counted
    EXPECT_EQ(Counters(list),
              (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, std::numeric_limits<std::int32_t>::max(), 0}));
    EXPECT_THROW(list.CarNum(0), std::out_of_range);
    EXPECT_THROW(list.SetCarNum(9, 1), std::out_of_range);
    EXPECT_THROW(list.Item(1), std::out_of_range);
    EXPECT_EQ(CarKindName(3), "自動二輪");
    EXPECT_EQ(CarKindName(-1), "自動二輪");
    EXPECT_EQ(Car(0, 0, 8, 0).GetCarKindName(), "小型車類(2車種分類)");
}

// Up: lane 1 kinds 1 and 2, lane 2 kinds 4, 6 and 5; down: lane 2 kind 1.
CCarCounts Road() {
    CCarCounts list;
    for (const CCarCount& c : {Car(0, 1, 1, 100), Car(0, 2, 4, 200), Car(1, 2, 1, 900), Car(0, 2, 6, 300),
                               Car(0, 1, 2, 150), Car(0, 2, 5, 50)})
        list.Add(c);
    return list;
}

struct RecountCase {
    const char* name;
    CCarCount filter;
    std::vector<std::int32_t> counters;
    std::int32_t latest;
};

class Recount : public ::testing::TestWithParam<RecountCase> {};

TEST_P(Recount, CountsTheMatchingRecordsAnew) {
    CCarCounts list = Road();
    list.SetCarNum(3, 99);
    list.ReCount(GetParam().filter);
    EXPECT_EQ(Counters(list), GetParam().counters);
    EXPECT_EQ(list.NowCarCount().PosTime, GetParam().latest);
    EXPECT_EQ(list.NowCarCount().RoadNo, GetParam().filter.RoadNo);
}

INSTANTIATE_TEST_SUITE_P(Lanes, Recount,
                         ::testing::Values(RecountCase{"EveryLaneUp", Car(0, 0, 4, 7), {1, 1, 5, 1, 1, 1, 2, 2}, 300},
                                           RecountCase{"LaneTwoUp", Car(0, 2, 4, 7), {0, 0, 3, 1, 1, 1, 1, 1}, 300},
                                           RecountCase{"NoMatch", Car(1, 5, 4, 7), {0, 0, 0, 0, 0, 0, 0, 0}, 0}),
                         [](const ::testing::TestParamInfo<RecountCase>& info) {
                             return std::string(info.param.name);
                         });

struct DeleteCase {
    const char* name;
    std::int32_t time, scope;
    CCarCount now;
    std::vector<std::int32_t> left;  // positions of the survivors, in order
};

class SelectDelete : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(SelectDelete, RemovesAtOrAfterTheTimeWithinTheScope) {
    CCarCounts list;
    for (const CCarCount& c : {Car(0, 0, 1, 100), Car(0, 2, 1, 200), Car(0, 0, 2, 300), Car(1, 0, 1, 400),
                               Car(0, 2, 5, 500), Car(1, 3, 1, 50)})
        list.Add(c);
    list.SetNowCarCount(GetParam().now);
    list.SetCarNum(1, 17);
    list.SelectDelete(GetParam().time, GetParam().scope);
    EXPECT_EQ(Positions(list), GetParam().left);
    EXPECT_EQ(list.CarNum(1), 17);  // the counters wait for ReCount
    EXPECT_EQ(list.NowCarCount().PosTime, GetParam().now.PosTime);
}

INSTANTIATE_TEST_SUITE_P(Scopes, SelectDelete,
                         ::testing::Values(
                             // Lane 0 compared literally: only the up records of lane 0 from 200 ms on.
                             DeleteCase{"LaneZeroOnly", 200, 0, Car(0, 0, 4, 1), {100, 200, 400, 500, 50}},
                             DeleteCase{"LaneTwo", 200, 0, Car(0, 2, 4, 1), {100, 300, 400, 50}},
                             DeleteCase{"Direction", 300, 1, Car(1, 9, 4, 1), {100, 200, 300, 500, 50}},
                             DeleteCase{"Everything", 0, 2, Car(0, 0, 4, 1), {}},
                             DeleteCase{"AtTheTimeItself", 500, 2, Car(0, 0, 4, 1), {100, 200, 300, 400, 50}},
                             DeleteCase{"UnknownScope", 0, 3, Car(0, 0, 4, 1), {100, 200, 300, 400, 500, 50}}),
                         [](const ::testing::TestParamInfo<DeleteCase>& info) { return std::string(info.param.name); });

TEST(CarCounts, SelectDeleteRebuildsTheSlots) {
    CCarCounts list;
    for (int i = 0; i < 2500; ++i) list.Add(Car(0, 0, 1, i));
    ASSERT_EQ(list.AllocatedLength(), 3000);
    list.SelectDelete(2400, 2);  // 2400 survive: more than 2000
    EXPECT_EQ(list.count(), 2400);
    EXPECT_EQ(list.AllocatedLength(), 3000);
    list.SelectDelete(100, 2);
    EXPECT_EQ(list.AllocatedLength(), 2000);
}

TEST(CarCounts, EqualityIgnoresTheSlotsAndLargeCarRatioItsDivisor) {
    CCarCounts a, b;
    for (int i = 0; i < 2001; ++i) a.Add(Car(0, 1, 2, i));
    b.ArrayReDim(5000, 0);
    for (int i = 0; i < 2001; ++i) b.Add(Car(0, 1, 2, i));
    EXPECT_TRUE(a.IsMeEqualTo(b));
    b.NowCarCount().CarKind = 1;
    EXPECT_FALSE(a.IsMeEqualTo(b));

    CCarCounts ratio;
    ratio.SetCarNum(1, 2);
    ratio.SetCarNum(4, 1);
    ratio.SetCarNum(3, 10);
    ratio.SetCarNum(6, 4);
    EXPECT_DOUBLE_EQ(ratio.GetLargeCarRatio(), 0.5);  // (2 + 1) / (10 - 4)
    ratio.SetCarNum(6, 10);
    EXPECT_EQ(ratio.GetLargeCarRatio(), 0.0);
}

// ---------------------------------------------------------------------------------------------------------
// Damaged and hostile files: false, no huge allocation, nothing indexed past an array.

struct BadCar {
    const char* name;
    std::string bytes;
};

std::string Header(std::int32_t slots, std::int32_t count) { return Bytes().magic().i32(slots).i32(count).str(); }

class BadCarFile : public ::testing::TestWithParam<BadCar> {};

TEST_P(BadCarFile, ReadsFalseAndLeavesTheListAsItWas) {
    Scratch dir;
    WriteAll(dir.file("v.car"), GetParam().bytes);
    CCarCounts list = Road();
    const CCarCounts before = list;
    EXPECT_FALSE(list.FileRead(dir.file("v.car")));
    EXPECT_TRUE(list.IsMeEqualTo(before)) << "a check comes after the list was changed";
}

const std::string kGood = CarFile(3, {Car(0, 1, 1, 5)}, Car(0, 0, 4, 0), std::vector<std::int32_t>(8, 0));

INSTANTIATE_TEST_SUITE_P(
    Files, BadCarFile,
    ::testing::Values(BadCar{"Empty", ""}, BadCar{"WrongMagic", Bytes().i32(19660127).str() + kGood.substr(4)},
                      BadCar{"NegativeSlots", Header(-1, 0) + std::string(64, '\0')},
                      BadCar{"NegativeCount", Header(3, -1) + kGood.substr(12)},
                      BadCar{"CountAboveSlots", Header(3, 4) + kGood.substr(12)},
                      BadCar{"HugeSlots", Header(std::numeric_limits<std::int32_t>::max(), 0) + std::string(100, '\0')},
                      BadCar{"EndsInsideTheArrays", kGood.substr(0, 12 + 29)},
                      BadCar{"EndsInsideHeader", kGood.substr(0, 10)}),
    [](const ::testing::TestParamInfo<BadCar>& info) { return std::string(info.param.name); });

TEST(CarCountFile, DamagedFilterRecordFails) {
    Scratch dir;
    std::string bytes = kGood;
    bytes[12 + 30] ^= 1;  // the NowCarCount magic
    WriteAll(dir.file("v.car"), bytes);
    CCarCounts list;
    EXPECT_FALSE(list.FileRead(dir.file("v.car")));
}

TEST(CarCountFile, FileEndingInsideTheCountersReadsWithCountersZero) {
    Scratch dir;
    const std::string full = CarFile(3, {Car(0, 1, 1, 5)}, Car(1, 2, 7, 9), {1, 2, 3, 4, 5, 6, 7, 8});
    for (std::size_t cut : {full.size() - 32, full.size() - 1}) {
        WriteAll(dir.file("v.car"), full.substr(0, cut));
        CCarCounts list;
        list.SetCarNum(2, 55);
        ASSERT_TRUE(list.FileRead(dir.file("v.car"))) << cut;
        EXPECT_EQ(Counters(list), std::vector<std::int32_t>(8, 0));
        EXPECT_EQ(list.count(), 1);
        EXPECT_EQ(list.NowCarCount().CarKind, 7);
    }
}

TEST(CarCountFile, MissingFileReadsFalseAndAFailedWriteKeepsTheOldFile) {
    Scratch dir;
    CCarCounts list = Road();
    EXPECT_FALSE(list.FileRead(dir.file("none.car")));
    EXPECT_EQ(list.count(), 6);

    ASSERT_TRUE(list.FileWrite(dir.file("v.car")));
    const std::string old = ReadAll(dir.file("v.car"));
    list.Add(Car(1, 1, 1, 1));
    platform::SetWriteLimitForTests(1000);
    EXPECT_FALSE(list.FileWrite(dir.file("v.car")));
    platform::SetWriteLimitForTests(-1);
    EXPECT_EQ(ReadAll(dir.file("v.car")), old);
    EXPECT_FALSE(list.FileWrite(dir.file("no-folder/v.car")));
}

}  // namespace
}  // namespace murtesk::playback
