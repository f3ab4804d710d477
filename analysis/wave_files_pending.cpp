// Exports whose work is not available in this build yet: each refuses, writing nothing.
#include "wave_files.h"

namespace murtesk::analysis {

int32_t CreateBigMonoWave(const char*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, const char*)
{
    return 0;
}

int32_t MergeMonoWave(const char*, int32_t, int32_t, int32_t, int32_t, int32_t, const char* const*)
{
    return 0;
}

int32_t ChgHz(const char*, const double*, int32_t, double, double, int32_t)
{
    return 0;
}

}  // namespace murtesk::analysis
