// Starting other programs: an argument vector (never a shell command line), argv[0] looked up in
// PATH, stdin on /dev/null, stderr shared with the program. A caller either waits a bounded time (a
// program still running then is left to run on its own and reaped in the background), waits for
// the end running its own work in between, or starts the program alongside itself and reads its
// standard output while it runs, waiting on the output and the program's end, never spinning.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace murtesk::platform {

// How a started program ended, as far as the caller waited for it.
struct ProcessOutcome {
    enum class Kind { NotStarted, Exited, Signalled, StillRunning };
    Kind kind = Kind::NotStarted;
    int exitCode = 0;  // for Exited; the signal's number for Signalled (0 when unknown)
};

// A program running alongside the caller, its standard output on a pipe to the caller. Destroying
// it ends a program still running (SIGKILL) and reaps it.
class RunningProcess {
public:
    virtual ~RunningProcess() = default;
    // Waits up to timeoutMs for output or the program's end; appends what the program wrote to
    // `output`. The outcome once the program has ended, else nothing.
    virtual std::optional<ProcessOutcome> Wait(int timeoutMs, std::string& output) = 0;
    // Ends the program (SIGTERM, SIGKILL when it has not ended within graceMs) and reaps it.
    virtual ProcessOutcome End(int graceMs) = 0;
};

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Waits the runner's bounded time.
    virtual ProcessOutcome Run(const std::vector<std::string>& argv) = 0;
    // Waits for the end, calling `whileRunning` (when set) between looks at the program, at most
    // every few milliseconds.
    virtual ProcessOutcome RunToEnd(const std::vector<std::string>& argv,
                                    const std::function<void()>& whileRunning) = 0;
    // Starts the program with its standard output on a pipe; null when it could not be started.
    virtual std::unique_ptr<RunningProcess> Start(const std::vector<std::string>& argv) {
        (void)argv;
        return nullptr;
    }
};

class SystemProcessRunner final : public ProcessRunner {
public:
    explicit SystemProcessRunner(int waitMs = 3000) : waitMs_(waitMs) {}
    ProcessOutcome Run(const std::vector<std::string>& argv) override;
    ProcessOutcome RunToEnd(const std::vector<std::string>& argv, const std::function<void()>& whileRunning) override;
    std::unique_ptr<RunningProcess> Start(const std::vector<std::string>& argv) override;

private:
    int waitMs_;
};

}  // namespace murtesk::platform
