#include "model/record_stream.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <unistd.h>
#include <string>

namespace murtesk {
namespace {

using namespace std::string_literals;

template <class T>
std::string Encode(const T& value) {
    BinaryFile file = BinaryFile::InMemory();
    EXPECT_TRUE(WriteField(file, value));
    return file.Bytes();
}

template <class T>
T Decode(const std::string& bytes, bool expect_ok = true) {
    BinaryFile file = BinaryFile::FromBytes(bytes);
    T value{};
    EXPECT_EQ(ReadField(file, value), expect_ok);
    if (expect_ok) {
        EXPECT_TRUE(file.AtEnd());
    }
    return value;
}

TEST(FieldEncoding, PlainValuesAreLittleEndianWithoutPadding) {
    EXPECT_EQ(Encode(std::int16_t{-2}), "\xFE\xFF"s);
    EXPECT_EQ(Encode(std::int16_t{0x1234}), "\x34\x12"s);
    EXPECT_EQ(Encode(std::int32_t{19660126}), "\x5E\xFD\x2B\x01"s);
    EXPECT_EQ(Encode(std::int32_t{-1}), "\xFF\xFF\xFF\xFF"s);
    EXPECT_EQ(Encode(1.5f), "\x00\x00\xC0\x3F"s);
    EXPECT_EQ(Encode(10.0), "\x00\x00\x00\x00\x00\x00\x24\x40"s);
    // 2024-01-01 12:00 is day 45292.5.
    EXPECT_EQ(Encode(Date{45292.5}), "\x00\x00\x00\x00\x90\x1D\xE6\x40"s);
    EXPECT_EQ(Encode(true), "\xFF\xFF"s);
    EXPECT_EQ(Encode(false), "\x00\x00"s);

    EXPECT_EQ(Decode<std::int16_t>("\xFE\xFF"s), -2);
    EXPECT_EQ(Decode<std::int32_t>("\x5E\xFD\x2B\x01"s), 19660126);
    EXPECT_EQ(Decode<float>("\x00\x00\xC0\x3F"s), 1.5f);
    EXPECT_EQ(Decode<double>("\x00\x00\x00\x00\x90\x1D\xE6\x40"s), 45292.5);
}

TEST(FieldEncoding, AnyNonZeroBooleanReadsTrue) {
    EXPECT_TRUE(Decode<bool>("\x01\x00"s));
    EXPECT_TRUE(Decode<bool>("\x00\x80"s));
    EXPECT_FALSE(Decode<bool>("\x00\x00"s));
}

TEST(FieldEncoding, ShortReadFailsAndKeepsTheField) {
    BinaryFile file = BinaryFile::FromBytes("\x01\x02\x03"s);
    std::int32_t value = 7;
    EXPECT_FALSE(ReadField(file, value));
    EXPECT_EQ(value, 7);
    double d = 2.0;
    BinaryFile seven = BinaryFile::FromBytes("1234567");
    EXPECT_FALSE(ReadField(seven, d));
    EXPECT_EQ(d, 2.0);
}

TEST(TextEncoding, EmptyTextIsTheCountAlone) {
    EXPECT_EQ(Encode(""s), "\x00\x00\x00\x00"s);
    EXPECT_EQ(Decode<std::string>("\x00\x00\x00\x00"s), "");
}

TEST(TextEncoding, CountIsCharactersAndTheNextFieldIsReadInPlace) {
    // "表～ｼ\" is four characters in six bytes; the 16-bit field after it must read as 0x0102.
    const std::string expected = "\x04\x00\x00\x00\x95\x5C\x81\x60\xBC\x5C"s;
    BinaryFile out = BinaryFile::InMemory();
    ASSERT_TRUE(WriteField(out, "表～ｼ\\"s));
    ASSERT_TRUE(WriteField(out, std::int16_t{0x0102}));
    EXPECT_EQ(out.Bytes(), expected + "\x02\x01"s);

    BinaryFile in = BinaryFile::FromBytes(out.Bytes());
    std::string text;
    std::int16_t after = 0;
    ASSERT_TRUE(ReadField(in, text));
    ASSERT_TRUE(ReadField(in, after));
    EXPECT_EQ(text, "表～ｼ\\");
    EXPECT_EQ(after, 0x0102);
    EXPECT_TRUE(in.AtEnd());
}

TEST(TextEncoding, RoundTripsCp932SpecialsAndNul) {
    for (const std::string& text : {"～－①"s, "ｼｽﾃﾑ"s, "a\0b"s, "補正特性\r\n2行目"s}) {
        EXPECT_EQ(Decode<std::string>(Encode(text)), text);
    }
    EXPECT_EQ(Encode("a\0b"s), "\x03\x00\x00\x00" "a\0b"s);
}

TEST(TextEncoding, CharactersCp932LacksAreReplacedAndCounted) {
    EXPECT_EQ(Encode("a😀"s), "\x02\x00\x00\x00" "a?"s);
}

TEST(TextEncoding, CorruptCountsAreRefused) {
    // Negative count.
    Decode<std::string>("\xFF\xFF\xFF\xFF" "abc"s, false);
    // More characters than bytes left.
    Decode<std::string>("\x04\x00\x00\x00" "abc"s, false);
    Decode<std::string>("\xFF\xFF\xFF\x7F" "abc"s, false);
    // Enough bytes for the count of characters, but the last one is a double-byte character whose
    // trail byte is missing.
    Decode<std::string>("\x02\x00\x00\x00" "a\x95"s, false);
    // The count ends inside itself.
    Decode<std::string>("\x01\x00"s, false);
}

TEST(TextEncoding, ReadingStopsAfterTheCountedCharacters) {
    BinaryFile in = BinaryFile::FromBytes("\x02\x00\x00\x00\x95\x5C\x5C" "rest"s);
    std::string cp932;
    ASSERT_TRUE(ReadCp932Text(in, cp932));
    EXPECT_EQ(cp932, "\x95\x5C\x5C");
    EXPECT_EQ(in.Remaining(), 4u);
}

struct VariantCase {
    const char* name;
    Variant value;
    std::string bytes;
};

class VariantEncoding : public testing::TestWithParam<VariantCase> {};

INSTANTIATE_TEST_SUITE_P(
    Tags, VariantEncoding,
    testing::Values(VariantCase{"Empty", Variant(), "\x00\x00"s},
                    VariantCase{"Null", Variant::Null(), "\x01\x00"s},
                    VariantCase{"Integer", Variant(std::int16_t{50}), "\x02\x00\x32\x00"s},
                    VariantCase{"Long", Variant(std::int32_t{-2}), "\x03\x00\xFE\xFF\xFF\xFF"s},
                    VariantCase{"Single", Variant(1.5f), "\x04\x00\x00\x00\xC0\x3F"s},
                    VariantCase{"Double", Variant(10.0), "\x05\x00\x00\x00\x00\x00\x00\x00\x24\x40"s},
                    VariantCase{"Date", Variant::FromDate(45292.5),
                                "\x07\x00\x00\x00\x00\x00\x90\x1D\xE6\x40"s},
                    VariantCase{"Boolean", Variant(true), "\x0B\x00\xFF\xFF"s}),
    [](const auto& info) { return info.param.name; });

TEST_P(VariantEncoding, WritesTagThenValueAndReadsBack) {
    EXPECT_EQ(Encode(GetParam().value), GetParam().bytes);
    const Variant back = Decode<Variant>(GetParam().bytes);
    EXPECT_EQ(back.tag(), GetParam().value.tag());
    EXPECT_TRUE(back.IsMeEqualTo(GetParam().value));
}

TEST(VariantEncoding, UnknownTagOrShortValueFails) {
    Decode<Variant>("\x08\x00\x00\x00"s, false);
    Decode<Variant>("\x05\x00\x00\x00"s, false);
}

TEST(VariantComparison, ComparesByValueAcrossTypes) {
    EXPECT_TRUE(Variant(std::int16_t{50}).IsMeEqualTo(Variant(50.0)));
    EXPECT_TRUE(Variant().IsMeEqualTo(Variant(std::int32_t{0})));
    EXPECT_FALSE(Variant(std::int16_t{50}).IsMeEqualTo(Variant(50.5)));
    EXPECT_TRUE(Variant::Null().IsMeEqualTo(Variant::Null()));
    EXPECT_FALSE(Variant::Null().IsMeEqualTo(Variant()));
}

TEST(RecordMagic, MismatchFailsAndConsumesFourBytes) {
    BinaryFile in = BinaryFile::FromBytes("\x5E\xFD\x2B\x02\x5E\xFD\x2B\x01"s);
    EXPECT_FALSE(ReadMagic(in));
    EXPECT_EQ(in.Position(), 4u);
    EXPECT_TRUE(ReadMagic(in));
}

// A record written with the Record<> pieces, as the model's classes are.
class Sample : public Record<Sample> {
public:
    std::int16_t A = 1;
    double B = 2.5;
    std::string Name = "名前";
    std::int32_t Gated = 0;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.A) && io.Dropped(10.0) && io(self.B) && io(self.Name) &&
               io.Since({2, 0, 0}, self.Gated, std::int32_t{-5});
    }
    static auto Compared(const Sample& s) { return std::tie(s.A, s.B, s.Name, s.Gated); }
};

class Outer : public Record<Outer> {
public:
    Sample Inner;
    bool Flag = true;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.Inner) && io(self.Flag);
    }
    static auto Compared(const Outer& o) { return std::tie(o.Inner, o.Flag); }
};

TEST(RecordPieces, WritesFieldsInOrderWithTheMagic) {
    Sample s;
    s.A = 3;
    s.Name = "ab";
    s.Gated = 9;
    BinaryFile out = BinaryFile::InMemory();
    ASSERT_TRUE(s.MeWrite(out));
    EXPECT_EQ(out.Bytes(), "\x5E\xFD\x2B\x01"
                           "\x03\x00"
                           "\x00\x00\x00\x00\x00\x00\x24\x40"
                           "\x00\x00\x00\x00\x00\x00\x04\x40"
                           "\x02\x00\x00\x00"
                           "ab"
                           "\x09\x00\x00\x00"s);
}

TEST(RecordPieces, VersionGateDecidesWhetherTheFieldIsRead) {
    Sample written;
    written.Gated = 42;
    BinaryFile out = BinaryFile::InMemory();
    ASSERT_TRUE(written.MeWrite(out));
    {
        ScopedFileVersion version({2, 0, 0});
        BinaryFile in = BinaryFile::FromBytes(out.Bytes());
        Sample read;
        ASSERT_TRUE(read.MeRead(in));
        EXPECT_EQ(read.Gated, 42);
        EXPECT_TRUE(in.AtEnd());
    }
    {
        ScopedFileVersion version({1, 9, 9});
        BinaryFile in = BinaryFile::FromBytes(out.Bytes());
        Sample read;
        ASSERT_TRUE(read.MeRead(in));
        EXPECT_EQ(read.Gated, -5);
        EXPECT_EQ(in.Remaining(), 4u);  // nothing consumed for the gated field
    }
}

struct GateCase {
    FileVersion file;
    bool from_2_0_0;
    bool newer_than_2_0_0;
    bool before_major_2;
};

class VersionGates : public testing::TestWithParam<GateCase> {};

INSTANTIATE_TEST_SUITE_P(Versions, VersionGates,
                         testing::Values(GateCase{{2, 0, 0}, true, false, false},
                                         GateCase{{1, 9, 9}, false, false, true},
                                         GateCase{{2, 0, 1}, true, true, false},
                                         GateCase{{1, 99, 99}, false, false, true},
                                         GateCase{{2, 1, -5}, true, true, false},
                                         GateCase{{3, -1, 0}, true, true, false},
                                         GateCase{{0, 0, 0}, false, false, true},
                                         GateCase{{-1, 9, 9}, false, false, true},
                                         GateCase{{7, 1, 0}, true, true, false}),
                         [](const auto& info) {
                             const FileVersion& v = info.param.file;
                             auto part = [](int n) { return (n < 0 ? "m" : "") + std::to_string(n < 0 ? -n : n); };
                             return "v" + part(v.Major) + "_" + part(v.Minor) + "_" + part(v.Revision);
                         });

TEST_P(VersionGates, CompareLexicographicallyAsSigned16BitNumbers) {
    ScopedFileVersion version(GetParam().file);
    EXPECT_EQ(FileVersionFrom({2, 0, 0}), GetParam().from_2_0_0);
    EXPECT_EQ(FileVersionNewerThan({2, 0, 0}), GetParam().newer_than_2_0_0);
    EXPECT_EQ(FileVersionBeforeMajor(2), GetParam().before_major_2);
}

TEST(VersionContext, ScopedVersionPutsThePreviousOneBack) {
    SetFileVersion({7, 1, 0});
    {
        ScopedFileVersion version({1, 2, 3});
        EXPECT_EQ(g_FileVerMajor, 1);
        EXPECT_EQ(g_FileVerRevision, 3);
    }
    EXPECT_EQ(g_FileVerMajor, 7);
    EXPECT_EQ(g_FileVerMinor, 1);
    SetFileVersion({0, 0, 0});
}

TEST(RecordPieces, WrongMagicFailsAndLeavesTheObjectUnchanged) {
    BinaryFile in = BinaryFile::FromBytes("\x00\x00\x00\x00\x03\x00"s);
    Sample s;
    EXPECT_FALSE(s.MeRead(in));
    EXPECT_TRUE(s.IsMeEqualTo(Sample{}));
}

TEST(RecordPieces, TruncatedRecordFailsAtTheShortField) {
    Sample s;
    BinaryFile out = BinaryFile::InMemory();
    ASSERT_TRUE(s.MeWrite(out));
    ScopedFileVersion version({7, 1, 0});
    for (std::size_t cut = 0; cut < out.Bytes().size(); ++cut) {
        BinaryFile in = BinaryFile::FromBytes(out.Bytes().substr(0, cut));
        Sample read;
        EXPECT_FALSE(read.MeRead(in)) << "cut at " << cut;
    }
}

TEST(RecordPieces, NestedRecordsCopyDeeplyAndCompareFieldByField) {
    Outer source;
    source.Inner.Name = "元";
    Outer target;
    target.Flag = false;
    Outer* const target_address = &target;
    source.MeMove(target);
    EXPECT_EQ(&target, target_address);
    EXPECT_TRUE(target.IsMeEqualTo(source));
    source.Inner.Name = "変更";
    EXPECT_EQ(target.Inner.Name, "元");
    EXPECT_FALSE(target.IsMeEqualTo(source));
    Outer copy = source.MeCopy();
    EXPECT_TRUE(copy.IsMeEqualTo(source));
    copy.Inner.B = 2.5000000000000004;
    EXPECT_FALSE(copy.IsMeEqualTo(source));  // no tolerance

    BinaryFile out = BinaryFile::InMemory();
    ASSERT_TRUE(source.MeWrite(out));
    ScopedFileVersion version({7, 1, 0});
    BinaryFile in = BinaryFile::FromBytes(out.Bytes());
    Outer back;
    ASSERT_TRUE(back.MeRead(in));
    EXPECT_TRUE(back.IsMeEqualTo(source));
}

TEST(RecordPieces, FailedWriteIsReported) {
    BinaryFile read_only = BinaryFile::FromBytes("");
    EXPECT_FALSE(Sample{}.MeWrite(read_only));
}

}  // namespace
}  // namespace murtesk

namespace murtesk {
namespace {

TEST(RecordFiles, WriteThenReadAWholeFile) {
    const test_support::ScratchFolder scratch("record-file");
    const std::string path = scratch.file("record.tmp");
    Sample written;
    written.Name = "保存";
    ASSERT_TRUE(WriteRecordFile(path, written));
    ScopedFileVersion version({7, 1, 0});
    Sample read;
    ASSERT_TRUE(ReadRecordFile(path, read));
    EXPECT_TRUE(read.IsMeEqualTo(written));
    std::remove(path.c_str());

    Sample untouched;
    untouched.A = 77;
    EXPECT_FALSE(ReadRecordFile(path, untouched));
    EXPECT_EQ(untouched.A, 77);
}

}  // namespace
}  // namespace murtesk
