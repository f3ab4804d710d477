#include "platform/binary_file.h"
#include "platform/file_moves.h"
#include "platform/testing/named_pipe.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace murtesk::platform {
namespace {

TEST(BinaryFileMemory, ShortReadFailsAndLeavesNothingToRead) {
    BinaryFile file = BinaryFile::FromBytes("abcde");
    char buffer[4] = {'x', 'x', 'x', 'x'};
    ASSERT_TRUE(file.Read(buffer, 3));
    EXPECT_EQ(std::string(buffer, 3), "abc");
    EXPECT_EQ(file.Remaining(), 2u);
    EXPECT_FALSE(file.Read(buffer, 4));
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(buffer[0], 'a');  // nothing copied from a short read
    EXPECT_TRUE(file.Read(buffer, 0));
}

TEST(BinaryFileMemory, WritesAndOverwritesAfterSeek) {
    BinaryFile file = BinaryFile::InMemory();
    ASSERT_TRUE(file.Write("hello", 5));
    ASSERT_TRUE(file.Seek(1));
    ASSERT_TRUE(file.Write("EL", 2));
    EXPECT_EQ(file.Bytes(), "hELlo");
    EXPECT_EQ(file.Size(), 5u);
    EXPECT_FALSE(file.Seek(6));
}

TEST(BinaryFileMemory, ReadOnlyFileRefusesWrites) {
    BinaryFile file = BinaryFile::FromBytes("abc");
    EXPECT_FALSE(file.Write("x", 1));
    EXPECT_TRUE(file.failed());
    EXPECT_FALSE(file.Close());
}

TEST(BinaryFileDisk, RoundTripThroughAFile) {
    const test_support::ScratchFolder scratch("binary-file");
    const auto path = scratch / "file.bin";
    {
        BinaryFile file;
        ASSERT_TRUE(file.OpenWrite(path.string()));
        ASSERT_TRUE(file.Write("\x01\x02\x03", 3));
        EXPECT_TRUE(file.Close());
    }
    BinaryFile file;
    ASSERT_TRUE(file.OpenRead(path.string()));
    EXPECT_EQ(file.Size(), 3u);
    unsigned char bytes[3];
    ASSERT_TRUE(file.Read(bytes, 2));
    EXPECT_EQ(bytes[1], 2);
    EXPECT_FALSE(file.Read(bytes, 2));
    EXPECT_TRUE(file.AtEnd());
    file.Close();
    std::filesystem::remove(path);
    EXPECT_FALSE(file.OpenRead(path.string()));
    EXPECT_FALSE(file.OpenRead(scratch.path().string()));  // a folder
}

// A named pipe where a file is expected (its open would wait for a writer for ever) is refused at once by
// every way the program opens a file to read it.
TEST(BinaryFileDisk, NamedPipesAreRefusedWithoutWaiting) {
    const test_support::ScratchFolder scratch("pipe");
    const std::string folder = scratch.path().string();
    {
        const testing::NamedPipe pipe(folder + "/Temp.tmp");
        ASSERT_TRUE(pipe.made());
        bool opened = true;
        bool copied = true;
        EXPECT_TRUE(testing::ReturnsWithoutAWriter({&pipe}, [&] {
            BinaryFile file;
            opened = file.OpenRead(pipe.path());
            copied = CopyFileReplacing(pipe.path(), folder + "/copy.avi");
        }));
        EXPECT_FALSE(opened);
        EXPECT_FALSE(copied);
        EXPECT_EQ(OpenRegularFile(pipe.path()), -1);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

}  // namespace
}  // namespace murtesk::platform
