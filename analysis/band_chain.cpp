// The band chain of a channel: the filter bank of the dsp library behind the analyzer's interface.
#include "band_chain.h"

#include <cstdint>

#include "BandLevel.h"
#include "level_files.h"

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
        c.inFlight = s.inFlight;
        return m_chain.Configure(c);
    }

    void reset() override { m_chain.Reset(); }

    bool compute(int32_t blockNumber, const std::vector<double>& samples) override
    {
        return samples.size() <= static_cast<size_t>(INT32_MAX) &&
               m_chain.Compute(blockNumber, samples.data(), static_cast<int>(samples.size()));
    }

    bool begin(int flight, int32_t blockNumber, const std::vector<double>& samples) override {
        return samples.size() <= static_cast<size_t>(INT32_MAX) &&
               m_chain.Begin(blockNumber, samples.data(), static_cast<int>(samples.size()), flight);
    }

    int taskCount() const override { return m_chain.TaskCount(); }
    const std::vector<int>& taskInputs(int task) const override { return m_chain.TaskInputs(task); }
    bool taskCarries(int task) const override { return m_chain.TaskCarries(task); }
    long long taskCost(int task) const override { return m_chain.TaskCost(task); }
    void runTask(int task, int flight) override { m_chain.RunTask(task, flight); }
    bool end(int flight) override { return m_chain.End(flight); }

    bool write(int32_t blockNumber, std::FILE* const* files) override {
        return AppendLevels(m_chain, blockNumber, files);
    }

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
