// Splitting a recording into one 16-bit mono WAV file per channel, one whole second at a time; a remainder
// of less than a second is not copied. The files are created as soon as the format is known and always end
// with a header that gives the sizes of what they hold, also after a stop or a failure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace murtesk::analysis {

enum class SeparationEnd { Done, NoData, Failed, Stopped };

struct SeparationResult {
    SeparationEnd end = SeparationEnd::Failed;
    int32_t blocks = 0;  // whole seconds written to every file
};

// fileOf(c) names channel c's file; keepGoing (may be empty) is asked between steps, false stops the split.
SeparationResult SeparateChannels(const std::string& source, const std::function<std::string(int)>& fileOf,
                                  const std::function<bool()>& keepGoing = {});

// Channel files of the split on the worker: folder + name with "_<c>ch" before the name's extension.
std::string SeparatedFileName(const std::string& folder, const std::string& name, int channel);
// Channel files of the synchronous split: prefix + the source's file name with "_<c>ch" before its extension.
std::string PrefixedSeparatedFileName(const std::string& source, const std::string& prefix, int channel);

}  // namespace murtesk::analysis
