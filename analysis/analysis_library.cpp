#include "analysis_library.h"

#include <new>
#include <string>

#include "cal_read.h"
#include "murtesk_analysis.h"
#include "wav_analyze_engine.h"
#include "wav_format.h"
#include "wave_separation.h"

namespace murtesk::analysis {

namespace {

// The engine CALReadOfWAV leaves behind: one channel at 12000 Hz, nothing configured.
std::shared_ptr<CWavAnalyzeEngine> probeEngine()
{
    return std::make_shared<CWavAnalyzeEngine>(1, 12000.0, 12000, nullptr);
}

}  // namespace

AnalysisLibrary::AnalysisLibrary() = default;

AnalysisLibrary::~AnalysisLibrary()
{
    if (auto e = engine())
        e->requestStop();
    m_workers.joinAll();
}

std::shared_ptr<CWavAnalyzeEngine> AnalysisLibrary::engine() const
{
    std::lock_guard lock(m_mutex);
    return m_engine;
}

void AnalysisLibrary::replaceEngine(std::shared_ptr<CWavAnalyzeEngine> engine)
{
    std::shared_ptr<CWavAnalyzeEngine> old;
    {
        std::lock_guard lock(m_mutex);
        old = std::move(m_engine);
        m_engine = std::move(engine);
    }
    // `old` is released here, outside the lock; a worker still running on it keeps it alive.
}

int32_t AnalysisLibrary::ReadPreOfWAV(int32_t channels, double rate, int32_t samplesPerBlock, const double* dcOffsets)
{
    replaceEngine(nullptr);
    // The channels' buffers grow with the rate and the block: past one second of the largest layout nothing is
    // made; neither for a rate or a block of no samples, which no WAV file has.
    if (!(rate > 0.0 && rate <= kMaxSampleRate) || samplesPerBlock < 1 ||
        samplesPerBlock > static_cast<int32_t>(kMaxSampleRate))
        return 0;
    try {
        auto e = std::make_shared<CWavAnalyzeEngine>(channels, rate, samplesPerBlock, dcOffsets);
        if (m_channelThreads > 0)
            e->setChannelThreads(m_channelThreads);
        replaceEngine(std::move(e));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

int32_t AnalysisLibrary::SetCalcConditionOfWAV(int32_t channel, MurteskWindow* window, int32_t weighting,
                                               int32_t bandMode, double cr, double levelOutHz,
                                               const double* corrections, double lvl, double calRms, double lowHz,
                                               double highHz)
{
    const auto e = engine();
    if (!e)
        return 0;
    ChannelCondition c;
    c.weighting = weighting;
    c.bandMode = bandMode;
    c.cr = cr;
    c.levelOutHz = levelOutHz;
    c.corrections = corrections;
    c.lvl = lvl;
    c.calRms = calRms;
    c.lowHz = lowHz;
    c.highHz = highHz;
    return e->setCalcCondition(channel, window, c);
}

int32_t AnalysisLibrary::SetFileOutPathOfWAV(int32_t channel, int32_t output, const char* path)
{
    const auto e = engine();
    return e && path ? e->setFileOutPath(channel, output, path) : 0;
}

int32_t AnalysisLibrary::ReadStartOfWAV(const char* path)
{
    const auto e = engine();
    return e && path ? e->readStart(path, m_workers) : 0;
}

int32_t AnalysisLibrary::DoStopOfWAV()
{
    const auto e = engine();
    if (!e)
        return 0;
    e->requestStop();
    return 1;
}

int16_t AnalysisLibrary::GethStatusOfWAV()
{
    const auto e = engine();
    return e ? e->status() : int16_t{MURTESK_STATUS_FAILED};
}

int32_t AnalysisLibrary::GetFileOutOrderOfWAV(int32_t channel)
{
    const auto e = engine();
    return e ? e->fileOutOrder(channel) : -1;
}

int32_t AnalysisLibrary::SethWndOfWAV(MurteskWindow* window)
{
    const auto e = engine();
    if (!e)
        return 0;
    e->setWindow(window);
    return 1;
}

int32_t AnalysisLibrary::CALReadOfWAV(const char* path, int32_t* channels, int32_t* rate, int32_t* bits,
                                      double* maxima, double* minima, int32_t* format, int32_t* frames)
{
    replaceEngine(nullptr);
    try {
        replaceEngine(probeEngine());
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (!path || !channels || !rate || !bits || !maxima || !minima || !format || !frames)
        return 0;
    return CalReadWave(path, {channels, rate, bits, maxima, minima, format, frames});
}

int32_t AnalysisLibrary::StartSeparateChWaveFile(MurteskWindow* window, const char* source, const char* name,
                                                 const char* folder)
{
    const auto e = engine();
    if (!e || !source || !name || !folder)
        return 0;
    return e->startSeparation(window, source, name, folder, m_workers);
}

int32_t AnalysisLibrary::SeparateChWaveFile(const char* source, const char* prefix)
{
    replaceEngine(nullptr);
    try {
        replaceEngine(probeEngine());
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (!source || !prefix)
        return 0;
    const std::string src = source;
    const std::string pre = prefix;
    const SeparationResult r =
        SeparateChannels(src, [&](int c) { return PrefixedSeparatedFileName(src, pre, c); });
    return r.end == SeparationEnd::Done ? 1 : 0;
}

}  // namespace murtesk::analysis
