#include "process_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <thread>

extern char** environ;

namespace murtesk::platform {

namespace {

constexpr auto kLookInterval = std::chrono::milliseconds(5);

// Starts argv with stdin on /dev/null; nothing when it could not be started.
std::optional<pid_t> Spawn(const std::vector<std::string>& argv) {
    if (argv.empty()) return std::nullopt;
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return std::nullopt;
    return pid;
}

// The program's end when it has ended, without waiting.
std::optional<ProcessOutcome> Ended(pid_t pid) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
        if (WIFEXITED(status)) return ProcessOutcome{ProcessOutcome::Kind::Exited, WEXITSTATUS(status)};
        return ProcessOutcome{ProcessOutcome::Kind::Signalled, 0};
    }
    if (done < 0 && errno != EINTR) return ProcessOutcome{ProcessOutcome::Kind::Signalled, 0};
    return std::nullopt;
}

}  // namespace

ProcessOutcome SystemProcessRunner::Run(const std::vector<std::string>& argv) {
    const std::optional<pid_t> pid = Spawn(argv);
    if (!pid) return {};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs_);
    for (;;) {
        if (const auto outcome = Ended(*pid)) return *outcome;
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(kLookInterval);
    }
    // Some desktops keep xdg-open running as long as the viewer runs: it has opened the file.
    std::thread([pid = *pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return {ProcessOutcome::Kind::StillRunning, 0};
}

ProcessOutcome SystemProcessRunner::RunToEnd(const std::vector<std::string>& argv,
                                             const std::function<void()>& whileRunning) {
    const std::optional<pid_t> pid = Spawn(argv);
    if (!pid) return {};
    for (;;) {
        if (const auto outcome = Ended(*pid)) return *outcome;
        if (whileRunning) whileRunning();
        std::this_thread::sleep_for(kLookInterval);
    }
}

}  // namespace murtesk::platform
