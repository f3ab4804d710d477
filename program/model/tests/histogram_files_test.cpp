// The leftover record of the histogram files: what the next holder of a project deletes, and what stays.
#include "failing_deletions.h"
#include "model/histogram_files.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace murtesk {
namespace {

namespace fs = std::filesystem;

class LeftoverHistograms : public ::testing::Test {
protected:
    LeftoverHistograms() { fs::create_directories(lcalc); }

    void Put(const fs::path& path, const std::string& bytes = "counts") { std::ofstream(path, std::ios::binary) << bytes; }
    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(lcalc)) names.insert(entry.path().filename().string());
        return names;
    }
    auto Counts() {
        return [](platform::BinaryFile& file) { return file.Write("new counts", 10); };
    }

    test_support::ScratchFolder scratch{"leftovers"};
    fs::path lcalc = scratch / "LCalc";
    std::string record = scratch.file("p.qvd.pending");
    int fresh = 0;
    HistogramFiles files{[this] { return "26-1-1-0_0_0_" + std::to_string(++fresh) + ".ldt"; }};
};

// Listed and named by no project file: deleted with what killed writes of it left; noted only: deleted
// when it is an empty file no live writer holds; what a killed rewrite of the record left goes too. Everything else stays, a temporary file a live writer
// holds too, and so does whatever a line that is no histogram's name says.
TEST_F(LeftoverHistograms, TheNextHolderDeletesOnlyWhatItsRecordListsAndItsProjectDoesNotName) {
    for (const char* name : {"listed.ldt", "listed.ldt.~0123456789ab", "named.ldt", "named.ldt.~0123456789ab",
                             "unlisted.ldt", "unlisted.ldt.~0123456789ab", "unlisted-again.ldt", "busy.ldt",
                             "busy.ldt.~aaaaaaaaaaaa", "other.txt", "unended.ldt", "noted-full.ldt",
                             "noted-then-listed.ldt"})
        Put(lcalc / name);
    for (const char* name : {"noted-empty.ldt", "noted-held.ldt", "noted-withdrawn.ldt"}) Put(lcalc / name, "");
    Put(scratch / "p.qvd", "the project");
    Put(scratch / "outside.ldt", "not in the folder");
    Put(scratch / "empty-outside.ldt", "");
    Put(record + ".~0123456789ab", "+listed.ldt\n");  // a rewrite of the record that was killed
    fs::create_symlink(scratch / "outside.ldt", lcalc / "link.ldt");
    fs::create_symlink(scratch / "empty-outside.ldt", lcalc / "noted-link.ldt");
    const int live = ::open((lcalc / "busy.ldt.~aaaaaaaaaaaa").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);
    const int writer = ::open((lcalc / "noted-held.ldt").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX | LOCK_NB), 0);
    Put(record,
        "+listed.ldt\n+named.ldt\n+unlisted-again.ldt\n-unlisted-again.ldt\n+busy.ldt\n+link.ldt\n+../p.qvd\n"
        "+../outside.ldt\n+other.txt\n-\n\n?noted-empty.ldt\n?noted-full.ldt\n?noted-held.ldt\n?noted-link.ldt\n"
        "?noted-withdrawn.ldt\n-noted-withdrawn.ldt\n?noted-then-listed.ldt\n+noted-then-listed.ldt\n+unended.ldt");

    files.BeginProject(lcalc.string(), {"named.ldt"});
    files.Hold(record);
    ::close(live);
    ::close(writer);

    EXPECT_EQ(Files(), (std::set<std::string>{"named.ldt", "unlisted.ldt", "unlisted.ldt.~0123456789ab",
                                              "unlisted-again.ldt", "busy.ldt.~aaaaaaaaaaaa", "link.ldt",
                                              "other.txt", "unended.ldt", "noted-full.ldt", "noted-held.ldt",
                                              "noted-link.ldt", "noted-withdrawn.ldt"}));
    EXPECT_TRUE(fs::exists(scratch / "empty-outside.ldt"));
    EXPECT_FALSE(fs::exists(record + ".~0123456789ab"));
    EXPECT_TRUE(fs::exists(scratch / "p.qvd"));
    EXPECT_TRUE(fs::exists(scratch / "outside.ldt"));
    EXPECT_FALSE(fs::exists(record));  // nothing is left to list
    files.EndProject();
}

// A record that is a link, a folder or a named pipe is no record: nothing is deleted through it, and
// nothing is listed in what it leads to.
TEST_F(LeftoverHistograms, ARecordThatIsNoRegularFileIsNeitherReadNorWritten) {
    Put(lcalc / "listed.ldt");
    const fs::path decoy = scratch / "decoy";
    Put(decoy, "+listed.ldt\n");
    fs::create_symlink(decoy, record);
    files.BeginProject(lcalc.string(), {});
    files.Hold(record);
    std::string name = "26-1-1-0_0_0_0.ldt";
    ASSERT_TRUE(files.Write(lcalc.string(), name, Counts()));
    files.EndProject();
    EXPECT_TRUE(fs::exists(lcalc / "listed.ldt"));
    EXPECT_TRUE(fs::is_symlink(record));
    std::ifstream in(decoy);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "+listed.ldt\n");
}

// A project closed without a save deletes what it wrote, keeps what its project file names, and leaves
// no record.
TEST_F(LeftoverHistograms, AProjectClosedWithoutASaveLeavesOnlyWhatItsFileNames) {
    Put(lcalc / "saved.ldt");
    files.BeginProject(lcalc.string(), {"saved.ldt"});
    files.Hold(record);
    std::string name = "saved.ldt";
    ASSERT_TRUE(files.Write(lcalc.string(), name, Counts()));
    ASSERT_TRUE(fs::exists(record));
    files.EndProject();
    EXPECT_EQ(Files(), std::set<std::string>{"saved.ldt"});
    EXPECT_FALSE(fs::exists(record));
}

// A histogram a save let go that could not be deleted then is deleted at a later save, or else by the
// next program that holds the project; one a program wrote and was killed before it saved, by that one.
TEST_F(LeftoverHistograms, WhatCouldNotBeDeletedAfterASaveIsDeletedLater) {
    Put(lcalc / "a.ldt");
    Put(lcalc / "b.ldt");
    files.BeginProject(lcalc.string(), {"a.ldt", "b.ldt"});
    files.Hold(record);
    std::string a = "a.ldt";
    std::string b = "b.ldt";
    ASSERT_TRUE(files.Write(lcalc.string(), a, Counts()));
    ASSERT_TRUE(files.Write(lcalc.string(), b, Counts()));
    std::set<std::string> failing{"a.ldt", "b.ldt"};
    {
        platform::testing::FailingDeletions deletions(
            [&](const std::string& path) { return failing.contains(fs::path(path).filename().string()); });
        ASSERT_TRUE(files.BeforeSave());
        files.Saved({a, b});
        EXPECT_EQ(Files(), (std::set<std::string>{"a.ldt", "b.ldt", a, b}));
        failing.erase("b.ldt");
        std::string unsaved = "26-1-1-0_0_0_0.ldt";
        ASSERT_TRUE(files.Write(lcalc.string(), unsaved, Counts()));
        ASSERT_TRUE(files.BeforeSave());
        files.Saved({a, b});
        EXPECT_EQ(Files(), (std::set<std::string>{"a.ldt", a, b, unsaved}));
        EXPECT_GT(deletions.failed(), 0);
    }
    // Killed here: the next program that takes the project deletes the rest.
    HistogramFiles next{[] { return std::string("27-1-1-0_0_0_1.ldt"); }};
    next.BeginProject(lcalc.string(), {a, b});
    next.Hold(record);
    EXPECT_EQ(Files(), (std::set<std::string>{a, b}));
    EXPECT_FALSE(fs::exists(record));
    next.EndProject();
}

}  // namespace
}  // namespace murtesk
