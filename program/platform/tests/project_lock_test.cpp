#include "platform/project_lock.h"
#include "platform/dates.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

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

}  // namespace
}  // namespace murtesk::platform
