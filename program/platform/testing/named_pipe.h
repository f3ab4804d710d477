// Named pipes where a test expects files, and a check that a call opening them returns without waiting for a
// writer. A call that does wait is freed by opening each pipe's other end (and closing it again, so that a
// read finds the end of the data) until it returns; the check then fails instead of hanging the test.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <vector>

namespace murtesk::platform::testing {

class NamedPipe {
public:
    explicit NamedPipe(std::string path) : path_(std::move(path)) { made_ = ::mkfifo(path_.c_str(), 0600) == 0; }
    ~NamedPipe() { ::unlink(path_.c_str()); }
    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;

    bool made() const { return made_; }
    const std::string& path() const { return path_; }

    // Opens the writing end and closes it: a reader waiting in its open goes on and reads the end of the data.
    void FreeReader() const {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) ::close(fd);
    }

private:
    std::string path_;
    bool made_ = false;
};

// True when `call` returned within `limit`; false when it had to be freed.
inline bool ReturnsWithoutAWriter(const std::vector<const NamedPipe*>& pipes, const std::function<void()>& call,
                                  std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    auto done = std::async(std::launch::async, call);
    if (done.wait_for(limit) == std::future_status::ready) {
        done.get();
        return true;
    }
    while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        for (const NamedPipe* pipe : pipes) pipe->FreeReader();
    done.get();
    return false;
}

}  // namespace murtesk::platform::testing
