// The real process runner on small shell programs: exit codes, programs that are missing or run
// longer than a bounded wait, the wait to the end with the caller's work between looks, stdin on
// /dev/null, and arguments that reach the program exactly as given.
#include "platform/process_runner.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace murtesk::platform {
namespace {

using Kind = ProcessOutcome::Kind;

TEST(SystemProcessRunner, ReportsExitCodesMissingProgramsAndLongRunners) {
    SystemProcessRunner runner(2000);
    const ProcessOutcome exited = runner.Run({"sh", "-c", "exit 4"});
    EXPECT_EQ(exited.kind, Kind::Exited);
    EXPECT_EQ(exited.exitCode, 4);

    EXPECT_EQ(runner.Run({"murtesk-no-such-program"}).kind, Kind::NotStarted);
    EXPECT_EQ(runner.Run({}).kind, Kind::NotStarted);
    EXPECT_EQ(runner.RunToEnd({"murtesk-no-such-program"}, nullptr).kind, Kind::NotStarted);

    SystemProcessRunner impatient(30);
    EXPECT_EQ(impatient.Run({"sleep", "0.3"}).kind, Kind::StillRunning);
}

TEST(SystemProcessRunner, RunToEndOutlastsTheBoundedWaitAndWorksInBetween) {
    SystemProcessRunner impatient(10);
    int looks = 0;
    const ProcessOutcome outcome = impatient.RunToEnd({"sh", "-c", "sleep 0.2; exit 7"}, [&] { ++looks; });
    EXPECT_EQ(outcome.kind, Kind::Exited);
    EXPECT_EQ(outcome.exitCode, 7);
    // 200 ms at one look every 5 ms or so, however loaded the machine is.
    EXPECT_GE(looks, 5);
}

TEST(SystemProcessRunner, ArgumentsArriveIntactAndStdinIsTheNullDevice) {
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("murtesk-runner-" + std::to_string(::getpid()) + ".txt");
    const std::vector<std::string> odd = {"a b", "\"quoted\" 'too'", "$HOME `id` $(id)", "-leading", "*", "行;|&>"};
    std::vector<std::string> argv = {
        "sh", "-c", "readlink /proc/$$/fd/0 > \"$0\"; for a; do printf '[%s]\\n' \"$a\"; done >> \"$0\"", out.string()};
    argv.insert(argv.end(), odd.begin(), odd.end());
    SystemProcessRunner runner;
    ASSERT_EQ(runner.RunToEnd(argv, nullptr).kind, Kind::Exited);
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    std::string expected = "/dev/null\n";
    for (const std::string& a : odd) expected += "[" + a + "]\n";
    EXPECT_EQ(text.str(), expected);
    std::filesystem::remove(out);
}

}  // namespace
}  // namespace murtesk::platform
