// A folder of its own for each test, removed with everything in it afterwards.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "scratch_folder.h"

namespace murtesk::analysis::testing {

using TempFolder = test_support::ScratchFolder;

// For a child process of a death test: writes past `bytes` fail with EFBIG, as on a full disk.
inline void LimitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

}  // namespace murtesk::analysis::testing
