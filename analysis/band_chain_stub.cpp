// Interim band chain: computes the flat level F (time weighting over the squares, then one value per level
// step by linear interpolation) and leaves W and every band without power, the value of an output that is not
// computed. The filter bank replaces this file.
#include <cmath>

#include "band_chain.h"

namespace murtesk::analysis {

namespace {

class FlatOnlyChain final : public BandChain {
public:
    explicit FlatOnlyChain(const BandChainSettings& s) : m_settings(s) {}

    void reset() override { m_memory = 0.0; }

    bool compute(int32_t, std::vector<double>&& samples, std::vector<std::vector<double>>& meanSquares) override
    {
        const double rate = m_settings.sampleRate;
        const double a = 1.0 / (1.0 + rate * m_settings.cr);
        double y = m_memory;
        for (double& x : samples) {
            y = a * x * x + (1.0 - a) * y;
            x = y;
        }
        m_memory = y;

        const double n = static_cast<double>(samples.size());
        const double wanted = n * m_settings.levelOutHz / rate;
        const auto steps = static_cast<size_t>(std::floor(wanted) + (wanted - std::floor(wanted) >= 0.5 ? 1 : 0));
        const double d = rate / m_settings.levelOutHz;
        meanSquares.assign(static_cast<size_t>(slotCount(m_settings.bandMode)), std::vector<double>(steps, 0.0));
        std::vector<double>& flat = meanSquares[0];
        for (size_t j = 0; j < steps && !samples.empty(); ++j)
            flat[j] = interpolate(samples, static_cast<double>(j) * d);
        return true;
    }

private:
    static double interpolate(const std::vector<double>& v, double x)
    {
        const size_t n = v.size();
        if (x < 0.0 || x > static_cast<double>(n))
            return 0.0;
        const auto k = static_cast<size_t>(x);
        const double f = x - static_cast<double>(k);
        if (f == 0.0)
            return k < n ? v[k] : v[n - 1];
        const double next = k + 1 < n ? v[k + 1] : v[n - 1];
        return v[k] * (1.0 - f) + next * f;
    }

    BandChainSettings m_settings;
    double m_memory = 0.0;
};

}  // namespace

std::unique_ptr<BandChain> makeBandChain(const BandChainSettings& settings)
{
    return std::make_unique<FlatOnlyChain>(settings);
}

}  // namespace murtesk::analysis
