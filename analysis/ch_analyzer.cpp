#include "ch_analyzer.h"

#include <algorithm>
#include <bit>
#include <cmath>

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

int32_t CChAnalyzer::stepsPerBlock() const
{
    const double steps = std::trunc(static_cast<double>(m_samplesPerBlock) * m_levelOutHz / m_rate);
    return steps >= 1.0 && steps <= 1.0e9 ? static_cast<int32_t>(steps) : 0;
}

int32_t CChAnalyzer::configure(const ChannelCondition& c, double sampleRate, int32_t samplesPerBlock)
{
    m_weighting = c.weighting;
    m_bandMode = static_cast<int16_t>(c.bandMode);
    m_blocksHandedIn = 0;
    m_lastFinished = 0;
    if (m_bandMode == -1) {
        m_paths.clear();
        m_chain.reset();
        return 1;
    }
    m_rate = sampleRate;
    m_samplesPerBlock = samplesPerBlock;
    m_cr = c.cr;
    m_levelOutHz = c.levelOutHz;
    m_lvl = c.lvl;
    m_calRms = c.calRms;
    m_lowHz = c.lowHz;
    m_highHz = c.highHz;
    const bool usable = slotCount(m_bandMode) > 0 && finite({sampleRate, c.cr, c.levelOutHz, c.lvl, c.calRms,
                                                             c.lowHz, c.highHz}) &&
                        c.levelOutHz >= 1.0 && c.levelOutHz <= 1000.0 && sampleRate > 0.0 && c.cr > 0.0 &&
                        c.calRms > 0.0 && stepsPerBlock() > 0;
    if (!usable) {
        m_enabled = false;
        m_bandMode = -1;
        m_paths.clear();
        m_chain.reset();
        return 0;
    }
    m_enabled = true;
    const int bands = slotCount(m_bandMode) - 2;
    m_paths.assign(static_cast<size_t>(slotCount(m_bandMode)), std::string());
    m_corrections.fill(0.0);
    if (c.corrections)
        std::copy(c.corrections, c.corrections + bands, m_corrections.begin());
    BandChainSettings settings;
    settings.weighting = m_weighting;
    settings.bandMode = m_bandMode;
    settings.sampleRate = m_rate;
    settings.samplesPerBlock = m_samplesPerBlock;
    settings.cr = m_cr;
    settings.levelOutHz = m_levelOutHz;
    settings.lowHz = m_lowHz;
    settings.highHz = m_highHz;
    settings.lvl = m_lvl;
    settings.calRms = m_calRms;
    settings.corrections = m_corrections.data();
    m_chain = makeBandChain(settings);
    m_chain->reset();
    return 1;
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

bool CChAnalyzer::createFiles()
{
    m_files.fill(nullptr);
    m_lastFinished = 0;
    m_blocksHandedIn = 0;
    if (!isOn())
        return true;
    m_chain->reset();
    for (size_t s = 0; s < m_paths.size(); ++s) {
        m_files[s] = m_paths[s].empty() ? nullptr : std::fopen(m_paths[s].c_str(), "wb");
        if (!m_files[s]) {
            for (size_t k = 0; k < s; ++k) {
                std::fclose(m_files[k]);
                m_files[k] = nullptr;
                std::remove(m_paths[k].c_str());
            }
            return false;
        }
    }
    return true;
}

void CChAnalyzer::closeFiles()
{
    for (std::FILE*& f : m_files) {
        if (f)
            std::fclose(f);
        f = nullptr;
    }
}

void CChAnalyzer::deleteFiles()
{
    if (!isOn())
        return;
    for (const std::string& path : m_paths)
        if (!path.empty())
            std::remove(path.c_str());
}

bool CChAnalyzer::processBlock(std::vector<double>&& samples)
{
    if (!isOn())
        return true;
    const int32_t n = m_blocksHandedIn.load(std::memory_order_relaxed) + 1;
    m_blocksHandedIn.store(n, std::memory_order_relaxed);
    bool ok = m_lastFinished >= 0;
    if (ok) {
        ok = m_chain->compute(n, samples) && m_chain->write(n, m_files.data());
    }
    if (!ok) {
        m_lastFinished = -n;
        m_chain->reset();
        return false;
    }
    m_lastFinished = n;
    return true;
}

}  // namespace murtesk::analysis
