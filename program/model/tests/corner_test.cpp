#include "model/corner.h"

#include <gtest/gtest.h>

#include <string>

namespace murtesk {
namespace {

using namespace std::string_literals;

CCorner At(double x, double y) {
    CCorner c;
    c.X = x;
    c.Y = y;
    return c;
}

TEST(CCorner, AdjustMoveKeepsThePointInsideTheArea) {
    const CCorner corner = At(10, 10);
    double mx = -15, my = 45;
    corner.AdjustMove(mx, my, 100, 50);
    EXPECT_EQ(mx, -10);
    EXPECT_EQ(my, 40);
    mx = 200, my = -3;
    corner.AdjustMove(mx, my, 100, 50);
    EXPECT_EQ(mx, 90);
    EXPECT_EQ(my, -3);
    EXPECT_EQ(corner.X, 10);  // the corner itself stays
    EXPECT_FALSE(corner.IsUnOverAfterMove(-15, 0, 100, 50));
    EXPECT_TRUE(corner.IsUnOverAfterMove(90, 40, 100, 50));  // the edge counts as inside
    EXPECT_TRUE(corner.IsUnOverPosition(100, 0, 100, 50));
    EXPECT_FALSE(corner.IsUnOverPosition(100.5, 0, 100, 50));
    EXPECT_FALSE(corner.IsUnOverPosition(0, -0.1, 100, 50));
}

TEST(CCorner, RecordIsMagicAndTwoDoubles) {
    BinaryFile out = BinaryFile::InMemory();
    ASSERT_TRUE(At(1.5, -2).MeWrite(out));
    EXPECT_EQ(out.Bytes(), "\x5E\xFD\x2B\x01"
                           "\x00\x00\x00\x00\x00\x00\xF8\x3F"
                           "\x00\x00\x00\x00\x00\x00\x00\xC0"s);
    BinaryFile in = BinaryFile::FromBytes(out.Bytes());
    CCorner back;
    ASSERT_TRUE(back.MeRead(in));
    EXPECT_TRUE(back.IsMeEqualTo(At(1.5, -2)));

    BinaryFile cut = BinaryFile::FromBytes(out.Bytes().substr(0, 15));
    CCorner partial;
    EXPECT_FALSE(partial.MeRead(cut));  // the file ended before both values
}

TEST(CCorners, ListOperationsAndItsRecord) {
    CCorners corners;
    CCorner& first = corners.AddXY(1, 2);
    corners.AddXY(3, 4);
    corners.Add(At(5, 6));
    EXPECT_EQ(&corners.Item(1), &first);
    corners.Delete(2);
    ASSERT_EQ(corners.count(), 2);
    EXPECT_EQ(corners.Item(2).X, 5);

    CCorners copy = corners.MeCopy();
    EXPECT_TRUE(copy.IsMeEqualTo(corners));
    copy.Item(1).Y = 0;
    EXPECT_FALSE(copy.IsMeEqualTo(corners));
    EXPECT_EQ(corners.Item(1).Y, 2);

    BinaryFile out = BinaryFile::InMemory();
    ASSERT_TRUE(corners.MeWrite(out));
    EXPECT_EQ(out.Bytes().size(), 8u + 2 * 20u);
    BinaryFile in = BinaryFile::FromBytes(out.Bytes());
    CCorners back;
    back.AddXY(9, 9);
    ASSERT_TRUE(back.MeRead(in));
    EXPECT_TRUE(back.IsMeEqualTo(corners));

    CCorner moved;
    corners.Item(2).MeMove(moved);
    EXPECT_TRUE(moved.IsMeEqualTo(At(5, 6)));
}

}  // namespace
}  // namespace murtesk
