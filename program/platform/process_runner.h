// Starting other programs: an argument vector (never a shell command line), argv[0] looked up in
// PATH, stdin on /dev/null, stdout and stderr shared with the program. A caller either waits a
// bounded time (a program still running then is left to run on its own and reaped in the
// background) or waits for the end, running its own work between looks at the program.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace murtesk::platform {

// How a started program ended, as far as the caller waited for it.
struct ProcessOutcome {
    enum class Kind { NotStarted, Exited, Signalled, StillRunning };
    Kind kind = Kind::NotStarted;
    int exitCode = 0;  // for Exited
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
};

class SystemProcessRunner final : public ProcessRunner {
public:
    explicit SystemProcessRunner(int waitMs = 3000) : waitMs_(waitMs) {}
    ProcessOutcome Run(const std::vector<std::string>& argv) override;
    ProcessOutcome RunToEnd(const std::vector<std::string>& argv, const std::function<void()>& whileRunning) override;

private:
    int waitMs_;
};

}  // namespace murtesk::platform
