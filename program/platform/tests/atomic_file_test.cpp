#include "failing_flushes.h"
#include "named_pipe.h"
#include "platform/atomic_file.h"
#include "platform/program_folder.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace murtesk::platform {
namespace {

namespace fs = std::filesystem;

class ScratchFolder : public ::testing::Test {
protected:
    void TearDown() override { SetWriteLimitForTests(-1); }
    std::string Path(const char* name) const { return (folder_ / name).string(); }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    static void Put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static auto Writing(std::string bytes) {
        return [bytes](BinaryFile& file) { return file.Write(bytes.data(), bytes.size()); };
    }
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    test_support::ScratchFolder scratch_{"atomic"};
    fs::path folder_ = scratch_.path();
};

TEST_F(ScratchFolder, ReplacesTheOldFileWhole) {
    const std::string path = Path("project.qvd");
    Put(path, "old content");
    ASSERT_TRUE(ReplaceFile(path, Writing("new")));
    EXPECT_EQ(Contents(path), "new");
    EXPECT_EQ(FilesInFolder(), 1u);  // no temporary file left behind
    ASSERT_TRUE(ReplaceFile(Path("fresh.csv"), Writing("a,b\r\n")));
    EXPECT_EQ(Contents(Path("fresh.csv")), "a,b\r\n");
}

TEST_F(ScratchFolder, KeepsTheOldFileWhenAWriteFails) {
    const std::string path = Path("project.qvd");
    Put(path, "old content");
    SetWriteLimitForTests(10);
    EXPECT_FALSE(ReplaceFile(path, [](BinaryFile& file) {
        const std::string big(100000, 'x');
        file.Write(big.data(), big.size());
        return true;  // even a writer that ignores its own failure cannot commit a short file
    }));
    EXPECT_EQ(Contents(path), "old content");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(ScratchFolder, KeepsTheOldFileWhenTheWriterGivesUp) {
    const std::string path = Path("ranges.mrk");
    Put(path, "old");
    EXPECT_FALSE(ReplaceFile(path, [](BinaryFile& file) { return file.Write("partial", 7) && false; }));
    EXPECT_EQ(Contents(path), "old");
    EXPECT_EQ(FilesInFolder(), 1u);
}

// A writer that writes the file by its path (as a library does): replaced whole on success; on a
// failure its partial file goes and the old file stays.
TEST_F(ScratchFolder, AWriterByPathReplacesTheFileOnlyWhenItSucceeds) {
    const std::string path = Path("out.wav");
    Put(path, "old");
    EXPECT_FALSE(ReplaceFileByPath(path, [&](const std::string& temporary) {
        EXPECT_NE(temporary, path);
        Put(temporary, "part");
        return false;
    }));
    EXPECT_EQ(Contents(path), "old");
    EXPECT_EQ(FilesInFolder(), 1u);
    ASSERT_TRUE(ReplaceFileByPath(path, [](const std::string& temporary) {
        Put(temporary, "whole new");
        return true;
    }));
    EXPECT_EQ(Contents(path), "whole new");
    EXPECT_EQ(FilesInFolder(), 1u);
}

// What writers of a target that were killed left beside it goes with the next replacement of that target:
// their temporary files, and those a library wrote beside one of them. A live writer's stay, in this
// program or another (it holds the lock), and so do the temporary files of other targets.
TEST_F(ScratchFolder, AReplacementRemovesWhatKilledWritersOfItsTargetLeft) {
    const std::string path = Path("out.csv");
    const std::vector<std::string> dead{"out.csv.~0123456789ab", "out.csv.~0123456789ab.~00000000000c",
                                        "out.csv.~ffffffffffff.~00000000000d"};
    const std::vector<std::string> kept{"out.csv.~aaaaaaaaaaaa", "out.csv.~aaaaaaaaaaaa.~00000000000e",
                                        "other.csv.~0123456789ab", "out.csv.~0123456789", "out.csv.~0123456789AB"};
    for (const std::string& name : dead) Put(Path(name.c_str()), "part");
    for (const std::string& name : kept) Put(Path(name.c_str()), "part");
    const int live = ::open(Path("out.csv.~aaaaaaaaaaaa").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);
    ASSERT_TRUE(ReplaceFile(path, Writing("new")));
    ::close(live);
    for (const std::string& name : dead) EXPECT_FALSE(fs::exists(folder_ / name)) << name;
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(folder_ / name)) << name;
    EXPECT_EQ(Contents(path), "new");
}

TEST_F(ScratchFolder, FailsWhenTheFolderIsMissingOrTheTargetIsAFolder) {
    EXPECT_FALSE(ReplaceFile(Path("missing/file.csv"), Writing("x")));
    fs::create_directories(folder_ / "taken" / "inside");
    EXPECT_FALSE(ReplaceFile(Path("taken"), Writing("x")));
    EXPECT_TRUE(fs::is_directory(folder_ / "taken" / "inside"));
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(ScratchFolder, KeepsTheOldFileWhenTheFileSizeLimitIsReached) {
    // A real write failure from the operating system: a child process with a file-size limit. Without
    // the flush to the disk the failure must still be seen at the flush to the operating system.
    const std::string path = Path("project.qvd");
    Put(path, "old content");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool synced = ReplaceFile(path, Writing(std::string(1 << 20, 'x')), Durability::kSynced);
        const bool renamed = ReplaceFile(path, Writing(std::string(1 << 20, 'x')), Durability::kRenamed);
        _exit(synced || renamed ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the replacement reported success";
    EXPECT_EQ(Contents(path), "old content");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(ScratchFolder, KeepsTheModeOfTheReplacedFile) {
    const std::string path = Path("kept.csv");
    Put(path, "x");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(ReplaceFile(path, Writing("y")));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// What a flush of a save's own files must report: every file and the folder reached the disk, or not.
struct SyncCase {
    const char* name;
    const char* failing;  // the file (or "." for the folder) whose flush fails; none when empty
    const char* odd;      // a name of the list that is no file: "missing", "pipe" or "link"
    bool synced;
};

void PrintTo(const SyncCase& c, std::ostream* os) { *os << c.name; }

class SyncToDiskOutcome : public ::testing::TestWithParam<SyncCase> {
protected:
    test_support::ScratchFolder scratch_{"sync"};
};

TEST_P(SyncToDiskOutcome, SaysWhetherEveryFileAndTheFolderReachedTheDisk) {
    const SyncCase& c = GetParam();
    const fs::path folder = scratch_.path();
    std::vector<std::string> names{"a.ldt", "b.ldt"};
    for (const std::string& name : names) std::ofstream(folder / name) << name;
    const std::string odd = c.odd;
    testing::NamedPipe pipe((folder / "pipe").string());
    ASSERT_TRUE(pipe.made());
    fs::create_symlink(folder / "a.ldt", folder / "link");
    if (!odd.empty()) names.insert(names.begin() + 1, odd);
    const std::string failing = std::string(c.failing) == "." ? folder.string() : (folder / c.failing).string();
    testing::FailingFlushes flushes([&](const std::string& path) {
        return *c.failing != '\0' && path == fs::weakly_canonical(failing).string();
    });
    bool synced = !c.synced;
    EXPECT_TRUE(testing::ReturnsWithoutAWriter({&pipe}, [&] { synced = SyncToDisk(folder.string(), names); }));
    EXPECT_EQ(synced, c.synced);
    EXPECT_EQ(flushes.failed(), *c.failing != '\0' ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, SyncToDiskOutcome,
                         ::testing::Values(SyncCase{"AllFlushed", "", "", true},
                                           SyncCase{"AFileFails", "b.ldt", "", false},
                                           SyncCase{"TheFolderFails", ".", "", false},
                                           SyncCase{"AFileIsMissing", "", "missing", false},
                                           SyncCase{"AFileIsANamedPipe", "", "pipe", false},
                                           SyncCase{"AFileIsALink", "", "link", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A recalculation of every measurement flushes thousands of histograms in one save, more than the
// descriptors a desktop session allows a process (1024 by default).
TEST_F(ScratchFolder, FlushesMoreFilesThanTheProcessMayHaveOpen) {
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i) {
        names.push_back(std::to_string(i) + ".ldt");
        Put(Path(names.back().c_str()), names.back());
    }
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = 200;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    const bool synced = SyncToDisk(folder_.string(), names);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_TRUE(synced);
}

// A replacement whose folder cannot be flushed after the rename may not survive a power loss: it fails,
// while its file has the target's name.
TEST_F(ScratchFolder, AReplacementWhoseFolderCannotBeFlushedFails) {
    const std::string path = Path("project.qvd");
    Put(path, "old");
    {
        testing::FailingFlushes flushes([&](const std::string& flushed) { return flushed == fs::canonical(folder_); });
        EXPECT_FALSE(ReplaceFile(path, Writing("new")));
        EXPECT_EQ(flushes.failed(), 1);
        EXPECT_TRUE(ReplaceFile(path, Writing("newer"), Durability::kRenamed));
    }
    EXPECT_EQ(Contents(path), "newer");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST(ProgramFolder, ComesFromTheEnvironmentElseTheExecutable) {
    const std::string executable = ExecutableFolder();
    EXPECT_TRUE(fs::exists(fs::path(executable) / "platform_text_tests"));
    setenv("MURTESK_HOME", "/tmp/murtesk home/", 1);
    EXPECT_EQ(ProgramFolder(), "/tmp/murtesk home");
    EXPECT_EQ(ProgramFilePath("Temp.tmp"), "/tmp/murtesk home/Temp.tmp");
    setenv("MURTESK_HOME", "", 1);
    EXPECT_EQ(ProgramFolder(), executable);
    unsetenv("MURTESK_HOME");
    EXPECT_EQ(ProgramFolder(), executable);
    EXPECT_EQ(ExecutableFolder(), executable);  // never from the environment
}

struct FolderCase {
    const char* name;
    ProgramFolderInputs inputs;
    const char* folder;
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

class ProgramFolderRule : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolderRule, ChoosesWhereTheUsersFilesLive) {
    EXPECT_EQ(ChooseProgramFolder(GetParam().inputs), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramFolderRule,
    ::testing::Values(FolderCase{"HomeVariableWinsOverAll",
                                 {"/data/m/", "/x", "/home/u", "/opt/p/bin", true, false, "/home/u/Docs"},
                                 "/data/m"},
                      FolderCase{"BuildTreeWritable",
                                 {"", "/x", "/home/u", "/src/build/bin", false, true, "/home/u/Docs"},
                                 "/src/build/bin"},
                      FolderCase{"CopyNotWritable",
                                 {"", "", "/home/u", "/media/cd", false, false, "/home/u/Docs"},
                                 "/home/u/.local/share/murtesk"},
                      FolderCase{"InstalledEvenWhenWritable",
                                 {"", "", "/home/u/", "/usr/bin", true, true, "/home/u/Docs"},
                                 "/home/u/.local/share/murtesk"},
                      FolderCase{"InstalledWithDataHome",
                                 {"", "/home/u/data/", "/home/u", "/usr/bin", true, false, "/home/u/Docs"},
                                 "/home/u/data/murtesk"},
                      FolderCase{"RelativeDataHomeIgnored",
                                 {"", "data", "/home/u", "/usr/bin", true, false, "/home/u/Docs"},
                                 "/home/u/.local/share/murtesk"},
                      FolderCase{"NoHomeAtAll", {"", "", "", "/usr/bin", true, false, ""}, "/usr/bin"}),
    [](const auto& info) { return std::string(info.param.name); });

// The first project proposed: visible, in a folder of its own, only for an installed program.
class DefaultProjectRule : public ::testing::TestWithParam<FolderCase> {};

TEST_P(DefaultProjectRule, ProposesTheFirstProjectWhereTheUserFindsIt) {
    EXPECT_EQ(ChooseDefaultProject(GetParam().inputs), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultProjectRule,
    ::testing::Values(
        FolderCase{"Installed",
                   {"", "", "/home/u", "/usr/bin", true, false, "/home/u/文書"},
                   "/home/u/文書/Murtesk/DefaultQVD.qvd"},
        FolderCase{"InstalledWithHomeVariable",
                   {"/data/m/", "", "/home/u", "/usr/bin", true, false, "/home/u/Docs"},
                   "/data/m/DefaultQVD.qvd"},
        FolderCase{"BuildTree",
                   {"", "", "/home/u", "/src/build/bin", false, true, "/home/u/Docs"},
                   "/src/build/bin/DefaultQVD.qvd"},
        FolderCase{"CopyNotWritable",
                   {"", "", "/home/u", "/media/cd", false, false, "/home/u/Docs"},
                   "/home/u/.local/share/murtesk/DefaultQVD.qvd"},
        FolderCase{"InstalledWithoutHome", {"", "", "", "/usr/bin", true, false, ""}, "/usr/bin/DefaultQVD.qvd"}),
    [](const auto& info) { return std::string(info.param.name); });

struct UserDirsCase {
    const char* name;
    const char* text;
    const char* documents;
};

void PrintTo(const UserDirsCase& c, std::ostream* os) { *os << c.name; }

class DocumentsFolderLine : public ::testing::TestWithParam<UserDirsCase> {};

TEST_P(DocumentsFolderLine, ReadsWhatTheUserDirsFileNames) {
    EXPECT_EQ(DocumentsFolderIn(GetParam().text, "/home/u"), GetParam().documents);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DocumentsFolderLine,
    ::testing::Values(
        UserDirsCase{"UnderHome",
                     "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                     "XDG_DOCUMENTS_DIR=\"$HOME/ドキュメント\"\n",
                     "/home/u/ドキュメント"},
        UserDirsCase{"Absolute", "XDG_DOCUMENTS_DIR=\"/data/docs/\"\n", "/data/docs"},
        UserDirsCase{"SpacesAndEscapes", "  XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\r\n", "/home/u/My \"Docs\""},
        UserDirsCase{"TheHomeItself", "XDG_DOCUMENTS_DIR=\"$HOME/\"", "/home/u"},
        UserDirsCase{"LastLineCounts", "XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"\n", "/home/u/b"},
        UserDirsCase{"Relative", "XDG_DOCUMENTS_DIR=\"docs\"\n", "/home/u"},
        UserDirsCase{"OtherVariable", "XDG_DOCUMENTS_DIRS=\"/x\"\nMY_XDG_DOCUMENTS_DIR=\"/y\"\n", "/home/u"},
        UserDirsCase{"CommentedOut", "# XDG_DOCUMENTS_DIR=\"/x\"\n", "/home/u"},
        UserDirsCase{"CommentAfterTheValue", "XDG_DOCUMENTS_DIR=$HOME/a#b # not this\n", "/home/u/a#b"},
        UserDirsCase{"NoFile", "", "/home/u"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace murtesk::platform
