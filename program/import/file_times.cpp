#include "file_times.h"

#include "platform/dates.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

namespace murtesk::import {

namespace {

// A measurement's start is a whole second, as every display shows it: the part of a second the
// file system keeps is dropped.
double LocalDate(std::int64_t seconds)
{
    const time_t t = static_cast<time_t>(seconds);
    struct tm local {};
    if (localtime_r(&t, &local) == nullptr) {
        return 0.0;
    }
    return platform::DateFromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                                   local.tm_sec);
}

}  // namespace

FileTimes ReadFileTimes(const std::string& path)
{
    FileTimes times;
    struct statx info {};
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_MTIME | STATX_BTIME | STATX_CTIME, &info) != 0) {
        return times;
    }
    times.modified = LocalDate(info.stx_mtime.tv_sec);
    if ((info.stx_mask & STATX_BTIME) != 0) {
        times.created = LocalDate(info.stx_btime.tv_sec);
    } else {
        times.created = LocalDate(info.stx_ctime.tv_sec);
    }
    return times;
}

}  // namespace murtesk::import
