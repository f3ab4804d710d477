// Auxiliary records: layouts and round trips, the date list and its computations, the time span of
// a recorded file and the width of a graph's X axis.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "record_bytes.h"
#include "model/common_graph_axis_info.h"
#include "model/date_points.h"
#include "model/start_mode.h"
#include "model/wave_file.h"
#include "model/wave_file_out.h"
#include "model/xy_axis.h"

namespace murtesk {
namespace {

using testing::Bytes;
using testing::ExpectRoundTrip;
using testing::ReadAll;
using testing::WrittenBytes;

// 2026-12-08 as a day count, and times of that day.
constexpr Date kDay = 46364.0;
Date At(int h, int m, int s) { return kDay + (h * 3600 + m * 60 + s) / 86400.0; }

TEST(WaveFileOutRecord, DefaultsLayoutAndRoundTrip) {
    CWaveFileOut o;
    EXPECT_EQ(WrittenBytes(o), Bytes().magic().i16(0).f64(80.0).i16(2).i16(60).i16(1).str());
    EXPECT_EQ(WrittenBytes(o).size(), 20u);
    o.OkFlg = -1;
    o.RecLevel = 63.25;
    o.PreRecSec = 5;
    ExpectRoundTrip(o);
    CWaveFileOut other = o;
    other.MaxRecSec = 61;
    EXPECT_FALSE(other.IsMeEqualTo(o));
}

TEST(CommonGraphAxisInfoRecord, TenBytesWithoutMagic) {
    CCommonGraphAxisInfo info;
    EXPECT_EQ(WrittenBytes(info), Bytes().boolean(false).boolean(true).boolean(false).boolean(true).boolean(true).str());
    info.m_bHzGraphYAxis = true;
    info.m_bAllCh = false;
    ExpectRoundTrip(info);
    CCommonGraphAxisInfo read;
    EXPECT_FALSE(ReadAll(WrittenBytes(info).substr(0, 9), read));
    // Any non-zero value reads as true.
    ASSERT_TRUE(ReadAll(Bytes().i16(1).i16(0).i16(7).i16(0).i16(-3), read));
    EXPECT_TRUE(read.m_bLevelXAxis);
    EXPECT_FALSE(read.m_bLevelYAxis);
    EXPECT_TRUE(read.m_bHzGraphYAxis);
    EXPECT_TRUE(read.m_bAllCh);
}

TEST(DatePoints, EmptyListHasOneSpareSlot) {
    CDatePoints p;
    EXPECT_EQ(p.num(), 0);
    ASSERT_EQ(p.Data().size(), 1u);
    EXPECT_EQ(p.getData(1), 0.0);
    EXPECT_THROW(p.getData(2), std::out_of_range);
    EXPECT_THROW(p.getData(0), std::out_of_range);
    EXPECT_EQ(WrittenBytes(p), Bytes().magic().i32(0).str());
    CDatePoints read;
    read.addData(At(1, 0, 0));
    ASSERT_TRUE(ReadAll(WrittenBytes(p), read));
    EXPECT_EQ(read.num(), 0);
    EXPECT_TRUE(read.IsMeEqualTo(p));
    EXPECT_TRUE(p.MeCopy().IsMeEqualTo(p));
}

TEST(DatePoints, CountArrayAndCopies) {
    CDatePoints p;
    p.addData(At(1, 0, 0));
    EXPECT_EQ(p.Data().size(), 1u);
    p.addData(At(2, 0, 0));
    EXPECT_EQ(p.num(), 2);
    EXPECT_EQ(p.getData(2), At(2, 0, 0));
    p.num(4);
    EXPECT_EQ(p.getData(2), At(2, 0, 0));
    EXPECT_EQ(p.getData(4), 0.0);
    p.num(1);
    EXPECT_EQ(p.Data(), std::vector<Date>{At(1, 0, 0)});
    p.num(-3);
    EXPECT_EQ(p.num(), 0);
    EXPECT_EQ(p.Data().size(), 1u);
    p.Data({At(3, 0, 0), At(4, 0, 0), At(5, 0, 0)});
    EXPECT_EQ(p.num(), 3);
    CDatePoints q;
    p.MeMove(q);
    EXPECT_TRUE(q.IsMeEqualTo(p));
    q.addData(At(6, 0, 0));
    EXPECT_FALSE(q.IsMeEqualTo(p));
    EXPECT_EQ(p.num(), 3);
}

TEST(DatePoints, RecordRoundTripAndCorruptCounts) {
    CDatePoints p;
    p.Data({At(3, 0, 0), At(4, 0, 0), At(5, 0, 0)});
    EXPECT_EQ(WrittenBytes(p), Bytes().magic().i32(3).f64(At(3, 0, 0)).f64(At(4, 0, 0)).f64(At(5, 0, 0)).str());
    ExpectRoundTrip(p);

    CDatePoints r;
    // A count below zero is an empty list.
    ASSERT_TRUE(ReadAll(Bytes().magic().i32(-5), r));
    EXPECT_EQ(r.num(), 0);
    // A count that the bytes left cannot hold fails without taking memory for it.
    r = p;
    EXPECT_FALSE(ReadAll(Bytes().magic().i32(0x7fffffff).f64(1.0), r));
    EXPECT_FALSE(ReadAll(Bytes().magic().i32(2).f64(1.0), r));
    EXPECT_TRUE(r.IsMeEqualTo(p));
    // A file that ends inside the count.
    EXPECT_FALSE(ReadAll(Bytes().magic().i16(1), r));
    EXPECT_FALSE(ReadAll(Bytes().i32(3).i32(0), r));
}

TEST(DatePoints, TidyDateKeepsLaterDatesSortedWithoutRepeats) {
    CDatePoints p;
    p.Data({At(10, 0, 0), At(8, 0, 0), At(10, 0, 0), At(9, 0, 0)});
    p.tidyDate(At(9, 0, 0));
    EXPECT_EQ(p.num(), 2);
    EXPECT_EQ(p.Data(), (std::vector<Date>{At(9, 0, 0), At(10, 0, 0)}));

    p.tidyDate(At(11, 0, 0));
    EXPECT_EQ(p.num(), 0);
    EXPECT_EQ(p.Data().size(), 1u);

    CDatePoints empty;
    empty.tidyDate(0.0);
    EXPECT_EQ(empty.num(), 0);
}

TEST(DatePoints, MinimumInterval) {
    std::int32_t index = 0;
    CDatePoints p;
    p.Data({At(10, 0, 0), At(10, 0, 30), At(10, 1, 0), At(10, 1, 10)});
    EXPECT_EQ(p.getMinIntervalSec(index), 10);
    EXPECT_EQ(index, 4);
    p.Data({At(10, 0, 0), At(10, 0, 30), At(10, 1, 0)});
    EXPECT_EQ(p.getMinIntervalSec(index), 30);
    EXPECT_EQ(index, 2);
    p.Data({At(10, 0, 0)});
    EXPECT_EQ(p.getMinIntervalSec(index), 31536000);
    EXPECT_EQ(index, 1);
    // A pair out of order gives a negative interval, which wins.
    p.Data({At(10, 0, 0), At(10, 0, 30), At(9, 59, 50)});
    EXPECT_EQ(p.getMinIntervalSec(index), -40);
    EXPECT_EQ(index, 3);
    index = 0;
    CDatePoints empty;
    EXPECT_EQ(empty.getMinIntervalSec(index), 31536000);
    EXPECT_EQ(index, 1);
}

TEST(StartModeRecord, LayoutAndRoundTrip) {
    CStartMode m;
    m.RepeatStartDate = At(7, 30, 0);
    m.DatePoints.addData(At(8, 0, 0));
    EXPECT_EQ(WrittenBytes(m), Bytes()
                                   .magic()
                                   .i16(0)
                                   .i16(0)
                                   .f64(At(7, 30, 0))
                                   .i32(10)
                                   .i32(24)
                                   .magic()
                                   .i32(1)
                                   .f64(At(8, 0, 0))
                                   .str());
    m.mode = 2;
    m.RepeatNum = 3;
    ExpectRoundTrip(m);
    CStartMode other = m.MeCopy();
    other.DatePoints.addData(At(9, 0, 0));
    EXPECT_FALSE(other.IsMeEqualTo(m));
    EXPECT_EQ(m.DatePoints.num(), 1);
}

TEST(WaveFileRecord, LayoutRoundTripAndList) {
    CWaveFile f;
    f.StartTime = At(10, 0, 0);
    f.EndTime = At(10, 5, 0);
    f.SaveFileName = "26-12-8-10_0_0ch1.wav";
    EXPECT_EQ(WrittenBytes(f),
              Bytes().magic().f64(At(10, 0, 0)).f64(At(10, 5, 0)).text(21, "26-12-8-10_0_0ch1.wav").str());
    ExpectRoundTrip(f);

    CWaveFiles list;
    list.Add(f);
    f.SaveFileName = "録音.wav";
    list.Add(f);
    const std::string bytes = WrittenBytes(list);
    EXPECT_EQ(bytes.substr(0, 8), Bytes().magic().i32(2).str());
    ExpectRoundTrip(list);
    CWaveFiles read;
    ASSERT_TRUE(ReadAll(bytes, read));
    EXPECT_EQ(read.Item(2).SaveFileName, "録音.wav");
}

TEST(WaveFile, IsScopeIncludesBothEndsInEitherOrder) {
    CWaveFile f;
    f.StartTime = At(10, 0, 0);
    f.EndTime = At(11, 0, 0);
    EXPECT_TRUE(f.isScope(Variant::FromDate(At(10, 0, 0))));
    EXPECT_TRUE(f.isScope(Variant::FromDate(At(11, 0, 0))));
    EXPECT_TRUE(f.isScope(Variant::FromDate(At(10, 30, 0))));
    EXPECT_FALSE(f.isScope(Variant::FromDate(At(11, 0, 1))));
    EXPECT_FALSE(f.isScope(Variant::Null()));
    std::swap(f.StartTime, f.EndTime);
    EXPECT_TRUE(f.isScope(Variant::FromDate(At(10, 30, 0))));
    EXPECT_TRUE(f.isScope(Variant::FromDate(At(10, 0, 0))));
    EXPECT_FALSE(f.isScope(Variant::FromDate(At(9, 59, 59))));
}

TEST(XYAxisRecord, DefaultsLayoutAndVariantTypes) {
    CXYAxis a;
    EXPECT_EQ(WrittenBytes(a),
              Bytes().magic().variantI16(50).variantI16(0).f64(100.0).f64(40.0).i16(0).i16(1).str());
    ExpectRoundTrip(a);
    a.XAxisMax = Variant::FromDate(At(12, 0, 0));
    a.XAxisMin = Variant::FromDate(At(11, 0, 0));
    a.XAxisUnit = 3;
    a.Lx = 95;
    ExpectRoundTrip(a);
    // Variants compare by value, whatever their type.
    CXYAxis b;
    b.XAxisMax = Variant(50.0);
    EXPECT_TRUE(b.IsMeEqualTo(CXYAxis{}));
    b.XAxisMin = Variant(std::int32_t{1});
    EXPECT_FALSE(b.IsMeEqualTo(CXYAxis{}));
}

TEST(XYAxis, WidthInSeconds) {
    CXYAxis a;
    EXPECT_EQ(a.getXWidthSec(), 50);
    a.XAxisUnit = 1;
    EXPECT_EQ(a.getXWidthSec(), 3000);
    a.XAxisUnit = 2;
    EXPECT_EQ(a.getXWidthSec(), 180000);
    a.XAxisUnit = 4;
    EXPECT_EQ(a.getXWidthSec(), 51);
    // Both ends are rounded to whole numbers first, halves to even.
    a.XAxisUnit = 0;
    a.XAxisMax = Variant(2.5);
    a.XAxisMin = Variant(0.5);
    EXPECT_EQ(a.getXWidthSec(), 2);
    a.XAxisMax = Variant(3.5);
    a.XAxisMin = Variant(1.5);
    EXPECT_EQ(a.getXWidthSec(), 2);
    a.XAxisMax = Variant(-0.5);
    a.XAxisMin = Variant(-1.5);
    EXPECT_EQ(a.getXWidthSec(), 2);
    // Date-times count whole seconds.
    a.XAxisUnit = 3;
    a.XAxisMin = Variant::FromDate(At(10, 0, 0));
    a.XAxisMax = Variant::FromDate(At(11, 0, 30));
    EXPECT_EQ(a.getXWidthSec(), 3630);
    a.XAxisMax = Variant::FromDate(At(9, 0, 0));
    EXPECT_EQ(a.getXWidthSec(), -3600);
}

TEST(XYAxis, WidthOutsideThe32BitRangeThrows) {
    CXYAxis a;
    a.XAxisUnit = 2;
    a.XAxisMax = Variant(std::int32_t{1000000});
    EXPECT_THROW(a.getXWidthSec(), std::overflow_error);
    a.XAxisUnit = 0;
    a.XAxisMax = Variant(1e300);
    EXPECT_THROW(a.getXWidthSec(), std::overflow_error);
    a.XAxisMax = Variant(std::numeric_limits<double>::quiet_NaN());
    EXPECT_THROW(a.getXWidthSec(), std::overflow_error);
    a.XAxisUnit = 5;
    a.XAxisMax = Variant(std::int32_t{2147483647});
    a.XAxisMin = Variant(std::int16_t{0});
    EXPECT_THROW(a.getXWidthSec(), std::overflow_error);
    a.XAxisUnit = 3;
    a.XAxisMin = Variant::FromDate(0.0);
    a.XAxisMax = Variant::FromDate(100000.0);
    EXPECT_THROW(a.getXWidthSec(), std::overflow_error);
}

}  // namespace
}  // namespace murtesk
