// The folder a run keeps outside every project: made with a name of its own, removed with all it
// holds when it goes, and removed by a later run when the run that made it was killed, never while
// its run lives and never when it is anything but such a folder.
#include "platform/own_folder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "scratch_folder.h"

namespace murtesk::platform {
namespace {

namespace fs = std::filesystem;

TEST(OwnFolder, GoesWithItsRunAndWhatKilledRunsLeftGoesWithTheNext) {
    test_support::ScratchFolder scratch("own");
    const fs::path parent = scratch.path();
    // What a killed run leaves: a folder it made, with a file in it (made by a child that ends
    // without letting go of anything).
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const std::unique_ptr<OwnFolder> made = OwnFolder::Make(parent.string());
        if (!made) ::_exit(2);
        std::ofstream(fs::path(made->path()) / "a.ldt") << "counts";
        ::_exit(0);  // no destructor runs, as after kill -9
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(parent)) left.push_back(entry.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left[0].filename().string().starts_with("murtesk-copy-"));
    // What is no folder of a run stays: a link of that name to a folder, and a folder of another name.
    fs::create_directory(parent / "target");
    std::ofstream(parent / "target" / "keep") << "keep";
    fs::create_directory_symlink(parent / "target", parent / "murtesk-copy-link");
    fs::create_directory(parent / "murtesk-other");

    std::unique_ptr<OwnFolder> first = OwnFolder::Make(parent.string());
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(fs::exists(left[0]));
    EXPECT_TRUE(fs::exists(parent / "target" / "keep"));
    EXPECT_TRUE(fs::is_symlink(parent / "murtesk-copy-link"));
    EXPECT_TRUE(fs::is_directory(parent / "murtesk-other"));
    EXPECT_EQ(fs::path(first->path()).parent_path(), parent);
    EXPECT_EQ(fs::status(first->path()).permissions() & fs::perms::all, fs::perms::owner_all);

    // A running program's folder stays when another run makes its own; each goes with its object.
    std::ofstream(fs::path(first->path()) / "b.ldt") << "counts";
    std::unique_ptr<OwnFolder> second = OwnFolder::Make(parent.string());
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->path(), first->path());
    EXPECT_TRUE(fs::exists(fs::path(first->path()) / "b.ldt"));
    const std::string firstPath = first->path();
    first.reset();
    EXPECT_FALSE(fs::exists(firstPath));
    EXPECT_TRUE(fs::exists(second->path()));
    second.reset();

    // No folder where none can be made.
    EXPECT_EQ(OwnFolder::Make((parent / "missing").string()), nullptr);
}

}  // namespace
}  // namespace murtesk::platform
