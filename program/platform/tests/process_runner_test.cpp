// The real process runner on small shell programs: exit codes, programs that are missing or run
// longer than a bounded wait, the wait to the end with the caller's work between looks, stdin on
// /dev/null, arguments that reach the program exactly as given, and a program started alongside:
// its output as it comes, how it ended (a signal the caller ignores included), its end on request.
#include "platform/process_runner.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <signal.h>
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

// Waits until the program ends, collecting its output.
ProcessOutcome WaitToEnd(RunningProcess& process, std::string& output) {
    for (;;) {
        if (const auto outcome = process.Wait(10000, output)) return *outcome;
    }
}

TEST(SystemProcessRunner, AStartedProgramHandsOverItsOutputAsItComesAndHowItEnded) {
    SystemProcessRunner runner;
    EXPECT_EQ(runner.Start({"murtesk-no-such-program"}), nullptr);

    const auto talking = runner.Start({"sh", "-c", "echo first; sleep 0.3; echo second; exit 3"});
    ASSERT_NE(talking, nullptr);
    std::string output;
    // The first line comes back while the program still runs: the wait ends with the output.
    EXPECT_EQ(talking->Wait(10000, output), std::nullopt);
    EXPECT_EQ(output, "first\n");
    const ProcessOutcome exited = WaitToEnd(*talking, output);
    EXPECT_EQ(exited.kind, Kind::Exited);
    EXPECT_EQ(exited.exitCode, 3);
    EXPECT_EQ(output, "first\nsecond\n");

    // A signal this program ignores (as a write past a file-size limit) still ends the started one.
    struct sigaction ignore {}, saved{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &saved);
    const auto cut = runner.Start({"sh", "-c", "kill -XFSZ $$; echo survived"});
    ::sigaction(SIGXFSZ, &saved, nullptr);
    ASSERT_NE(cut, nullptr);
    output.clear();
    const ProcessOutcome signalled = WaitToEnd(*cut, output);
    EXPECT_EQ(signalled.kind, Kind::Signalled);
    EXPECT_EQ(signalled.exitCode, SIGXFSZ);
    EXPECT_EQ(output, "");
}

struct Ending {
    const char* name;
    const char* script;  // runs until it is ended; says "ready" first
    int signal;          // what ends it
};

class EndOnRequest : public ::testing::TestWithParam<Ending> {};

TEST_P(EndOnRequest, ARunningProgramIsEndedAndReaped) {
    SystemProcessRunner runner;
    const auto process = runner.Start({"sh", "-c", GetParam().script});
    ASSERT_NE(process, nullptr);
    std::string output;
    while (output.empty() && !process->Wait(10000, output)) {
    }
    ASSERT_EQ(output, "ready\n");
    const ProcessOutcome ended = process->End(200);
    EXPECT_EQ(ended.kind, Kind::Signalled);
    EXPECT_EQ(ended.exitCode, GetParam().signal);
    EXPECT_EQ(process->Wait(0, output)->exitCode, GetParam().signal);
}

INSTANTIATE_TEST_SUITE_P(Programs, EndOnRequest,
                         ::testing::Values(Ending{"Obliging", "echo ready; exec sleep 60", SIGTERM},
                                           Ending{"DeafToTerm", "trap '' TERM; echo ready; while :; do sleep 0.05; done",
                                                  SIGKILL}),
                         [](const ::testing::TestParamInfo<Ending>& info) { return info.param.name; });

TEST(SystemProcessRunner, ArgumentsArriveIntactAndStdinIsTheNullDevice) {
    const test_support::ScratchFolder scratch("runner");
    const std::filesystem::path out = scratch / "out.txt";
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
}

}  // namespace
}  // namespace murtesk::platform
