// Cutting a channel out of a recording and merging mono recordings into one file (canonical PCM WAV output).
#pragma once

#include <cstdint>

namespace murtesk::analysis {

int32_t CreateBigMonoWave(const char* output, int32_t bits, int32_t first, int32_t last, int32_t channels,
                          int32_t channel, int32_t rate, const char* source);
int32_t MergeMonoWave(const char* output, int32_t bits, int32_t first, int32_t last, int32_t count, int32_t rate,
                      const char* const* files);

}  // namespace murtesk::analysis
