// The murtesk-samples command under a file-size limit (`ulimit -f`), as a user's shell sets it: each kind of
// file fails with a message and exit status 1, an older file of the name stays whole and nothing is left beside
// it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "scratch_folder.h"

namespace {

struct Kind {
    const char* name;
    const char* file;
};

void PrintTo(const Kind& kind, std::ostream* os) { *os << kind.name; }

class OverTheFileSizeLimit : public ::testing::TestWithParam<Kind> {};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST_P(OverTheFileSizeLimit, FailsWithAMessageAndKeepsTheOlderFile) {
    murtesk::test_support::ScratchFolder dir("samples-command");
    const std::string path = dir.file(GetParam().file);
    std::ofstream(path, std::ios::binary) << "older";
    const std::string program =
        (std::filesystem::canonical("/proc/self/exe").parent_path() / "murtesk-samples").string();
    int err[2];
    ASSERT_EQ(pipe(err), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &limit);
        dup2(err[1], STDERR_FILENO);
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, STDOUT_FILENO);
        execl(program.c_str(), program.c_str(), GetParam().name, path.c_str(), "--seconds", "2", nullptr);
        _exit(127);
    }
    close(err[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = read(err[0], buffer, sizeof buffer)) > 0;) message.append(buffer, static_cast<std::size_t>(n));
    close(err[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(message.find("murtesk-samples: cannot write " + path), std::string::npos) << message;
    EXPECT_EQ(ReadAll(path), "older");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().string());
    EXPECT_EQ(names, std::vector<std::string>{path});
}

INSTANTIATE_TEST_SUITE_P(Kinds, OverTheFileSizeLimit,
                         ::testing::Values(Kind{"calibration", "cal.wav"}, Kind{"recording", "rec.wav"},
                                           Kind{"video", "road.avi"}),
                         [](const ::testing::TestParamInfo<Kind>& info) { return std::string(info.param.name); });

}  // namespace
