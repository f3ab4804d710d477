// User correction characteristics: records without magic, list reading, comparison.
#include <gtest/gtest.h>

#include <memory>

#include "record_bytes.h"
#include "model/original_w.h"

namespace murtesk {
namespace {

using testing::Bytes;
using testing::ExpectRoundTrip;
using testing::ReadAll;
using testing::WrittenBytes;

std::shared_ptr<COriginalW> Characteristic(const std::string& name, const std::string& shortName, double offset) {
    auto w = std::make_shared<COriginalW>();
    w->WName = name;
    w->WNameHalfSize = shortName;
    w->WRevise3.SetdBInit(-100.0);
    w->WMax3.SetdBInit(170.0);
    for (int i = 0; i < 45; ++i) {
        w->WRevise3.dB(i, offset + i * 0.5);
        w->WMax3.dB(i, 120.0 - i);
    }
    w->WRevise1.SetdBInit(-100.0);
    w->WMax1.SetdBInit(170.0);
    w->WRevise1.SetdBFromOct3(w->WRevise3);
    w->WMax1.SetdBFromOct3(w->WMax3);
    return w;
}

TEST(OriginalW, OctaveCurvesFollowTheThirdOctaveCurves) {
    const auto w = Characteristic("道路特性", "Road", -10.0);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(w->WRevise1.dB(i), w->WRevise3.dB(3 * i + 1));
        EXPECT_EQ(w->WMax1.dB(i), w->WMax3.dB(3 * i + 1));
    }
    EXPECT_EQ(w->WRevise1.dBAllPass(), -100.0);
    EXPECT_EQ(w->WRevise1.dBW(), -100.0);
    EXPECT_EQ(w->WRevise3.dBW(), -100.0);
    EXPECT_EQ(w->WMax1.dBAllPass(), 170.0);
    EXPECT_EQ(w->WMax3.dBW(), 170.0);
}

TEST(OriginalWRecord, LayoutWithoutMagic) {
    ScopedFileVersion version({7, 1, 0});
    const auto w = Characteristic("特性", "T", 1.0);
    Bytes expected;
    expected.text(2, "\x93\xC1\x90\xAB").text(1, "T");
    expected.append(WrittenBytes(w->WRevise1)).append(WrittenBytes(w->WRevise3));
    expected.append(WrittenBytes(w->WMax1)).append(WrittenBytes(w->WMax3));
    EXPECT_EQ(WrittenBytes(*w), expected.str());
    EXPECT_EQ(WrittenBytes(*w).size(), 4u + 4 + 4 + 1 + 2 * (140 + 380));
    ExpectRoundTrip(*w);
}

TEST(OriginalWRecord, NamesAndEveryCurveAreCompared) {
    const auto a = Characteristic("特性", "T", 1.0);
    auto b = std::make_shared<COriginalW>(a->MeCopy());
    EXPECT_TRUE(b->IsMeEqualTo(*a));
    b->WNameHalfSize = "t";
    EXPECT_FALSE(b->IsMeEqualTo(*a));
    a->MeMove(*b);
    EXPECT_TRUE(b->IsMeEqualTo(*a));
    b->WMax3.dB(44, 0.0);
    EXPECT_FALSE(b->IsMeEqualTo(*a));
}

TEST(OriginalWsRecord, CountThenItems) {
    ScopedFileVersion version({7, 1, 0});
    COriginalWs list;
    list.Add(Characteristic("一", "1", 0.0));
    list.Add(Characteristic("二", "2", 5.0));
    const std::string bytes = WrittenBytes(list);
    EXPECT_EQ(bytes.substr(0, 4), Bytes().i32(2).str());
    EXPECT_EQ(bytes.substr(4), WrittenBytes(list.Item(1)) + WrittenBytes(list.Item(2)));
    ExpectRoundTrip(list);

    COriginalWs copy = list.MeCopy();
    EXPECT_TRUE(copy.IsMeEqualTo(list));
    copy.Item(2).WName = "三";
    EXPECT_FALSE(copy.IsMeEqualTo(list));
    EXPECT_EQ(list.Item(2).WName, "二");
    copy.Delete(2);
    EXPECT_FALSE(copy.IsMeEqualTo(list));

    // A file that ends before the count, and one whose second item is cut short.
    COriginalWs read;
    EXPECT_FALSE(ReadAll(std::string("\x02\x00", 2), read));
    EXPECT_FALSE(ReadAll(bytes.substr(0, bytes.size() - 1), read));
    ASSERT_EQ(read.count(), 1);
    EXPECT_TRUE(read.Item(1).IsMeEqualTo(list.Item(1)));
    EXPECT_THROW(read.Item(2), std::out_of_range);
    // A huge count fails at the first item that runs out, without reserving room for it.
    EXPECT_FALSE(ReadAll(Bytes().i32(0x7fffffff).append(WrittenBytes(list.Item(1))), read));
    EXPECT_EQ(read.count(), 1);
}

}  // namespace
}  // namespace murtesk
