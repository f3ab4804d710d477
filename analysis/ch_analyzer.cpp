#include "ch_analyzer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <new>

namespace murtesk::analysis {

static_assert(std::endian::native == std::endian::little, "level files are little-endian floats");

namespace {

bool finite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

CChAnalyzer::~CChAnalyzer()
{
    closeFiles();
}

int32_t CChAnalyzer::configure(const ChannelCondition& c, double sampleRate, int32_t samplesPerBlock)
{
    m_bandMode = static_cast<int16_t>(c.bandMode);
    m_blocksHandedIn = 0;
    m_blocksBegun = 0;
    m_lastFinished = 0;
    m_enabled = false;
    m_paths.clear();
    m_chain.reset();
    if (m_bandMode == -1)
        return 1;
    const int slots = slotCount(m_bandMode);
    m_corrections.fill(0.0);
    if (slots > 0 && c.corrections)
        std::copy(c.corrections, c.corrections + (slots - 2), m_corrections.begin());
    // The chain checks the rest of the condition and takes its buffers now, so that a condition it cannot run
    // is refused here rather than failing every block of the run.
    if (slots > 0 && finite({c.lvl, c.lowHz, c.highHz})) {
        const BandChainSettings settings{.weighting = c.weighting,
                                         .bandMode = m_bandMode,
                                         .sampleRate = sampleRate,
                                         .samplesPerBlock = samplesPerBlock,
                                         .cr = c.cr,
                                         .levelOutHz = c.levelOutHz,
                                         .lowHz = c.lowHz,
                                         .highHz = c.highHz,
                                         .lvl = c.lvl,
                                         .calRms = c.calRms,
                                         .corrections = m_corrections.data()};
        try {
            m_chain = makeBandChain(settings);
            m_settings = settings;
            if (m_chain)
                m_paths.assign(static_cast<size_t>(slots), std::string());
        } catch (const std::bad_alloc&) {
            m_chain.reset();
        }
    }
    if (!m_chain) {
        m_bandMode = -1;
        m_paths.clear();
        return 0;
    }
    m_samples.assign(static_cast<size_t>(m_settings.inFlight), {});
    m_running.assign(static_cast<size_t>(m_settings.inFlight), 0);
    m_enabled = true;
    return 1;
}

bool CChAnalyzer::setLayout(bool spread, int inFlight)
{
    if (!m_chain)
        return true;
    if (m_settings.spread != spread || m_settings.inFlight != inFlight) {
        BandChainSettings settings = m_settings;
        settings.spread = spread;
        settings.inFlight = inFlight;
        try {
            auto chain = makeBandChain(settings);
            if (!chain)
                return false;
            m_chain = std::move(chain);
            m_settings = settings;
        } catch (const std::bad_alloc&) {
            // The chain as it was computes the same levels, with fewer blocks in flight.
            return false;
        }
    }
    try {
        m_samples.resize(static_cast<size_t>(m_settings.inFlight));
        m_running.assign(static_cast<size_t>(m_settings.inFlight), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

long long CChAnalyzer::blockCost() const
{
    long long cost = 0;
    for (int t = 0; t < taskCount(); ++t)
        cost += m_chain->taskCost(t);
    return cost;
}

int CChAnalyzer::inFlight() const
{
    return m_chain ? m_settings.inFlight : 1;
}

int32_t CChAnalyzer::setOutputPath(int32_t output, const char* path)
{
    if (m_paths.empty() || slotCount(m_bandMode) == 0)
        return 1;
    if (output < 0 || output >= slotCount(m_bandMode) || !path)
        return 0;
    m_paths[static_cast<size_t>(output)] = path;
    return 1;
}

size_t CChAnalyzer::startFiles()
{
    m_files.fill(nullptr);
    m_lastFinished = 0;
    m_blocksBegun = 0;
    m_blocksHandedIn = 0;
    if (!isOn())
        return 0;
    m_chain->reset();
    return m_paths.size();
}

bool CChAnalyzer::openFile(size_t output)
{
    const std::string& path = m_paths[output];
    m_files[output] = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    return m_files[output] != nullptr;
}

void CChAnalyzer::removeCreated()
{
    for (size_t s = 0; s < m_paths.size(); ++s) {
        if (m_files[s]) {
            std::fclose(m_files[s]);
            m_files[s] = nullptr;
            std::remove(m_paths[s].c_str());
        }
    }
}

bool CChAnalyzer::closeFiles()
{
    bool closed = true;
    for (std::FILE*& f : m_files) {
        // The last levels of a file may still be in its buffer: the close writes them, and may fail to.
        if (f && std::fclose(f) != 0)
            closed = false;
        f = nullptr;
    }
    return closed;
}

void CChAnalyzer::deleteFiles()
{
    if (!isOn())
        return;
    for (const std::string& path : m_paths)
        if (!path.empty())
            std::remove(path.c_str());
}

std::vector<double> CChAnalyzer::beginBlock(int flight, std::vector<double>&& samples) {
    if (!isOn()) return std::move(samples);
    const auto f = static_cast<size_t>(flight);
    const int32_t n = ++m_blocksBegun;
    std::swap(m_samples[f], samples);
    m_running[f] = m_lastFinished >= 0 && m_chain->begin(flight, n, m_samples[f]);
    return std::move(samples);
}

bool CChAnalyzer::finishBlock(int flight) {
    if (!isOn()) return true;
    const auto f = static_cast<size_t>(flight);
    const int32_t n = m_blocksHandedIn.load(std::memory_order_relaxed) + 1;
    m_blocksHandedIn.store(n, std::memory_order_relaxed);
    const bool ok = m_running[f] && m_chain->end(flight) && m_chain->write(n, m_files.data());
    m_running[f] = 0;
    // A failed block ends the run (later blocks may still be in flight: the chain is reset when the next run
    // starts).
    m_lastFinished = ok ? n : -n;
    return ok;
}

}  // namespace murtesk::analysis
