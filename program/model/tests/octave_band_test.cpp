// Band value sets: index schemes, weighting tables against the closed-form weightings, Set_Weight.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "model/octave_band.h"
#include "record_bytes.h"

namespace murtesk {
namespace {

// Closed-form A and C weighting responses of sound level meters, in dB, normalised to 0 dB at 1 kHz.
constexpr double f1 = 20.598997, f2 = 107.65265, f3 = 737.86223, f4 = 12194.217;

double rawA(double f) {
    const double f_2 = f * f;
    return 20.0 * std::log10(f4 * f4 * f_2 * f_2 /
                                                      ((f_2 + f1 * f1) * std::sqrt((f_2 + f2 * f2) * (f_2 + f3 * f3)) * (f_2 + f4 * f4)));
}
double rawC(double f) {
    const double f_2 = f * f;
    return 20.0 * std::log10(f4 * f4 * f_2 / ((f_2 + f1 * f1) * (f_2 + f4 * f4)));
}
double closedA(double f) { return rawA(f) - rawA(1000.0); }
double closedC(double f) { return rawC(f) - rawC(1000.0); }
double tenth(double v) { return std::round(v * 10.0) / 10.0; }

// Third-octave entry i has the exact mid-band frequency 1000 * 10^((i - 31) / 10).
double midBand3(int i) { return 1000.0 * std::pow(10.0, (i - 31) / 10.0); }

TEST(WeightingTables, AAndCFollowTheClosedFormFrom10HzTo20kHz) {
    COctaveBand3 a, c;
    a.SetA();
    c.SetC();
    for (int i = 11; i <= 44; ++i) {
        SCOPED_TRACE(midBand3(i));
        EXPECT_DOUBLE_EQ(a.dB(i), tenth(closedA(midBand3(i))));
        EXPECT_DOUBLE_EQ(c.dB(i), tenth(closedC(midBand3(i))));
    }
    COctaveBand1 a1, c1;
    a1.SetA();
    c1.SetC();
    for (int i = 4; i <= 14; ++i) {
        const double f = midBand3(3 * i + 1);
        SCOPED_TRACE(f);
        EXPECT_DOUBLE_EQ(a1.dB(i), tenth(closedA(f)));
        EXPECT_DOUBLE_EQ(c1.dB(i), tenth(closedC(f)));
    }
}

TEST(WeightingTables, BandsBelow10HzAreNotPassedByAOrC) {
    COctaveBand3 a, c;
    a.SetA();
    c.SetC();
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(a.dB(i), -1000.0);
        EXPECT_EQ(c.dB(i), -1000.0);
    }
    COctaveBand1 a1;
    a1.SetA();
    for (int i = 0; i <= 3; ++i) EXPECT_EQ(a1.dB(i), -1000.0);
}

// The octave tables repeat the one-third-octave tables at the common centre frequencies, except
// Lvz at 4 Hz.
TEST(WeightingTables, OctaveTablesMatchTheThirdOctaveTables) {
    for (Weighting w : {Weighting::A, Weighting::C, Weighting::G, Weighting::Lvz, Weighting::Lvxy}) {
        const auto& oct = octaveWeightingTable(w);
        const auto& third = thirdOctaveWeightingTable(w);
        for (int i = 0; i < 15; ++i) {
            if (w == Weighting::Lvz && i == 2) continue;
            EXPECT_EQ(oct[i], third[3 * i + 1]) << "weighting " << static_cast<int>(w) << " band " << i;
        }
    }
    EXPECT_EQ(octaveWeightingTable(Weighting::Lvz)[2], 0.1);
    EXPECT_EQ(thirdOctaveWeightingTable(Weighting::Lvz)[7], -0.1);
}

TEST(WeightingTables, TableSettersLeaveAllPassAndW) {
    COctaveBand1 o;
    o.SetdBInit(5.0);
    o.SetA();
    EXPECT_EQ(o.dBAllPass(), 5.0);
    EXPECT_EQ(o.dBW(), 5.0);
    EXPECT_EQ(o.dB1kHz(), 0.0);
    COctaveBand3 t;
    t.SetdBInit(5.0);
    t.SetLvxy();
    EXPECT_EQ(t.dB(45), 5.0);
    EXPECT_EQ(t.dB(46), 5.0);
}

TEST(BandValueIndex, ReversedIndexStartsAtAllPass) {
    COctaveBand1 o;
    for (int i = 0; i < 17; ++i) o.dB(i, i);
    EXPECT_EQ(o.getdB(0), 15.0);   // all-pass
    EXPECT_EQ(o.getdB(-1), 16.0);  // W
    EXPECT_EQ(o.getdB(1), 14.0);   // 16 kHz
    EXPECT_EQ(o.getdB(15), 0.0);   // 1 Hz
    o.setdB(1, 99.0);
    EXPECT_EQ(o.dB16kHz(), 99.0);

    COctaveBand3 t;
    for (int i = 0; i < 47; ++i) t.dB(i, i);
    EXPECT_EQ(t.getdB(0), 45.0);
    EXPECT_EQ(t.getdB(-1), 46.0);
    EXPECT_EQ(t.getdB(1), 44.0);  // 20 kHz
    EXPECT_EQ(t.getdB(45), 0.0);  // 0.8 Hz
    t.setdB(-1, -3.5);
    EXPECT_EQ(t.dBW(), -3.5);
}

TEST(BandValueIndex, OutOfRangeThrowsAndChangesNothing) {
    COctaveBand1 o;
    EXPECT_THROW(o.dB(17), std::out_of_range);
    EXPECT_THROW(o.dB(-1), std::out_of_range);
    EXPECT_THROW(o.getdB(16), std::out_of_range);
    EXPECT_THROW(o.getdB(-2), std::out_of_range);
    EXPECT_THROW(o.setdB(16, 1.0), std::out_of_range);
    COctaveBand3 t;
    EXPECT_THROW(t.dB(47, 1.0), std::out_of_range);
    EXPECT_THROW(t.setdB(46, 1.0), std::out_of_range);
    EXPECT_THROW(t.getdB(-2), std::out_of_range);
    EXPECT_TRUE(t.IsMeEqualTo(COctaveBand3{}));
    EXPECT_TRUE(o.IsMeEqualTo(COctaveBand1{}));
}

TEST(SetWeight, ClampsBandsAndLeavesOverallEntries) {
    COctaveBand1 a;
    a.SetA();
    COctaveBand1 o;
    o.Set_Weight(a);
    for (int i = 0; i <= 3; ++i) EXPECT_EQ(o.dB(i), -60.0);
    for (int i = 4; i <= 14; ++i) EXPECT_EQ(o.dB(i), a.dB(i));
    EXPECT_EQ(o.dBAllPass(), 0.0);
    EXPECT_EQ(o.dBW(), 0.0);

    COctaveBand3 v, w;
    v.dB(0, 100.0);
    w.dB(0, 80.0);  // 180 -> 170
    v.dB(1, -30.0);
    w.dB(1, -30.0);  // exactly -60 stays
    v.dB(2, 170.0);  // exactly 170 stays
    v.dB(3, std::nan(""));
    v.dB(45, 500.0);
    w.dB(45, 500.0);
    v.Set_Weight(w);
    EXPECT_EQ(v.dB(0), 170.0);
    EXPECT_EQ(v.dB(1), -60.0);
    EXPECT_EQ(v.dB(2), 170.0);
    EXPECT_EQ(v.dB(3), -60.0);  // a value without a number never escapes the clamp
    EXPECT_EQ(v.dB(45), 500.0);
}

TEST(SetWeight, AWeightInPlace) {
    COctaveBand3 t;
    t.SetdBInit(70.0);
    t.SetA_Weight();
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(t.dB(i), -60.0);
    EXPECT_DOUBLE_EQ(t.dB10Hz(), 70.0 - 70.4);
    EXPECT_EQ(t.dB1kHz(), 70.0);
    EXPECT_DOUBLE_EQ(t.dB20kHz(), 70.0 - 9.3);
    EXPECT_EQ(t.dBAllPass(), 70.0);
    EXPECT_EQ(t.dBW(), 70.0);
}

TEST(BandValueSet, FromThirdOctaveAndCopies) {
    COctaveBand3 t;
    for (int i = 0; i < 47; ++i) t.dB(i, 100.0 + i);
    COctaveBand1 o;
    o.SetdBInit(-7.0);
    o.SetdBFromOct3(t);
    EXPECT_EQ(o.dB1Hz(), t.dB1Hz());
    EXPECT_EQ(o.dB31_5Hz(), t.dB31_5Hz());
    EXPECT_EQ(o.dB16kHz(), t.dB16kHz());
    EXPECT_EQ(o.dBAllPass(), -7.0);
    EXPECT_EQ(o.dBW(), -7.0);

    COctaveBand1 copy = o.MeCopy();
    EXPECT_TRUE(copy.IsMeEqualTo(o));
    copy.dBW(0.0);
    EXPECT_FALSE(copy.IsMeEqualTo(o));
    COctaveBand1 target;
    o.MeMove(target);
    EXPECT_TRUE(target.IsMeEqualTo(o));
}

using testing::Bytes;
using testing::ExpectRoundTrip;
using testing::ReadAll;
using testing::WrittenBytes;

template <class Set>
Set Numbered() {
    Set s;
    for (int i = 0; i < Set::kEntries; ++i) s.dB(i, -12.5 + 1.25 * i);
    return s;
}

TEST(BandValueRecord, LayoutAndRoundTrip) {
    ScopedFileVersion version({7, 1, 0});
    const auto oct = Numbered<COctaveBand1>();
    Bytes expected;
    expected.magic();
    for (int i = 0; i < 17; ++i) expected.f64(-12.5 + 1.25 * i);
    EXPECT_EQ(WrittenBytes(oct), expected.str());
    EXPECT_EQ(WrittenBytes(oct).size(), 140u);
    ExpectRoundTrip(oct);

    const auto third = Numbered<COctaveBand3>();
    EXPECT_EQ(WrittenBytes(third).size(), 380u);
    ExpectRoundTrip(third);
}

// Files before 1.6.1 hold no W entry: the band entries and all-pass are read, W becomes 0 and the
// next record starts right after.
TEST(BandValueRecord, WEntryIsGatedAt161) {
    Bytes old1;
    old1.magic();
    for (int i = 0; i < 16; ++i) old1.f64(i + 0.5);
    old1.i32(777);
    Bytes old3;
    old3.magic();
    for (int i = 0; i < 46; ++i) old3.f64(i + 0.5);
    old3.i32(777);
    {
        ScopedFileVersion version({1, 6, 0});
        COctaveBand1 o;
        o.dBW(9.0);
        BinaryFile f = BinaryFile::FromBytes(old1);
        ASSERT_TRUE(o.MeRead(f));
        EXPECT_EQ(o.dBAllPass(), 15.5);
        EXPECT_EQ(o.dBW(), 0.0);
        std::int32_t next = 0;
        ASSERT_TRUE(ReadField(f, next));
        EXPECT_EQ(next, 777);

        COctaveBand3 t;
        BinaryFile f3 = BinaryFile::FromBytes(old3);
        ASSERT_TRUE(t.MeRead(f3));
        EXPECT_EQ(t.dB(45), 45.5);
        EXPECT_EQ(t.dBW(), 0.0);
        ASSERT_TRUE(ReadField(f3, next));
        EXPECT_EQ(next, 777);
    }
    {
        // From 1.6.1 on the seventeenth value is W.
        ScopedFileVersion version({1, 6, 1});
        Bytes current;
        current.magic();
        for (int i = 0; i < 17; ++i) current.f64(i + 0.5);
        COctaveBand1 o;
        BinaryFile f = BinaryFile::FromBytes(current);
        ASSERT_TRUE(o.MeRead(f));
        EXPECT_EQ(o.dBW(), 16.5);
        EXPECT_TRUE(f.AtEnd());
    }
}

TEST(BandValueRecord, BadMagicOrShortRecordFails) {
    ScopedFileVersion version({7, 1, 0});
    COctaveBand1 o;
    o.SetdBInit(3.0);
    Bytes wrong;
    wrong.i32(19660127);
    for (int i = 0; i < 17; ++i) wrong.f64(1.0);
    EXPECT_FALSE(ReadAll(wrong, o));
    EXPECT_TRUE(o.IsMeEqualTo([] { COctaveBand1 x; x.SetdBInit(3.0); return x; }()));

    const std::string full = WrittenBytes(Numbered<COctaveBand1>());
    for (std::size_t n = 0; n < full.size(); ++n) {
        COctaveBand1 r;
        EXPECT_FALSE(ReadAll(full.substr(0, n), r)) << n;
    }
}

}  // namespace
}  // namespace murtesk
