// The band chain of a channel: the filter bank of the dsp library behind the analyzer's interface.
#include "band_chain.h"

#include <cstdint>

#include "BandLevel.h"

namespace murtesk::analysis {

namespace {

class FilterBankChain final : public BandChain {
public:
    explicit FilterBankChain(const BandChainSettings& s)
    {
        dsp::BandChainConfig c;
        c.bandMode = s.bandMode;
        c.weighting = s.weighting;
        c.rate = s.sampleRate;
        c.samplesPerBlock = s.samplesPerBlock;
        c.cr = s.cr;
        c.levelOutHz = s.levelOutHz;
        c.lowestHz = s.lowHz;
        c.highestHz = s.highHz;
        c.lvl = s.lvl;
        c.calRms = s.calRms;
        c.corrections = s.corrections;
        m_configured = m_chain.Configure(c);
    }

    void reset() override { m_chain.Reset(); }

    bool compute(int32_t blockNumber, const std::vector<double>& samples) override
    {
        return m_configured && samples.size() <= static_cast<size_t>(INT32_MAX) &&
               m_chain.Compute(blockNumber, samples.data(), static_cast<int>(samples.size()));
    }

    bool write(int32_t blockNumber, std::FILE* const* files) override
    {
        return m_configured && m_chain.Write(blockNumber, files);
    }

private:
    dsp::CBandLevelChain m_chain;
    bool m_configured = false;
};

}  // namespace

std::unique_ptr<BandChain> makeBandChain(const BandChainSettings& settings)
{
    return std::make_unique<FilterBankChain>(settings);
}

}  // namespace murtesk::analysis
