// The band chain of a channel: the filter bank of the dsp library behind the analyzer's interface.
#include "band_chain.h"

#include <cstdint>

#include "BandLevel.h"

namespace murtesk::analysis {

namespace {

class FilterBankChain final : public BandChain {
public:
    // Configures the chain; false when it refuses the settings or its buffers cannot be had.
    bool configure(const BandChainSettings& s)
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
        c.spreadTop = s.spread;
        return m_chain.Configure(c);
    }

    void reset() override { m_chain.Reset(); }

    bool compute(int32_t blockNumber, const std::vector<double>& samples) override
    {
        return samples.size() <= static_cast<size_t>(INT32_MAX) &&
               m_chain.Compute(blockNumber, samples.data(), static_cast<int>(samples.size()));
    }

    bool begin(int32_t blockNumber, const std::vector<double>& samples) override {
        return samples.size() <= static_cast<size_t>(INT32_MAX) &&
               m_chain.Begin(blockNumber, samples.data(), static_cast<int>(samples.size()));
    }

    int taskCount() const override { return m_chain.TaskCount(); }

    TaskStep advance(int task) override {
        switch (m_chain.AdvanceTask(task)) {
        case dsp::CBandLevelChain::TaskProgress::kBlocked: return TaskStep::Blocked;
        case dsp::CBandLevelChain::TaskProgress::kProgressed: return TaskStep::Progressed;
        case dsp::CBandLevelChain::TaskProgress::kDone: break;
        }
        return TaskStep::Done;
    }

    bool end() override { return m_chain.End(); }

    bool write(int32_t blockNumber, std::FILE* const* files) override { return m_chain.Write(blockNumber, files); }

private:
    dsp::CBandLevelChain m_chain;
};

}  // namespace

std::unique_ptr<BandChain> makeBandChain(const BandChainSettings& settings)
{
    auto chain = std::make_unique<FilterBankChain>();
    if (!chain->configure(settings))
        return nullptr;
    return chain;
}

}  // namespace murtesk::analysis
