#include "process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace murtesk::platform {

namespace {

using Clock = std::chrono::steady_clock;

// Without a process descriptor to wait on, the program is looked at this often.
constexpr int kLookWithoutPidfdMs = 20;
// RunToEnd's caller works at least this often.
constexpr int kRunToEndLookMs = 20;

int MsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
}

// A started program: its id, a descriptor that becomes readable when it ends (when the kernel has
// them), and the read end of its standard output when asked for.
class Child final : public RunningProcess {
public:
    // Starts argv with stdin on /dev/null (and stdout on a pipe when `pipeOutput`); check Started().
    Child(const std::vector<std::string>& argv, bool pipeOutput) {
        if (argv.empty()) return;
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        int fds[2] = {-1, -1};
        if (pipeOutput && ::pipe2(fds, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        if (pipeOutput) posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        // The program starts with every signal at its default and none blocked, whatever this one ignores.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t all;
        sigset_t none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        pid_t pid = 0;
        const int started = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        if (pipeOutput) ::close(fds[1]);
        if (started != 0) {
            if (pipeOutput) ::close(fds[0]);
            return;
        }
        pid_ = pid;
        out_ = fds[0];
#ifdef SYS_pidfd_open
        pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#endif
    }
    ~Child() override {
        if (Started() && !outcome_) {
            ::kill(pid_, SIGKILL);
            Reap(0);
        }
        if (out_ >= 0) ::close(out_);
        if (pidfd_ >= 0) ::close(pidfd_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // Leaves the program to run on its own: no longer reaped or ended here.
    void Release() { outcome_ = ProcessOutcome{ProcessOutcome::Kind::StillRunning, 0}; }

    std::optional<ProcessOutcome> Wait(int timeoutMs, std::string& output) override {
        if (outcome_) return outcome_;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        for (;;) {
            if (Reap(WNOHANG)) {
                Drain(output);
                return outcome_;
            }
            const int left = MsUntil(deadline);
            if (left == 0) return std::nullopt;
            pollfd fds[2];
            nfds_t n = 0;
            if (out_ >= 0) fds[n++] = {out_, POLLIN, 0};
            if (pidfd_ >= 0) fds[n++] = {pidfd_, POLLIN, 0};
            const int wait = pidfd_ >= 0 ? left : std::min(left, kLookWithoutPidfdMs);
            if (n == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(wait));
                continue;
            }
            if (::poll(fds, n, wait) <= 0) continue;
            if (out_ >= 0 && fds[0].revents != 0 && ReadSome(output) && !Reap(WNOHANG)) return std::nullopt;
        }
    }

    ProcessOutcome End(int graceMs) override {
        if (outcome_) return *outcome_;
        ::kill(pid_, SIGTERM);
        std::string ignored;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(graceMs, 0));
        while (!Reap(WNOHANG)) {
            const int left = MsUntil(deadline);
            if (left == 0) {
                ::kill(pid_, SIGKILL);
                Reap(0);
                break;
            }
            if (pidfd_ >= 0) {
                pollfd fd{pidfd_, POLLIN, 0};
                ::poll(&fd, 1, left);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, kLookWithoutPidfdMs)));
            }
        }
        return *outcome_;
    }

private:
    // True when the program has ended (its outcome kept); `flags` 0 waits for the end.
    bool Reap(int flags) {
        if (outcome_) return true;
        int status = 0;
        pid_t done = 0;
        do {
            done = ::waitpid(pid_, &status, flags);
        } while (done < 0 && errno == EINTR);
        if (done == pid_) {
            outcome_ = WIFEXITED(status) ? ProcessOutcome{ProcessOutcome::Kind::Exited, WEXITSTATUS(status)}
                                         : ProcessOutcome{ProcessOutcome::Kind::Signalled,
                                                          WIFSIGNALED(status) ? WTERMSIG(status) : 0};
        } else if (done < 0) {
            outcome_ = ProcessOutcome{ProcessOutcome::Kind::Signalled, 0};  // reaped elsewhere: end unknown
        }
        return outcome_.has_value();
    }
    // Reads what the pipe holds now; true when something was read. The end of the output closes it.
    bool ReadSome(std::string& output) {
        char buffer[4096];
        const ssize_t got = ::read(out_, buffer, sizeof buffer);
        if (got > 0) {
            output.append(buffer, static_cast<std::size_t>(got));
            return true;
        }
        if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
            ::close(out_);
            out_ = -1;
        }
        return false;
    }
    // After the end: what is left in the pipe, without waiting for a process the program may have left behind.
    void Drain(std::string& output) {
        if (out_ < 0) return;
        ::fcntl(out_, F_SETFL, ::fcntl(out_, F_GETFL) | O_NONBLOCK);
        while (ReadSome(output)) {
        }
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int pidfd_ = -1;
    std::optional<ProcessOutcome> outcome_;
};

}  // namespace

ProcessOutcome SystemProcessRunner::Run(const std::vector<std::string>& argv) {
    Child child(argv, false);
    if (!child.Started()) return {};
    std::string none;
    if (const auto outcome = child.Wait(waitMs_, none)) return *outcome;
    // Some desktops keep xdg-open running as long as the viewer runs: it has opened the file.
    child.Release();
    std::thread([pid = child.Pid()] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return {ProcessOutcome::Kind::StillRunning, 0};
}

ProcessOutcome SystemProcessRunner::RunToEnd(const std::vector<std::string>& argv,
                                             const std::function<void()>& whileRunning) {
    Child child(argv, false);
    if (!child.Started()) return {};
    std::string none;
    for (;;) {
        if (const auto outcome = child.Wait(kRunToEndLookMs, none)) return *outcome;
        if (whileRunning) whileRunning();
    }
}

std::unique_ptr<RunningProcess> SystemProcessRunner::Start(const std::vector<std::string>& argv) {
    auto child = std::make_unique<Child>(argv, true);
    if (!child->Started()) return nullptr;
    return child;
}

}  // namespace murtesk::platform
