#include "platform/file_size_limit.h"

#include <csignal>

namespace murtesk::platform {

void FailWritesPastTheFileSizeLimit() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

}  // namespace murtesk::platform
