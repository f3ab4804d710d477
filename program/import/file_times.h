// A file's creation and last-modification times as local day-count dates, in whole seconds.
#pragma once

#include <string>

namespace murtesk::import {

struct FileTimes {
    double created = 0.0;   // the birth time where the file system keeps one, else the last change
    double modified = 0.0;
};

// Both 0 when the file cannot be examined.
FileTimes ReadFileTimes(const std::string& path);

}  // namespace murtesk::import
