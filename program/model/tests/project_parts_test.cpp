// Which of a project's own files a path reaches, whatever name reaches it: a project folder with
// its data folders, links to the project file and to its folders, and a project opened through a
// link, against paths that are and are not the project's.
#include "model/project_parts.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace murtesk {
namespace {

namespace fs = std::filesystem;

struct PartCase {
    const char* project;  // relative to the scratch folder
    const char* target;
    ProjectPart part;
};

TEST(ProjectPartAt, ByIdentityNotBySpelling) {
    const test_support::ScratchFolder scratch("parts");
    const fs::path root = scratch.path();
    for (const char* folder :
         {"p", "p/LCalc", "p/RecWav", "p/F", "p/W", "p/16000Hz", "p/0_8Hz", "p/LCalc2", "p/LCalc/sub", "other"}) {
        fs::create_directory(root / folder);
    }
    for (const char* file : {"p/project.qvd", "p/second.qvd", "p/LCalc/a.ldt", "p/RecWav/24-3-5-9_7_3.avi"}) {
        std::ofstream(root / file) << "x";
    }
    fs::create_hard_link(root / "p/project.qvd", root / "other/hard.qvd");
    fs::create_symlink(root / "p/project.qvd", root / "other/soft.qvd");
    fs::create_directory_symlink(root / "p/LCalc", root / "other/stats");
    fs::create_symlink(root / "p/LCalc/a.ldt", root / "other/a-link.csv");
    fs::create_symlink("../p/project.qvd", root / "other/relative.qvd");

    const PartCase cases[] = {
        {"p/project.qvd", "p/project.qvd", ProjectPart::kProjectFile},
        {"p/project.qvd", "other/hard.qvd", ProjectPart::kProjectFile},
        {"p/project.qvd", "other/soft.qvd", ProjectPart::kProjectFile},
        {"p/project.qvd", "other/relative.qvd", ProjectPart::kProjectFile},
        {"p/project.qvd", "p/LCalc/../project.qvd", ProjectPart::kProjectFile},
        {"p/project.qvd", "p/project.qvd.lock", ProjectPart::kLockFile},  // not there while nobody holds it
        {"p/project.qvd", "p/project.qvd.pending", ProjectPart::kLeftoverRecord},
        {"p/project.qvd", "p/LCalc/a.ldt", ProjectPart::kStatisticsFolder},
        {"p/project.qvd", "p/LCalc/new.csv", ProjectPart::kStatisticsFolder},
        {"p/project.qvd", "other/stats/new.csv", ProjectPart::kStatisticsFolder},
        {"p/project.qvd", "other/a-link.csv", ProjectPart::kStatisticsFolder},
        {"p/project.qvd", "p/RecWav/24-3-5-9_7_3.avi", ProjectPart::kRecordingFolder},
        {"p/project.qvd", "p/F/x.lvl", ProjectPart::kLevelFolder},
        {"p/project.qvd", "p/W/x.lvl", ProjectPart::kLevelFolder},
        {"p/project.qvd", "p/16000Hz/x.csv", ProjectPart::kLevelFolder},
        {"p/project.qvd", "p/0_8Hz/x.csv", ProjectPart::kLevelFolder},  // one-third octaves only
        // Beside the project, another project of the folder, folders of other names, deeper folders.
        {"p/project.qvd", "p/out.csv", ProjectPart::kNone},
        {"p/project.qvd", "p/second.qvd", ProjectPart::kNone},
        {"p/project.qvd", "p/second.qvd.lock", ProjectPart::kNone},
        {"p/project.qvd", "p/LCalc2/x.csv", ProjectPart::kNone},
        {"p/project.qvd", "p/LCalc/sub/x.csv", ProjectPart::kNone},
        {"p/project.qvd", "other/x.csv", ProjectPart::kNone},
        {"p/project.qvd", "missing/x.csv", ProjectPart::kNone},
        // Opened through a link: the files beside the link and beside the file it leads to; the lock is
        // the one of the file the link leads to.
        {"other/soft.qvd", "p/project.qvd.lock", ProjectPart::kLockFile},
        {"other/soft.qvd", "other/soft.qvd.lock", ProjectPart::kNone},
        {"other/soft.qvd", "p/project.qvd.pending", ProjectPart::kLeftoverRecord},
        {"other/soft.qvd", "p/LCalc/new.csv", ProjectPart::kStatisticsFolder},
        {"other/soft.qvd", "p/project.qvd", ProjectPart::kProjectFile},
        {"other/soft.qvd", "other/x.csv", ProjectPart::kNone},
    };
    for (const PartCase& c : cases) {
        SCOPED_TRACE(std::string(c.project) + " <- " + c.target);
        EXPECT_EQ(ProjectPartAt((root / c.project).string(), (root / c.target).string()), c.part);
    }
    EXPECT_EQ(ProjectPartAt("", (root / "p/project.qvd").string()), ProjectPart::kNone);  // no project open
}

}  // namespace
}  // namespace murtesk
