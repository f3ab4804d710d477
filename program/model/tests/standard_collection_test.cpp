#include "model/standard_collection.h"

#include <gtest/gtest.h>

#include <string>

namespace murtesk {
namespace {

using namespace std::string_literals;

class Point : public Record<Point> {
public:
    double X = 0.0;
    std::int16_t Tag = 0;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.X) && io(self.Tag);
    }
    static auto Compared(const Point& p) { return std::tie(p.X, p.Tag); }
};

class Points : public StandardCollection<Point, Points> {};

Point MakePoint(double x) {
    Point p;
    p.X = x;
    return p;
}

std::string Written(const Points& list) {
    BinaryFile out = BinaryFile::InMemory();
    EXPECT_TRUE(list.MeWrite(out));
    return out.Bytes();
}

TEST(StandardCollection, IsOneBasedAndDeleteMovesLaterItemsUp) {
    Points list;
    auto first = list.Add(std::make_shared<Point>(MakePoint(1)));
    list.Add(MakePoint(2));
    list.Add(MakePoint(3));
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(&list.Item(1), first.get());  // Add keeps the object itself
    list.Delete(2);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.Item(2).X, 3);
    EXPECT_THROW(list.Item(0), std::out_of_range);
    EXPECT_THROW(list.Item(3), std::out_of_range);
    EXPECT_THROW(list.Delete(3), std::out_of_range);
    list.AllDelete();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(first->X, 1);  // a holder keeps a deleted item alive
}

TEST(StandardCollection, CopiesShareNoItem) {
    Points source;
    source.Add(MakePoint(1));
    source.Add(MakePoint(2));
    Points target;
    target.Add(MakePoint(9));
    source.MeMove(target);
    EXPECT_TRUE(target.IsMeEqualTo(source));
    EXPECT_NE(&target.Item(1), &source.Item(1));
    source.Item(1).X = 5;
    EXPECT_FALSE(target.IsMeEqualTo(source));
    EXPECT_EQ(target.Item(1).X, 1);

    Points copy = source.MeCopy();
    Points constructed = source;
    EXPECT_TRUE(copy.IsMeEqualTo(source));
    EXPECT_TRUE(constructed.IsMeEqualTo(source));
    EXPECT_NE(&constructed.Item(2), &source.Item(2));
    copy.Delete(1);
    EXPECT_FALSE(copy.IsMeEqualTo(source));
}

TEST(StandardCollection, WritesACountedListAndReadsItBack) {
    Points list;
    list.Add(MakePoint(0.5)).Tag = 7;
    EXPECT_EQ(Written(list), "\x5E\xFD\x2B\x01\x01\x00\x00\x00"
                             "\x5E\xFD\x2B\x01\x00\x00\x00\x00\x00\x00\xE0\x3F\x07\x00"s);
    EXPECT_EQ(Written(Points{}), "\x5E\xFD\x2B\x01\x00\x00\x00\x00"s);

    BinaryFile in = BinaryFile::FromBytes(Written(list));
    Points back;
    back.Add(MakePoint(99));
    ASSERT_TRUE(back.MeRead(in));
    EXPECT_TRUE(back.IsMeEqualTo(list));
}

TEST(StandardCollection, ReadFailures) {
    Points three;
    three.Add(MakePoint(1));
    three.Add(MakePoint(2));
    three.Add(MakePoint(3));
    const std::string bytes = Written(three);
    const std::size_t item = 4 + 8 + 2;

    {  // wrong magic: the list keeps its items
        Points list;
        list.Add(MakePoint(9));
        BinaryFile in = BinaryFile::FromBytes("\x00" + bytes.substr(1));
        EXPECT_FALSE(list.MeRead(in));
        EXPECT_EQ(list.count(), 1);
    }
    {  // the file ends inside the count: false, and the list is empty
        Points list;
        list.Add(MakePoint(9));
        BinaryFile in = BinaryFile::FromBytes(bytes.substr(0, 6));
        EXPECT_FALSE(list.MeRead(in));
        EXPECT_EQ(list.count(), 0);
    }
    {  // the third item fails: the first two stay
        std::string broken = bytes;
        broken[8 + 2 * item] = 0;
        Points list;
        BinaryFile in = BinaryFile::FromBytes(broken);
        EXPECT_FALSE(list.MeRead(in));
        ASSERT_EQ(list.count(), 2);
        EXPECT_EQ(list.Item(2).X, 2);
    }
    {  // a count far beyond the file fails at the first item that runs out of bytes
        std::string huge = bytes;
        huge.replace(4, 4, "\xFF\xFF\xFF\x7F"s);
        Points list;
        BinaryFile in = BinaryFile::FromBytes(huge);
        EXPECT_FALSE(list.MeRead(in));
        EXPECT_EQ(list.count(), 3);
    }
    {  // a negative count is an empty list
        Points list;
        list.Add(MakePoint(9));
        BinaryFile in = BinaryFile::FromBytes("\x5E\xFD\x2B\x01\xFE\xFF\xFF\xFF"s);
        EXPECT_TRUE(list.MeRead(in));
        EXPECT_EQ(list.count(), 0);
    }
}

}  // namespace
}  // namespace murtesk
