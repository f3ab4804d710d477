// The C exports of libMurtesk.so: each wraps one method of the process-wide AnalysisLibrary and turns any
// exception into the export's failure value, so nothing is thrown across the boundary.
#include "murtesk_analysis.h"

#include "analysis_library.h"
#include "chg_hz.h"
#include "wave_files.h"

using murtesk::analysis::AnalysisLibrary;

namespace {

// Never destroyed: a worker may still be running when the process ends, and the library is never unloaded.
AnalysisLibrary& library()
{
    static AnalysisLibrary* instance = new AnalysisLibrary;
    return *instance;
}

template <class R, class F>
R guarded(R failure, F&& call) noexcept
{
    try {
        return call();
    } catch (...) {
        return failure;
    }
}

}  // namespace

extern "C" {

MURTESK_ANALYSIS_API int32_t nMurtesk = 0;

MURTESK_ANALYSIS_API int32_t fnMurtesk(void)
{
    return 42;
}

MURTESK_ANALYSIS_API int32_t ReadPreOfWAV(int32_t channels, double rate, int32_t samplesPerBlock,
                                          const double* dcOffsets)
{
    return guarded(0, [&] { return library().ReadPreOfWAV(channels, rate, samplesPerBlock, dcOffsets); });
}

MURTESK_ANALYSIS_API int32_t SetCalcConditionOfWAV(int32_t channel, MurteskWindow* window, int32_t weighting,
                                                   int32_t bandMode, double cr, double levelOutHz,
                                                   const double* corrections, double lvl, double calRms,
                                                   double lowHz, double highHz)
{
    return guarded(0, [&] {
        return library().SetCalcConditionOfWAV(channel, window, weighting, bandMode, cr, levelOutHz, corrections,
                                               lvl, calRms, lowHz, highHz);
    });
}

MURTESK_ANALYSIS_API int32_t SetFileOutPathOfWAV(int32_t channel, int32_t output, const char* path)
{
    return guarded(0, [&] { return library().SetFileOutPathOfWAV(channel, output, path); });
}

MURTESK_ANALYSIS_API int32_t ReadStartOfWAV(const char* path)
{
    return guarded(0, [&] { return library().ReadStartOfWAV(path); });
}

MURTESK_ANALYSIS_API int32_t DoStopOfWAV(void)
{
    return guarded(0, [&] { return library().DoStopOfWAV(); });
}

MURTESK_ANALYSIS_API int16_t GethStatusOfWAV(void)
{
    return guarded(int16_t{MURTESK_STATUS_FAILED}, [&] { return library().GethStatusOfWAV(); });
}

MURTESK_ANALYSIS_API int32_t GetFileOutOrderOfWAV(int32_t channel)
{
    return guarded(-1, [&] { return library().GetFileOutOrderOfWAV(channel); });
}

MURTESK_ANALYSIS_API int32_t SethWndOfWAV(MurteskWindow* window)
{
    return guarded(0, [&] { return library().SethWndOfWAV(window); });
}

MURTESK_ANALYSIS_API int32_t CALReadOfWAV(const char* path, int32_t* channels, int32_t* rate, int32_t* bits,
                                          double* maxima, double* minima, int32_t* format, int32_t* frames)
{
    return guarded(0, [&] {
        return library().CALReadOfWAV(path, channels, rate, bits, maxima, minima, format, frames);
    });
}

MURTESK_ANALYSIS_API int32_t StartSeparateChWaveFile(MurteskWindow* window, const char* source, const char* name,
                                                     const char* folder)
{
    return guarded(0, [&] { return library().StartSeparateChWaveFile(window, source, name, folder); });
}

MURTESK_ANALYSIS_API int32_t SeparateChWaveFile(const char* source, const char* prefix)
{
    return guarded(0, [&] { return library().SeparateChWaveFile(source, prefix); });
}

MURTESK_ANALYSIS_API int32_t CreateBigMonoWave(const char* output, int32_t bits, int32_t first, int32_t last,
                                               int32_t channels, int32_t channel, int32_t rate,
                                               const char* source)
{
    return guarded(0, [&] {
        return murtesk::analysis::CreateBigMonoWave(output, bits, first, last, channels, channel, rate, source);
    });
}

MURTESK_ANALYSIS_API int32_t MergeMonoWave(const char* output, int32_t bits, int32_t first, int32_t last,
                                           int32_t count, int32_t rate, const char* const* files)
{
    return guarded(0, [&] {
        return murtesk::analysis::MergeMonoWave(output, bits, first, last, count, rate, files);
    });
}

MURTESK_ANALYSIS_API int32_t ChgHz(const char* path, const double* values, int32_t count, double inRate,
                                   double outRate, int32_t mode)
{
    return guarded(0, [&] { return murtesk::analysis::ChgHz(path, values, count, inRate, outRate, mode); });
}

}  // extern "C"
