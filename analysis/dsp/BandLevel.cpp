#include "BandLevel.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace murtesk::dsp {

namespace {

bool Multiple(double r, double q) {
    return std::fmod(r, q) == 0.0;
}

// Designs of the chain's filters.
constexpr double kBandLowRipple = 0.01, kBandHighRipple = 0.03;
constexpr int kBandOrder = 22;
constexpr double kVibRate = 1000.0, kAcRate = 18000.0, kMinThinnedRate = 1000.0;
// The longest block: the buffers of a block grow with its duration (a block is one second in a run).
constexpr double kMaxBlockSeconds = 10.0;

bool DesignVibLowPass(CFilterDesign& design, double rate) {
    return design.Design(kButterworth, 0.1, kLowPass, 14, rate, 240.0);
}

// The level of a step without power; a band adds its correction.
constexpr double kNoPowerDb = -1000.0;

}  // namespace

std::vector<BandInfo> BandTable(int bandMode) {
    std::vector<BandInfo> bands;
    const bool octave = bandMode == kOctave;
    const int count = octave ? 15 : 45;
    const double step = octave ? 0.30000000000000004 : 0.1;
    const double half = octave ? 0.15 : 0.05;
    double k = octave ? 4.0 : 13.0;
    for (int i = 0; i < count; ++i, k -= 1.0) {
        const double c = 1000.0 * std::pow(10.0, step * k);
        bands.push_back({c, c * std::pow(10.0, -half), c * std::pow(10.0, half)});
    }
    return bands;
}

bool CBandLevelChain::Configure(const BandChainConfig& config) {
    m_slots = 0;
    m_steps = 0;
    const BandChainConfig& c = config;
    if (c.bandMode != kOctave && c.bandMode != kThirdOctave) return false;
    if (!(c.rate > 0.0) || !std::isfinite(c.rate) || c.samplesPerBlock < 1 || !(c.cr > 0.0) ||
        !std::isfinite(c.cr) || !(c.calRms > 0.0) || !std::isfinite(c.calRms) || !(c.levelOutHz >= 1.0) ||
        !(c.levelOutHz <= 1000.0)) {
        return false;
    }
    // A rate below LevelOutHz gives more steps than samples: the time-weighted power is interpolated between
    // them.
    const double steps = std::trunc(c.samplesPerBlock * c.levelOutHz / c.rate);
    if (!(steps >= 1.0) || c.samplesPerBlock > c.rate * kMaxBlockSeconds) return false;
    // A slot holds the block's duration times LevelOutHz, rounded; a block whose steps are that truncated (a
    // fraction of one half or more, as 2.5 per second gives) could never be written.
    if (m_linear.OutputCount(c.samplesPerBlock, c.rate, c.levelOutHz) != steps) return false;
    // The vibration and G weightings start with a low-pass that the rate must carry.
    const bool vibration = c.weighting == kWeightLvz || c.weighting == kWeightLvxy || c.weighting == kWeightG;
    if (vibration && !DesignVibLowPass(m_design[0], c.rate)) return false;
    m_cfg = c;
    m_cfg.corrections = nullptr;
    m_bands = BandTable(c.bandMode);
    const int nb = static_cast<int>(m_bands.size());
    m_corr.fill(0.0);
    if (c.corrections) std::copy(c.corrections, c.corrections + nb, m_corr.begin());
    try {
        const int n = c.samplesPerBlock;
        const int wCount = std::max({n, m_doubling.OutputCount(n, c.rate, kAcRate),
                                     m_linear.OutputCount(n, c.rate, kVibRate),
                                     m_doubling.OutputCount(n, c.rate, kVibRate)});
        m_bufA.assign(n, 0.0);
        m_bufB.assign(n, 0.0);
        m_wIn.assign(wCount, 0.0);
        m_wRate.assign(wCount, 0.0);
        m_power.assign(wCount, 0.0);
        // Every slot holds one block's steps; rounding at the rate changes may add one or two, and a slot that
        // holds another count than the steps fails the block anyway.
        for (auto& m : m_ms) m.assign(static_cast<std::size_t>(steps) + 4, 0.0);
        m_levels.assign(static_cast<std::size_t>(nb + 2) * static_cast<std::size_t>(steps), 0.0f);
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_slots = nb + 2;
    m_steps = static_cast<int>(steps);
    m_state.Reset();
    return true;
}

bool CBandLevelChain::Compute(int blockNo, const double* samples, int n) {
    if (m_slots == 0) return false;
    FlushDenormals flush;
    m_block = blockNo;
    m_msCount.fill(0);
    if (samples == nullptr || n < 1 || n > m_cfg.samplesPerBlock || !ComputeSlots(blockNo, samples, n)) {
        m_state.counters.fill(-1);
        return false;
    }
    return true;
}

bool CBandLevelChain::ComputeSlots(int blockNo, const double* samples, int n) {
    // F: the time weighting on the block itself.
    if (!SlotReady(0)) return false;
    m_design[0].DesignTimeWeighting(m_cfg.rate, m_cfg.cr);
    m_pipe.Clear();
    m_pipe.Add(m_design[0], m_state.fTime, true);
    if (!m_pipe.Run(samples, n, m_power.data()) || !Tail(0, m_power.data(), n, m_cfg.rate)) return false;
    if (!ComputeW(samples, n) || !ComputeBands(samples, n)) return false;
    for (int s = 0; s < m_slots; ++s) m_state.counters[s] = blockNo;
    return true;
}

bool CBandLevelChain::ComputeW(const double* samples, int n) {
    if (!SlotReady(1)) return false;
    const int w = m_cfg.weighting;
    if (w < 0) return Zero(1, m_steps);
    m_pipe.Clear();
    double rate = m_cfg.rate;
    const double* in = samples;
    int count = n;
    if (w >= kWeightA) {
        if (rate < kAcRate) {
            count = m_doubling.Resample(samples, n, rate, m_wRate.data(), static_cast<int>(m_wRate.size()), kAcRate);
            if (count != m_doubling.OutputCount(n, rate, kAcRate)) return false;
            rate = kAcRate;
            in = m_wRate.data();
        }
        if (w == kWeightC) {
            m_design[1].DesignC(rate);
        } else {
            m_design[1].DesignA(rate);
        }
        m_pipe.Add(m_design[1], m_state.wWeight);
    } else {
        if (!DesignVibLowPass(m_design[0], rate)) return false;
        m_pipe.Add(m_design[0], m_state.vibLowPass);
        if (!m_pipe.Run(samples, n, m_wIn.data())) return false;
        const bool linear = rate >= 10000.0 || (rate >= kVibRate && Multiple(rate, kVibRate));
        const CResampler& r = linear ? static_cast<const CResampler&>(m_linear) : m_doubling;
        count = r.Resample(m_wIn.data(), n, rate, m_wRate.data(), static_cast<int>(m_wRate.size()), kVibRate);
        if (count != r.OutputCount(n, rate, kVibRate)) return false;
        rate = kVibRate;
        in = m_wRate.data();
        m_pipe.Clear();
        if (!m_design[0].Design(kChebyshev, 0.03, kHighPass, 4, rate, 0.9)) return false;
        m_pipe.Add(m_design[0], m_state.vibHighPass);
        if (w == kWeightLvz) {
            m_design[1].SetLvz();
        } else if (w == kWeightLvxy) {
            m_design[1].SetLvxy();
        } else {
            m_design[1].SetG();
        }
        m_pipe.Add(m_design[1], m_state.wWeight);
    }
    m_design[2].DesignTimeWeighting(rate, m_cfg.cr);
    m_pipe.Add(m_design[2], m_state.wTime, true);
    return m_pipe.Run(in, count, m_power.data()) && Tail(1, m_power.data(), count, rate);
}

// The thinning factor for a signal at rate r before a band with lower edge l; 1 when none is possible.
int CBandLevelChain::ThinningFactor(double r, double lowerEdge) const {
    const double w = (m_cfg.bandMode == kOctave ? 4.0 : 2.5) * lowerEdge;
    const auto ok = [&](double q) { return Multiple(r, q) && r / q >= kMinThinnedRate && r / q >= w; };
    if (!ok(2.0) && !ok(5.0)) return 1;
    double q = 2.0;
    while (ok(q)) q *= 2.0;
    q = q / 2.0 * 5.0;
    while (ok(q)) q *= 5.0;
    return static_cast<int>(q / 5.0);
}

bool CBandLevelChain::ComputeBands(const double* samples, int n) {
    const double* cur = samples;
    double rate = m_cfg.rate;
    bool held = false;
    for (int b = 0; b < bandCount(); ++b) {
        const int slot = b + 2;
        if (!SlotReady(slot)) return false;
        const BandInfo& band = m_bands[b];
        m_runs[b] = BandRun{};
        if (2.0 * band.centre > rate || band.centre < m_cfg.lowestHz || band.centre > m_cfg.highestHz) {
            if (!Zero(slot, m_linear.OutputCount(n, rate, m_cfg.levelOutHz))) return false;
            continue;
        }
        m_pipe.Clear();
        const bool lowPass = !(2.0 * band.upper > rate);
        int lowPassEnd = -1;
        if (lowPass) {
            if (!m_design[0].Design(kButterworth, kBandLowRipple, kLowPass, kBandOrder, rate, band.upper))
                return false;
            lowPassEnd = m_pipe.Add(m_design[0], m_state.bandLow[b]);
        }
        if (!m_design[1].Design(kButterworth, kBandHighRipple, kHighPass, kBandOrder, rate, band.lower)) return false;
        m_pipe.Add(m_design[1], m_state.bandHigh[b]);
        m_design[2].DesignTimeWeighting(rate, m_cfg.cr);
        m_pipe.Add(m_design[2], m_state.bandTime[b], true);
        m_runs[b] = BandRun{true, rate, lowPass, lowPass && held};
        if (!lowPass || held) {
            // The band signal is the current signal itself, or the held signal's low-pass, which no later
            // band needs.
            if (!m_pipe.Run(cur, n, m_power.data()) || !Tail(slot, m_power.data(), n, rate)) return false;
            continue;
        }
        double* next = cur == m_bufA.data() ? m_bufB.data() : m_bufA.data();
        if (!m_pipe.Run(cur, n, m_power.data(), lowPassEnd, next) || !Tail(slot, m_power.data(), n, rate))
            return false;
        cur = next;
        const int d = ThinningFactor(rate, band.lower);
        if (d > 1) {
            const double thinned = rate / d;
            n = m_linear.Resample(next, n, rate, next, n, thinned);
            rate = thinned;
        } else {
            const bool even = Multiple(rate, 2.0);
            const bool canGoOn = (even && rate * 0.5 >= kMinThinnedRate) ||
                                 (!even && Multiple(rate, 5.0) && rate * 0.2 >= kMinThinnedRate);
            held = !canGoOn;
        }
    }
    return true;
}

bool CBandLevelChain::Tail(int slot, const double* power, int n, double rate) {
    const int count = m_linear.OutputCount(n, rate, m_cfg.levelOutHz);
    if (count > static_cast<int>(m_ms[slot].size())) return false;
    m_msCount[slot] = m_linear.Resample(power, n, rate, m_ms[slot].data(), count, m_cfg.levelOutHz);
    return true;
}

bool CBandLevelChain::Zero(int slot, int count) {
    if (count > static_cast<int>(m_ms[slot].size())) return false;
    std::fill_n(m_ms[slot].begin(), count, 0.0);
    m_msCount[slot] = count;
    return true;
}

bool CBandLevelChain::MakeLevels() {
    if (m_slots == 0) return false;
    const double k = m_cfg.lvl - 20.0 * std::log10(m_cfg.calRms);
    for (int s = 0; s < m_slots; ++s) {
        if (m_msCount[s] != m_steps) return false;
        const double corr = s >= 2 ? m_corr[s - 2] : 0.0;
        float* out = m_levels.data() + static_cast<std::size_t>(s) * m_steps;
        for (int j = 0; j < m_steps; ++j) {
            // A power too small for any level (the first steps of a filter settling from rest) is no power.
            const double ms = m_ms[s][j];
            const double level = ms > 0.0 ? std::max(10.0 * std::log10(ms) + k, kNoPowerDb) : kNoPowerDb;
            out[j] = static_cast<float>(level + corr);
        }
    }
    return true;
}

bool CBandLevelChain::Write(int blockNo, std::FILE* const* files) {
    if (!MakeLevels()) return false;
    const int period = m_cfg.bandMode == kOctave ? 30 : 14;
    const int flushSlot = blockNo % period == 0 ? (blockNo / period) % m_slots : -1;
    for (int s = 0; s < m_slots; ++s) {
        std::FILE* f = files[s];
        if (f == nullptr) return false;
        const std::size_t written = std::fwrite(Levels(s), sizeof(float), static_cast<std::size_t>(m_steps), f);
        if (written != static_cast<std::size_t>(m_steps) || std::ferror(f)) return false;
        if (s == flushSlot && std::fflush(f) != 0) return false;
    }
    return true;
}

}  // namespace murtesk::dsp
