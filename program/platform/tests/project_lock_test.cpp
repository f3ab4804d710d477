#include "platform/project_lock.h"
#include "platform/dates.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>
#include <vector>

namespace murtesk::platform {
namespace {

namespace fs = std::filesystem;

std::string ThisHost() {
    char name[HOST_NAME_MAX + 1] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

// Two locks on one project in one process behave as two programs: the second is refused and told
// who holds it; a holder that ended without letting go (a forked child's _exit) leaves its file but
// no lock; the lock file goes when the holder lets go.
TEST(ProjectLock, HeldOnceNamesItsHolderAndDiesWithIt) {
    test_support::ScratchFolder folder("lock");
    const std::string project = folder.file("p.qvd");
    const std::string lockFile = project + ".lock";
    ScopedClock clock(DateFromParts(2024, 5, 1, 10, 2, 3));

    ProjectLock first(project);
    ASSERT_EQ(first.state(), ProjectLock::State::kHeld);
    ProjectLock second(project);
    EXPECT_EQ(second.state(), ProjectLock::State::kTaken);
    EXPECT_EQ(second.holder().pid, getpid());
    EXPECT_EQ(second.holder().host, ThisHost());
    EXPECT_EQ(second.holder().since, "2024/05/01 10:02:03");
    first.Release();
    EXPECT_FALSE(fs::exists(lockFile));

    const pid_t child = fork();
    if (child == 0) {
        ProjectLock held(project);
        _exit(held.Held() ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream left(lockFile);
    std::string line;
    ASSERT_TRUE(std::getline(left, line));
    EXPECT_EQ(line, "pid " + std::to_string(child));  // the dead holder's file is still there

    ProjectLock after(project);
    EXPECT_TRUE(after.Held());
    EXPECT_EQ(ProjectLock(project).holder().pid, getpid());
}

// Every name that leads to one project file meets one lock: a symbolic link to the file, a link to
// its folder, a hard link in its folder. A hard link's program is told the holder of the other name,
// and never itself.
// After a save puts a new file in the project's place, the hard link beside it names the new file and
// meets the lock, as does a hard link made to the new file; a hard link in another folder keeps the
// old file, a file of its own, no longer held.
TEST(ProjectLock, OneLockWhateverNameLeadsToTheProject) {
    test_support::ScratchFolder folder("lock");
    fs::create_directory(folder / "data");
    const std::string project = folder.file("data/p.qvd");
    std::ofstream(project) << "project";
    fs::create_symlink("p.qvd", folder / "data/link.qvd");
    fs::create_directory_symlink("data", folder / "alias");
    fs::create_hard_link(project, folder / "data/hard.qvd");
    fs::create_hard_link(project, folder / "elsewhere.qvd");
    const std::vector<std::string> names = {project, folder.file("data/link.qvd"), folder.file("alias/p.qvd"),
                                            folder.file("alias/link.qvd"), folder.file("data/hard.qvd")};

    ProjectLock first(project);
    ASSERT_TRUE(first.Held());
    for (const std::string& name : names) {
        const ProjectLock second(name);
        EXPECT_EQ(second.state(), ProjectLock::State::kTaken) << name;
        EXPECT_EQ(second.holder().pid, getpid()) << name;
        EXPECT_TRUE(first.Covers(name)) << name;
    }
    EXPECT_FALSE(fs::exists(folder / "data/hard.qvd.lock"));  // the refused one left no lock file
    EXPECT_FALSE(first.Covers(folder.file("data/other.qvd")));
    // A holder whose lock file names nobody (a full disk): the hard link's program, which wrote its own
    // name into its lock file before it met the held project file, is told nobody, never itself.
    fs::resize_file(project + ".lock", 0);
    const ProjectLock unnamed(folder.file("data/hard.qvd"));
    EXPECT_EQ(unnamed.state(), ProjectLock::State::kTaken);
    EXPECT_EQ(unnamed.holder().pid, 0);

    std::ofstream(folder.file("data/p.qvd.new")) << "saved";
    fs::rename(folder / "data/p.qvd.new", project);
    first.FollowSavedFile(project);
    fs::create_hard_link(project, folder / "data/later.qvd");
    EXPECT_EQ(ProjectLock(folder.file("data/later.qvd")).state(), ProjectLock::State::kTaken);
    EXPECT_EQ(ProjectLock(folder.file("data/hard.qvd")).state(), ProjectLock::State::kTaken);
    EXPECT_TRUE(fs::equivalent(folder / "data/hard.qvd", project));
    EXPECT_EQ(fs::hard_link_count(project), 3u);  // p.qvd, hard.qvd, later.qvd: no temporary name left
    EXPECT_TRUE(ProjectLock(folder.file("elsewhere.qvd")).Held());
    std::ifstream elsewhere(folder.file("elsewhere.qvd"));
    std::string text;
    EXPECT_TRUE(std::getline(elsewhere, text) && text == "project");

    first.Release();
    for (const std::string& name : names) {
        EXPECT_TRUE(ProjectLock(name).Held()) << name;
    }
}

// A lock file that is not a regular file keeps nobody out: the lock says so and why, and neither
// writes through it nor removes it.
TEST(ProjectLock, ALockFileThatIsNoFileIsNeverUsed) {
    test_support::ScratchFolder folder("lock");
    const std::string project = folder.file("p.qvd");
    const std::string lockFile = project + ".lock";
    std::ofstream(project) << "project";
    std::ofstream(folder.file("decoy")) << "decoy";
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"symbolic link", [&] { fs::create_symlink("decoy", lockFile); }},
        {"link to nothing", [&] { fs::create_symlink("nothing", lockFile); }},
        {"folder", [&] { fs::create_directory(lockFile); }},
        {"named pipe", [&] { ASSERT_EQ(mkfifo(lockFile.c_str(), 0600), 0); }},
    };
    for (const auto& [kind, make] : cases) {
        make();
        const fs::file_type type = fs::symlink_status(lockFile).type();
        {
            ProjectLock lock(project);
            EXPECT_EQ(lock.state(), ProjectLock::State::kUnusable) << kind;
            EXPECT_EQ(lock.problem(), ProjectLock::Problem::kLockNotAFile) << kind;
            EXPECT_EQ(lock.lockPath(), lockFile) << kind;
        }
        EXPECT_EQ(fs::symlink_status(lockFile).type(), type) << kind;
        EXPECT_FALSE(fs::exists(folder / "nothing")) << kind;
        fs::remove(lockFile);
    }
    std::ifstream decoy(folder.file("decoy"));
    std::string text;
    EXPECT_TRUE(std::getline(decoy, text) && text == "decoy");
}

}  // namespace
}  // namespace murtesk::platform
