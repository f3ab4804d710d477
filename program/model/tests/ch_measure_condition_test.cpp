// Channel condition: record layout at every version gate, names, time weighting, band mapping,
// weighting tables and its particular copy rules.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "record_bytes.h"
#include "model/ch_measure_condition.h"

namespace murtesk {
namespace {

using testing::Bytes;
using testing::ExpectRoundTrip;
using testing::ReadAll;
using testing::WrittenBytes;

CChMeasureCondition Sample() {
    CChMeasureCondition c;
    c.w = 4;
    c.oct1or3 = 3;
    c.StartHz = 1.25;
    c.EndHz = 8000.0;
    c.CR = 1.0;
    c.CALPattern = 1;
    c.LVL = 114.0;
    c.CAL = 12345.5;
    c.ZeroPlus = -0.25;
    c.LevelOutHz = 100.0;
    c.WaveFileOut.OkFlg = 1;
    c.WaveFileOut.RecLevel = 72.5;
    c.BandIndex = 17;
    c.LevelXYAxis.XAxisMax = Variant(std::int32_t{3600});
    c.LevelXYAxis.YAxisMin = 20.0;
    c.Account = "表示 memo";
    return c;
}

// The fields in front of and behind the gated ones, as an old or current file holds them.
Bytes WaveFileOutBytes() {
    return Bytes().magic().i16(1).f64(72.5).i16(2).i16(60).i16(1);
}
Bytes XYAxisBytes() {
    return Bytes().magic().i16(3).i32(3600).variantI16(0).f64(100.0).f64(20.0).i16(0).i16(1);
}
// "表示 memo": 表 = 95 5C, 示 = 8E A6, 7 characters in 9 bytes.
Bytes Tail() {
    return Bytes().append(WaveFileOutBytes()).i16(17).append(XYAxisBytes()).text(7, "\x95\x5C\x8E\xA6 memo");
}

TEST(ChMeasureConditionRecord, CurrentLayoutByteByByte) {
    ScopedFileVersion version({7, 1, 0});
    const Bytes expected = Bytes()
                               .magic()
                               .i16(4)
                               .i16(3)
                               .f64(1.25)
                               .f64(8000.0)
                               .f64(1.0)
                               .i16(1)
                               .f64(114.0)
                               .f64(12345.5)
                               .f64(-0.25)
                               .f64(100.0)
                               .append(Tail());
    EXPECT_EQ(WrittenBytes(Sample()), expected.str());
    CChMeasureCondition read;
    ASSERT_TRUE(ReadAll(expected, read));
    EXPECT_TRUE(read.IsMeEqualTo(Sample()));
    EXPECT_EQ(read.Account, "表示 memo");
    ExpectRoundTrip(Sample());
    ExpectRoundTrip(CChMeasureCondition{});
}

struct GateCase {
    FileVersion version;
    bool hasHz;
    bool hasZeroPlus;
    bool hasLevelOutHz;
};

class ChMeasureConditionGates : public ::testing::TestWithParam<GateCase> {};

// A file of each version holds only the fields of its time; the others read as their defaults and
// the fields after them are read at the right place.
TEST_P(ChMeasureConditionGates, OldLayoutsReadWithDefaults) {
    const GateCase g = GetParam();
    Bytes file;
    file.magic().i16(4).i16(3);
    if (g.hasHz) file.f64(1.25).f64(8000.0);
    file.f64(1.0).i16(1).f64(114.0).f64(12345.5);
    if (g.hasZeroPlus) file.f64(-0.25);
    if (g.hasLevelOutHz) file.f64(100.0);
    file.append(Tail());

    ScopedFileVersion version(g.version);
    CChMeasureCondition c;
    c.StartHz = c.EndHz = c.ZeroPlus = c.LevelOutHz = 123.0;  // overwritten by the read either way
    ASSERT_TRUE(ReadAll(file, c));
    EXPECT_EQ(c.StartHz, g.hasHz ? 1.25 : 0.8);
    EXPECT_EQ(c.EndHz, g.hasHz ? 8000.0 : 10000.0);
    EXPECT_EQ(c.CR, 1.0);
    EXPECT_EQ(c.ZeroPlus, g.hasZeroPlus ? -0.25 : 0.0);
    EXPECT_EQ(c.LevelOutHz, g.hasLevelOutHz ? 100.0 : 10.0);
    EXPECT_EQ(c.BandIndex, 17);
    EXPECT_EQ(c.Account, "表示 memo");
    EXPECT_TRUE(c.LevelXYAxis.IsMeEqualTo(Sample().LevelXYAxis));
}

INSTANTIATE_TEST_SUITE_P(Versions, ChMeasureConditionGates,
                         ::testing::Values(GateCase{{1, 1, 2}, false, false, false},
                                           GateCase{{1, 1, 3}, false, true, false},
                                           GateCase{{1, 2, 0}, false, true, false},
                                           GateCase{{2, 9, 9}, false, true, false},
                                           GateCase{{3, 0, 0}, true, true, false},
                                           GateCase{{4, 9, 9}, true, true, false},
                                           GateCase{{5, 0, 0}, true, true, true},
                                           GateCase{{7, 1, 0}, true, true, true}),
                         [](const ::testing::TestParamInfo<GateCase>& info) {
                             const FileVersion v = info.param.version;
                             return "v" + std::to_string(v.Major) + "_" + std::to_string(v.Minor) + "_" +
                                    std::to_string(v.Revision);
                         });

TEST(ChMeasureConditionRecord, FailuresStopTheRead) {
    ScopedFileVersion version({7, 1, 0});
    CChMeasureCondition c;
    EXPECT_FALSE(ReadAll(Bytes().i32(1).append(WrittenBytes(Sample()).substr(4)), c));
    EXPECT_TRUE(c.IsMeEqualTo(CChMeasureCondition{}));

    // A damaged WAV-output record stops the read: BandIndex and what follows keep their values.
    std::string bytes = WrittenBytes(Sample());
    const std::size_t waveOutAt = 4 + 2 + 2 + 8 * 3 + 2 + 8 * 4;
    bytes[waveOutAt] ^= 0x01;
    CChMeasureCondition d;
    EXPECT_FALSE(ReadAll(bytes, d));
    EXPECT_EQ(d.LevelOutHz, 100.0);
    EXPECT_EQ(d.BandIndex, 2);

    const std::string full = WrittenBytes(Sample());
    for (std::size_t n = 0; n < full.size(); ++n) {
        CChMeasureCondition r;
        EXPECT_FALSE(ReadAll(full.substr(0, n), r)) << n;
    }
}

TEST(ChMeasureConditionCopy, AccountAndAxisRules) {
    const CChMeasureCondition s = Sample();
    const CChMeasureCondition copy = s.MeCopy();
    EXPECT_TRUE(copy.Account.empty());
    EXPECT_TRUE(copy.IsMeEqualTo(s));

    CChMeasureCondition target;
    target.LevelXYAxis.YAxisMax = 130.0;
    s.MeMove(target);
    EXPECT_EQ(target.Account, s.Account);
    EXPECT_EQ(target.LevelXYAxis.YAxisMax, 130.0);  // the target keeps its own axes
    EXPECT_EQ(target.LevelXYAxis.YAxisMin, 40.0);
    EXPECT_TRUE(target.WaveFileOut.IsMeEqualTo(s.WaveFileOut));
    EXPECT_EQ(target.BandIndex, 17);
    EXPECT_EQ(target.LevelOutHz, 100.0);
    EXPECT_FALSE(target.IsMeEqualTo(s));

    CChMeasureCondition other = s;
    other.Account = "different";
    EXPECT_TRUE(other.IsMeEqualTo(s));
    other.LevelXYAxis.Lx = 50;
    EXPECT_FALSE(other.IsMeEqualTo(s));
}

TEST(ChMeasureConditionTimeWeighting, CodesPositionsAndNames) {
    struct Row {
        int code;
        double cr;
        int position;
        const char* shortName;
        const char* longName;
    };
    const Row rows[] = {{0, 0.125, 0, "FAST", "ＦＡＳＴ"},       {1, 0.63, 2, "VL", "ＶＬ"},
                        {2, 1.0, 1, "SLOW", "ＳＬＯＷ"},         {3, 0.035, 3, "IMPULSE", "ＩＭＰＵＬＳＥ"},
                        {4, 0.01, 4, "10mSec", "１０ｍ秒"},      {5, 0.001, 5, "1mSec", "１ｍ秒"}};
    for (const Row& r : rows) {
        CChMeasureCondition c;
        c.CR = 99.0;
        ASSERT_TRUE(c.setCR(r.code));
        EXPECT_EQ(c.CR, r.cr);
        EXPECT_EQ(c.getTRENo(), r.position);
        EXPECT_EQ(c.getTREName(false), r.shortName);
        EXPECT_EQ(c.getTREName(true), r.longName);
    }
    CChMeasureCondition c;
    c.CR = 0.63;
    EXPECT_FALSE(c.setCR(6));
    EXPECT_FALSE(c.setCR(-1));
    EXPECT_EQ(c.CR, 0.63);
    c.CR = 0.5;
    EXPECT_EQ(c.getTRENo(), -1);
    EXPECT_EQ(c.getTREName(false), "");
    EXPECT_EQ(c.getTREName(true), "");
    c.CR = std::nextafter(0.125, 1.0);  // only the exact constant counts
    EXPECT_EQ(c.getTRENo(), -1);
}

TEST(ChMeasureConditionCalibration, RmsByPattern) {
    CChMeasureCondition c;
    c.CAL = 5000.0;
    c.CALPattern = 0;
    EXPECT_DOUBLE_EQ(c.getCALrms(), 5000.0 / std::sqrt(2.0));
    c.CALPattern = 1;
    EXPECT_EQ(c.getCALrms(), 5000.0);
    c.CALPattern = 2;
    EXPECT_EQ(c.getCALrms(), 2500.0);
    c.CALPattern = 7;
    EXPECT_NEAR(c.getCALrms(), 11584.9, 0.05);
    c.CAL = -1.0;
    EXPECT_DOUBLE_EQ(c.getCALrms(), 16383.5 / std::sqrt(2.0));
}

TEST(ChMeasureConditionBands, SameBandIndex) {
    CChMeasureCondition oct;
    EXPECT_EQ(oct.GetSameBandIndex(3, 10), -1);
    EXPECT_EQ(oct.GetSameBandIndex(3, 2), 2);
    EXPECT_EQ(oct.GetSameBandIndex(3, 1), 1);
    EXPECT_EQ(oct.GetSameBandIndex(1, 10), 10);
    CChMeasureCondition third;
    third.oct1or3 = 3;
    EXPECT_EQ(third.GetSameBandIndex(3, 40), 40);
    EXPECT_EQ(third.GetSameBandIndex(1, 5), -1);
    CChMeasureCondition odd;
    odd.oct1or3 = 2;
    EXPECT_EQ(odd.GetSameBandIndex(2, 1), -1);
    EXPECT_EQ(odd.GetSameBandIndex(2, 5), -1);
}

COriginalWs TwoUserCharacteristics() {
    COriginalWs list;
    for (int k = 1; k <= 2; ++k) {
        auto item = std::make_shared<COriginalW>();
        item->WName = "利用者特性" + std::to_string(k);
        item->WNameHalfSize = "U" + std::to_string(k);
        item->WRevise3.SetdBInit(-100.0);
        item->WRevise3.dB(31, k * 1.5);
        item->WRevise1.SetdBFromOct3(item->WRevise3);
        list.Add(item);
    }
    return list;
}

TEST(ChMeasureConditionWeighting, NamesOfEveryCode) {
    const COriginalWs users = TwoUserCharacteristics();
    struct Row {
        int w;
        const char* shortName;
        const char* longName;
    };
    const Row rows[] = {{-1, "---", "－－－"},
                        {0, "Lvz", "Ｌｖｚ 鉛直振動補正特性"},
                        {1, "Lvxy", "Ｌｖｘｙ 水平振動補正特性"},
                        {2, "G", "Ｇ特性"},
                        {3, "A", "Ａ特性"},
                        {4, "C", "Ｃ特性"},
                        {5, "---", "？特性"},
                        {6, "U1", "利用者特性1"},
                        {7, "U2", "利用者特性2"},
                        {8, "---", "？特性"},
                        {-2, "---", "？特性"}};
    for (const Row& r : rows) {
        CChMeasureCondition c;
        c.w = static_cast<std::int16_t>(r.w);
        EXPECT_EQ(c.getWName(false, users), r.shortName) << r.w;
        EXPECT_EQ(c.getWName(true, users), r.longName) << r.w;
    }
    // The blank in the vibration names is an ASCII blank.
    CChMeasureCondition lvz;
    lvz.w = 0;
    EXPECT_NE(lvz.getWName(true, users).find(' '), std::string::npos);
    // Without user characteristics their codes have no name.
    CChMeasureCondition user;
    user.w = 6;
    EXPECT_EQ(user.getWName(true, COriginalWs{}), "？特性");
}

TEST(ChMeasureConditionWeighting, TablesOfEveryCode) {
    const COriginalWs users = TwoUserCharacteristics();
    auto tables = [&](int w) {
        CChMeasureCondition c;
        c.w = static_cast<std::int16_t>(w);
        std::pair<COctaveBand1, COctaveBand3> t;
        t.first.SetdBInit(55.0);
        t.second.SetdBInit(55.0);
        c.getWValue(t.first, t.second, users);
        return t;
    };
    auto a = tables(3);
    EXPECT_EQ(a.first.dB1kHz(), 0.0);
    EXPECT_EQ(a.first.dB16Hz(), -56.7);
    EXPECT_EQ(a.second.dB20kHz(), -9.3);
    EXPECT_EQ(a.first.dBW(), 55.0);  // only the bands are overwritten by a fixed weighting
    EXPECT_EQ(tables(0).second.dB4Hz(), -0.1);
    EXPECT_EQ(tables(0).first.dB4Hz(), 0.1);
    EXPECT_EQ(tables(1).second.dB0_8Hz(), 3.3);
    EXPECT_EQ(tables(2).second.dB20Hz(), 9.0);
    EXPECT_EQ(tables(4).second.dB10Hz(), -14.3);
    for (int w : {-1, 5, 8, -2}) {
        auto z = tables(w);
        EXPECT_TRUE(z.first.IsMeEqualTo(COctaveBand1{})) << w;
        EXPECT_TRUE(z.second.IsMeEqualTo(COctaveBand3{})) << w;
    }
    auto u = tables(7);
    EXPECT_TRUE(u.first.IsMeEqualTo(users.Item(2).WRevise1));
    EXPECT_TRUE(u.second.IsMeEqualTo(users.Item(2).WRevise3));
    EXPECT_EQ(u.first.dB1kHz(), 3.0);
}

}  // namespace
}  // namespace murtesk
