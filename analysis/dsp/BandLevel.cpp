#include "BandLevel.h"

#include <algorithm>
#include <climits>
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

// The calibration level and the band corrections: no calibration lies 1000 dB (an amplitude ratio of 10^50) from
// its reference, and within that every level stays finite as the float it is stored as, to a thousandth of a dB.
constexpr double kLargestCalibrationDb = 1000.0;

bool Calibrates(double db) { return std::abs(db) <= kLargestCalibrationDb; }  // false for NaN too

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
    if (c.inFlight < 1 || c.inFlight > kMaxInFlight) return false;
    if (!(c.rate > 0.0) || !std::isfinite(c.rate) || c.samplesPerBlock < 1 || !(c.cr > 0.0) ||
        !std::isfinite(c.cr) || !(c.calRms > 0.0) || !std::isfinite(c.calRms) || !(c.levelOutHz >= 1.0) ||
        !(c.levelOutHz <= 1000.0) || !Calibrates(c.lvl)) {
        return false;
    }
    if (c.corrections && !std::all_of(c.corrections, c.corrections + BandTable(c.bandMode).size(), Calibrates))
        return false;
    // A rate below LevelOutHz gives more steps than samples: the time-weighted power is interpolated between
    // them.
    const double steps = std::trunc(c.samplesPerBlock * c.levelOutHz / c.rate);
    if (!(steps >= 1.0) || c.samplesPerBlock > c.rate * kMaxBlockSeconds) return false;
    // A slot holds the block's duration times LevelOutHz, rounded; a block whose steps are that truncated (a
    // fraction of one half or more, as 2.5 per second gives) could never be written.
    if (m_linear.OutputCount(c.samplesPerBlock, c.rate, c.levelOutHz) != steps) return false;
    // The vibration and G weightings start with a low-pass that the rate must carry.
    const bool vibration = c.weighting == kWeightLvz || c.weighting == kWeightLvxy || c.weighting == kWeightG;
    if (vibration && !DesignVibLowPass(m_vibLowPass, c.rate)) return false;
    m_cfg = c;
    m_cfg.corrections = nullptr;
    m_bands = BandTable(c.bandMode);
    const int nb = static_cast<int>(m_bands.size());
    m_corr.fill(0.0);
    if (c.corrections) std::copy(c.corrections, c.corrections + nb, m_corr.begin());
    m_kernel = &ActiveKernel();
    try {
        const int n = c.samplesPerBlock;
        const int wCount = std::max({n, m_doubling.OutputCount(n, c.rate, kAcRate),
                                     m_linear.OutputCount(n, c.rate, kVibRate),
                                     m_doubling.OutputCount(n, c.rate, kVibRate)});
        m_wIn.assign(vibration ? n : 0, 0.0);
        m_levels.assign(static_cast<std::size_t>(nb + 2) * static_cast<std::size_t>(steps), 0.0f);
        m_flights.clear();
        if (!Plan()) return false;
        // Each block in flight has its own signals between passes and its own mean squares.
        m_flights.resize(static_cast<std::size_t>(c.inFlight));
        for (Flight& f : m_flights) {
            f.counts.assign(m_rateLevels.size(), 0);
            for (std::size_t size : m_arraySizes) f.arrays.push_back(AllocateDoubles(size));
            f.wCapacity = m_ownWeighting ? wCount : 0;
            f.wRate = AllocateDoubles(static_cast<std::size_t>(f.wCapacity) + 1);
            // Every slot holds one block's steps; rounding at the rate changes may add one or two, and a slot
            // that holds another count than the steps fails the block anyway.
            for (auto& m : f.ms) m.assign(static_cast<std::size_t>(steps) + 4, 0.0);
            f.ran = std::make_unique<bool[]>(m_tasks.size());
        }
        m_ended = 0;
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_slots = nb + 2;
    m_steps = static_cast<int>(steps);
    for (CLevelTail& t : m_tails) t.SetHold(c.cr == kImpulseCr ? kImpulseDecay : 0.0);
    Reset();
    return true;
}

void CBandLevelChain::Reset() {
    m_counters.fill(0);
    for (auto& p : m_passes) p->pass.Reset();
    for (CLevelTail& t : m_tails) t.Reset();
    if (m_wLowPass) m_wLowPass->Reset();
    if (m_wPass) m_wPass->Reset();
    for (Flight& f : m_flights) f.begun = false;
}

bool CBandLevelChain::AddPass(int level, std::vector<CLanePass::Cascade> cascades, std::vector<SignalRef> sources) {
    auto pass = std::make_unique<Pass>();
    pass->level = level;
    pass->sources = std::move(sources);
    for (std::size_t c = 0; c < cascades.size(); ++c)
        if (cascades[c].tail) pass->tails.push_back(static_cast<int>(cascades[c].tail - m_tails.data()));
    if (!pass->pass.Build(*m_kernel, std::move(cascades))) return false;
    m_sectionSteps += pass->pass.SectionSteps(m_rateLevels[level].count);
    m_laneSteps += pass->pass.LaneSteps(m_rateLevels[level].count);
    m_passes.push_back(std::move(pass));
    return true;
}

// Where each band's signal comes from, as the bands run highest first (see the file's head): the rate levels, the
// bands of each (fed by the low-pass output of an earlier band of the same level, or by the level's input), the
// bands filtered from the held signal and the band whose low-pass output is held.
CBandLevelChain::Routing CBandLevelChain::Route() {
    Routing routing;
    routing.levels.resize(1);
    int level = 0, cur = -1;
    for (int b = 0; b < static_cast<int>(m_bands.size()); ++b) {
        const BandInfo& band = m_bands[b];
        const double rate = m_rateLevels[level].rate;
        m_runs[b] = BandRun{};
        m_bandLevel[b] = level;
        if (2.0 * band.centre > rate || band.centre < m_cfg.lowestHz || band.centre > m_cfg.highestHz) continue;
        const bool lowPass = !(2.0 * band.upper > rate);
        m_runs[b] = BandRun{true, rate, lowPass, lowPass && routing.held >= 0};
        if (lowPass && routing.held >= 0) {
            routing.fromHeld.push_back(b);
            continue;
        }
        routing.levels[level].push_back({b, cur, lowPass});
        if (!lowPass) continue;
        cur = b;
        const int d = ThinningFactor(rate, band.lower);
        if (d > 1) {
            const Level& from = m_rateLevels[level];
            m_rateLevels.push_back(Level{rate / d, b, d, m_linear.OutputCount(from.count, rate, rate / d)});
            routing.levels.emplace_back();
            ++level;
            cur = -1;
        } else {
            const bool even = Multiple(rate, 2.0);
            const bool canGoOn = (even && rate * 0.5 >= kMinThinnedRate) ||
                                 (!even && Multiple(rate, 5.0) && rate * 0.2 >= kMinThinnedRate);
            if (!canGoOn) routing.held = b;
        }
    }
    return routing;
}

std::vector<int> CBandLevelChain::PackRuns(const std::vector<bool>& lowPass, int lanes, int most) {
    const int lowLength = (kBandOrder + 1) / 2, leafLength = lowLength + 1;
    const int m = static_cast<int>(lowPass.size());
    // best[j]: the fewest sections per lane, then passes, for the first j bands; from[j]: where its last pass
    // starts.
    std::vector<std::pair<int, int>> best(m + 1, {INT_MAX, INT_MAX});
    std::vector<int> from(m + 1, 0);
    best[0] = {0, 0};
    for (int j = 1; j <= m; ++j) {
        std::vector<int> lengths;
        for (int i = j - 1; i >= 0 && j - i <= most; --i) {
            if (lowPass[i]) lengths.push_back(lowLength);
            lengths.push_back(leafLength);
            const int depth = CLanePass::DepthFor(lanes, lengths);
            if (depth == 0) break;
            const std::pair<int, int> cost{best[i].first + depth, best[i].second + 1};
            if (best[i].first != INT_MAX && cost < best[j]) {
                best[j] = cost;
                from[j] = i;
            }
        }
    }
    std::vector<int> starts;
    for (int j = m; j > 0; j = from[j]) starts.insert(starts.begin(), from[j]);
    return starts;
}

bool CBandLevelChain::Plan() {
    m_rateLevels.assign(1, Level{m_cfg.rate, -1, 1, m_cfg.samplesPerBlock});
    m_arraySizes.clear();
    m_passes.clear();
    m_tasks.clear();
    m_sectionSteps = 0;
    m_laneSteps = 0;
    m_wLowPass.reset();
    m_wPass.reset();
    const Routing routing = Route();
    // Each level's bands in runs, a pass each (PackRuns); the passes of the two highest rates are the longest of a
    // block's paths through the chain, so with spreadTop they take one band each.
    std::vector<std::vector<std::vector<Planned>>> groups(routing.levels.size());
    for (std::size_t r = 0; r < routing.levels.size(); ++r) {
        const std::vector<Planned>& bands = routing.levels[r];
        std::vector<bool> lowPass;
        for (const Planned& p : bands) lowPass.push_back(p.lowPass);
        const int most = r <= 1 && m_cfg.spreadTop ? 1 : static_cast<int>(bands.size());
        const std::vector<int> starts = PackRuns(lowPass, m_kernel->lanes, most);
        for (std::size_t i = 0; i < bands.size(); ++i) {
            if (std::find(starts.begin(), starts.end(), static_cast<int>(i)) != starts.end()) groups[r].emplace_back();
            groups[r].back().push_back(bands[i]);
        }
    }
    return BuildPasses(routing, groups);
}

// The passes of the packed runs, F and W, the weighting at its own rate and the bands filtered from the held
// signal: their arrays between passes, their filters' designs, and the tasks that run them.
bool CBandLevelChain::BuildPasses(const Routing& routing, const std::vector<std::vector<std::vector<Planned>>>& groups) {
    const std::vector<std::vector<Planned>>& levelBands = routing.levels;
    const std::vector<int>& fromHeld = routing.fromHeld;
    const int held = routing.held;
    const int w = m_cfg.weighting;
    const int lanes = m_kernel->lanes;
    std::array<int, kMaxBands> passOf{};
    passOf.fill(-1);
    int passes = 0;
    for (const auto& level : groups)
        for (const std::vector<Planned>& group : level) {
            for (const Planned& p : group) passOf[p.band] = passes;
            ++passes;
        }
    // Low-pass outputs that leave their pass: the input of another pass, of the next level or of the bands
    // filtered from the held signal.
    std::array<int, kMaxBands> arrayOf{};
    arrayOf.fill(-1);
    const auto needArray = [&](int b) {
        if (arrayOf[b] < 0) {
            m_arraySizes.push_back(static_cast<std::size_t>(m_rateLevels[m_bandLevel[b]].count));
            arrayOf[b] = static_cast<int>(m_arraySizes.size()) - 1;
        }
        return arrayOf[b];
    };
    for (std::size_t r = 0; r < levelBands.size(); ++r)
        for (const Planned& p : levelBands[r])
            if (p.source >= 0 && passOf[p.source] != passOf[p.band]) needArray(p.source);
    for (std::size_t r = 1; r < m_rateLevels.size(); ++r) needArray(m_rateLevels[r].from);
    if (held >= 0 && !fromHeld.empty()) needArray(held);
    // The task that writes each array, and a pass's task with the tasks whose arrays it reads.
    std::vector<int> writer(m_arraySizes.size(), -1);
    const auto addPassTask = [&](std::vector<std::pair<int, int>> outputs) {
        Pass& pass = *m_passes.back();
        Task task{kPassTask, static_cast<int>(m_passes.size()) - 1, true, {},
                  pass.pass.LaneSteps(m_rateLevels[pass.level].count)};
        for (const SignalRef& ref : pass.sources)
            if (ref.stride != 0 && ref.array >= 0 &&
                std::find(task.inputs.begin(), task.inputs.end(), writer[ref.array]) == task.inputs.end())
                task.inputs.push_back(writer[ref.array]);
        for (const auto& [cascade, array] : outputs) writer[array] = static_cast<int>(m_tasks.size());
        pass.outputs = std::move(outputs);
        m_tasks.push_back(std::move(task));
    };

    CFilterDesign lp, hp, tw;
    const auto append = [](std::vector<SectionCoefficients>& to, const CFilterDesign& f) {
        for (int k = 0; k < f.sections(); ++k) to.push_back({f.a1(k), f.a2(k), f.b0(k), f.b1(k), f.b2(k)});
    };
    // A cascade whose last filter, the time weighting (one section), runs on the squares of its input.
    const auto power = [&](std::initializer_list<const CFilterDesign*> filters, int slot) {
        CLanePass::Cascade c;
        for (const CFilterDesign* f : filters) append(c.sections, *f);
        c.squared = static_cast<int>(c.sections.size()) - 1;
        c.tail = &m_tails[slot];
        return c;
    };
    const auto bandDesigns = [&](int b, bool lowPass) {
        const BandInfo& band = m_bands[b];
        const double rate = m_runs[b].rate;
        tw.DesignTimeWeighting(rate, m_cfg.cr);
        return (!lowPass || lp.Design(kButterworth, kBandLowRipple, kLowPass, kBandOrder, rate, band.upper)) &&
               hp.Design(kButterworth, kBandHighRipple, kHighPass, kBandOrder, rate, band.lower);
    };
    // The signal a band reads from outside its pass.
    const auto outside = [&](int r, int source) {
        if (source >= 0) return SignalRef{arrayOf[source], 1};
        if (r == 0) return SignalRef{-1, 1};
        return SignalRef{arrayOf[m_rateLevels[r].from], m_rateLevels[r].thinning};
    };

    for (std::size_t r = 0; r < groups.size(); ++r) {
        for (const std::vector<Planned>& group : groups[r]) {
            std::vector<CLanePass::Cascade> cascades;
            std::vector<SignalRef> sources;
            std::vector<std::pair<int, int>> outputs;
            std::array<int, kMaxBands> lowPassCascade{};
            for (const Planned& p : group) {
                if (!bandDesigns(p.band, p.lowPass)) return false;
                const bool inside = p.source >= 0 && passOf[p.source] == passOf[p.band];
                const int from = inside ? lowPassCascade[p.source] : -1;
                if (p.lowPass) {
                    CLanePass::Cascade c;
                    append(c.sections, lp);
                    c.fromCascade = from;
                    if (arrayOf[p.band] >= 0) outputs.emplace_back(static_cast<int>(cascades.size()), arrayOf[p.band]);
                    lowPassCascade[p.band] = static_cast<int>(cascades.size());
                    cascades.push_back(std::move(c));
                    sources.push_back(inside ? SignalRef{} : outside(static_cast<int>(r), p.source));
                }
                CLanePass::Cascade leaf = power({&hp, &tw}, p.band + 2);
                leaf.fromCascade = p.lowPass ? lowPassCascade[p.band] : from;
                cascades.push_back(std::move(leaf));
                sources.push_back(p.lowPass || inside ? SignalRef{} : outside(static_cast<int>(r), p.source));
            }
            if (!AddPass(static_cast<int>(r), std::move(cascades), std::move(sources))) return false;
            addPassTask(std::move(outputs));
        }
    }

    // F, and W when it runs on the block itself.
    {
        CFilterDesign f;
        f.DesignTimeWeighting(m_cfg.rate, m_cfg.cr);
        std::vector<CLanePass::Cascade> cascades{power({&f}, 0)};
        m_ownWeighting = false;
        if (w >= kWeightA) {
            m_wRateHz = m_cfg.rate >= kAcRate ? m_cfg.rate : kAcRate;
            if (w == kWeightC) {
                m_weighting.DesignC(m_wRateHz);
            } else {
                m_weighting.DesignA(m_wRateHz);
            }
            tw.DesignTimeWeighting(m_wRateHz, m_cfg.cr);
            if (m_cfg.rate >= kAcRate) {
                cascades.push_back(power({&m_weighting, &tw}, 1));
            } else {
                m_ownWeighting = true;
                m_wPass = std::make_unique<CLanePass>();
                if (!m_wPass->Build(*m_kernel, {power({&m_weighting, &tw}, 1)})) return false;
            }
        } else if (w >= 0) {
            m_ownWeighting = true;
            m_wRateHz = kVibRate;
            CLanePass::Cascade low;
            append(low.sections, m_vibLowPass);
            low.out = m_wIn.data();
            m_wLowPass = std::make_unique<CLanePass>();
            if (!m_wLowPass->Build(*m_kernel, {std::move(low)})) return false;
            if (!m_vibHighPass.Design(kChebyshev, 0.03, kHighPass, 4, kVibRate, 0.9)) return false;
            if (w == kWeightLvz) {
                m_weighting.SetLvz();
            } else if (w == kWeightLvxy) {
                m_weighting.SetLvxy();
            } else {
                m_weighting.SetG();
            }
            tw.DesignTimeWeighting(kVibRate, m_cfg.cr);
            m_wPass = std::make_unique<CLanePass>();
            if (!m_wPass->Build(*m_kernel, {power({&m_vibHighPass, &m_weighting, &tw}, 1)})) return false;
        }
        std::vector<SignalRef> sources(cascades.size(), SignalRef{-1, 1});
        if (!AddPass(0, std::move(cascades), std::move(sources))) return false;
        addPassTask({});
        if (m_ownWeighting) {
            // The weighting's input at its own rate (the resampling keeps nothing from block to block; the
            // vibration low-pass before it does), then the weighting on it.
            const int n = m_cfg.samplesPerBlock;
            constexpr long long kResampledCost = 48;
            m_tasks.push_back(Task{kWeightingInput, -1, m_wLowPass != nullptr, {},
                                   kResampledCost * WeightingCount(n) + (m_wLowPass ? m_wLowPass->LaneSteps(n) : 0)});
            m_tasks.push_back(Task{kWeightingPass, -1, true, {static_cast<int>(m_tasks.size()) - 1},
                                   m_wPass->LaneSteps(WeightingCount(n))});
            if (m_wLowPass) {
                m_sectionSteps += m_wLowPass->SectionSteps(n);
                m_laneSteps += m_wLowPass->LaneSteps(n);
            }
            m_sectionSteps += m_wPass->SectionSteps(WeightingCount(n));
            m_laneSteps += m_wPass->LaneSteps(WeightingCount(n));
        }
    }

    // The bands filtered from the held signal, each whole (low-pass, high-pass, time weighting) in one lane.
    for (std::size_t first = 0; first < fromHeld.size(); first += static_cast<std::size_t>(lanes)) {
        std::vector<CLanePass::Cascade> cascades;
        std::vector<SignalRef> sources;
        for (std::size_t k = first; k < std::min(fromHeld.size(), first + lanes); ++k) {
            if (!bandDesigns(fromHeld[k], true)) return false;
            cascades.push_back(power({&lp, &hp, &tw}, fromHeld[k] + 2));
            sources.push_back(SignalRef{arrayOf[held], 1});
        }
        if (!AddPass(m_bandLevel[fromHeld[first]], std::move(cascades), std::move(sources))) return false;
        addPassTask({});
    }
    return true;
}

bool CBandLevelChain::Compute(int blockNo, const double* samples, int n) {
    if (!Begin(blockNo, samples, n, 0)) return false;
    // In this order every task finds its input complete.
    for (int t = 0; t < TaskCount(); ++t) RunTask(t, 0);
    return End(0);
}

bool CBandLevelChain::Begin(int blockNo, const double* samples, int n, int flight) {
    if (m_slots == 0 || flight < 0 || flight >= static_cast<int>(m_flights.size())) return false;
    Flight& f = m_flights[flight];
    f.block = blockNo;
    f.begun = false;
    f.msCount.fill(0);
    std::fill_n(f.ran.get(), m_tasks.size(), false);
    if (samples == nullptr || n < 1 || n > m_cfg.samplesPerBlock || !CheckBlock(f, n)) {
        m_counters.fill(-1);
        return false;
    }
    f.samples = samples;
    f.n = n;
    f.begun = true;
    return true;
}

// Checks that every filter can run on this block at the rate it runs at (a filter needs more values than its
// order), puts the zero mean squares of the bands that are not computed, and notes where the tails of the others
// start.
bool CBandLevelChain::CheckBlock(Flight& f, int n) {
    for (int s = 0; s < m_slots; ++s)
        if (m_counters[s] < 0) return false;
    f.counts[0] = n;
    for (std::size_t r = 1; r < m_rateLevels.size(); ++r)
        f.counts[r] = m_linear.OutputCount(f.counts[r - 1], m_rateLevels[r - 1].rate, m_rateLevels[r].rate);
    const double out = m_cfg.levelOutHz;
    const auto zero = [&](int slot, int count) {
        if (count > static_cast<int>(f.ms[slot].size())) return false;
        std::fill_n(f.ms[slot].begin(), count, 0.0);
        f.msCount[slot] = count;
        return true;
    };
    const auto tail = [&](int slot, int count, double rate) {
        const int steps = m_linear.OutputCount(count, rate, out);
        if (steps > static_cast<int>(f.ms[slot].size())) return false;
        f.tails[slot] = TailStart{count, rate};
        f.msCount[slot] = steps;
        return true;
    };
    // F, and W on the block: a time weighting needs 2 values, the A weighting 5, the C weighting 3.
    const int w = m_cfg.weighting;
    if (n < 2 || (w >= kWeightA && !m_ownWeighting && n < (w == kWeightC ? 3 : 5))) return false;
    if (!tail(0, n, m_cfg.rate)) return false;
    if (w < 0) {
        if (!zero(1, m_steps)) return false;
    } else if (!m_ownWeighting) {
        if (!tail(1, n, m_cfg.rate)) return false;
    } else {
        const int count = WeightingCount(n);
        if (w >= kWeightA) {
            if (count < (w == kWeightC ? 3 : 5)) return false;
        } else {
            // The 240 Hz low-pass (order 14) on the block, then at 1000 Hz the 0.9 Hz high-pass (order 4), the
            // weighting (Lvz order 5, Lvxy 1, G 9) and the time weighting.
            if (n < 15 || count < std::max(5, m_weighting.order() + 1)) return false;
        }
        if (count > f.wCapacity || !tail(1, count, m_wRateHz)) return false;
    }
    for (int b = 0; b < bandCount(); ++b) {
        const int level = m_bandLevel[b];
        const int count = f.counts[level];
        const double rate = m_rateLevels[level].rate;
        if (!m_runs[b].computed) {
            if (!zero(b + 2, m_linear.OutputCount(count, rate, out))) return false;
            continue;
        }
        // The band's high-pass has order 22.
        if (count < kBandOrder + 1 || !tail(b + 2, count, rate)) return false;
    }
    return true;
}

void CBandLevelChain::StartTail(int slot, Flight& f) {
    m_tails[slot].Begin(f.tails[slot].count, f.tails[slot].rate, m_cfg.levelOutHz, f.ms[slot].data(),
                        f.msCount[slot]);
}

void CBandLevelChain::RunPass(int index, Flight& f) {
    Pass& p = *m_passes[index];
    p.pass.Begin(f.counts[p.level]);
    for (std::size_t c = 0; c < p.sources.size(); ++c) {
        const SignalRef& ref = p.sources[c];
        if (ref.stride == 0) continue;  // fed inside the pass
        p.pass.SetSource(static_cast<int>(c), ref.array < 0 ? SignalSource{f.samples, 1, nullptr}
                                                            : SignalSource{f.arrays[ref.array].get(), ref.stride,
                                                                           nullptr});
    }
    for (const auto& [cascade, array] : p.outputs) p.pass.SetOutput(cascade, f.arrays[array].get());
    for (int slot : p.tails) StartTail(slot, f);
    p.pass.Advance(INT_MAX);
}

void CBandLevelChain::RunTask(int task, int flight) {
    FlushDenormals flush;
    Flight& f = m_flights[flight];
    if (!f.begun) return;
    const Task& t = m_tasks[task];
    bool ok = true;
    switch (t.kind) {
    case kPassTask:
        RunPass(t.pass, f);
        ok = m_passes[t.pass]->pass.Done();
        for (int slot : m_passes[t.pass]->tails) ok = ok && m_tails[slot].Done();
        break;
    case kWeightingInput: {
        // The block resampled (after the vibration weightings' 240 Hz low-pass).
        const int capacity = f.wCapacity;
        if (m_cfg.weighting >= kWeightA) {
            f.wCount = m_doubling.Resample(f.samples, f.n, m_cfg.rate, f.wRate.get(), capacity, kAcRate);
        } else {
            m_wLowPass->Begin(f.n);
            m_wLowPass->SetSource(0, SignalSource{f.samples, 1, nullptr});
            m_wLowPass->Advance(INT_MAX);
            ok = m_wLowPass->Done();
            f.wCount =
                WeightingResampler().Resample(m_wIn.data(), f.n, m_cfg.rate, f.wRate.get(), capacity, kVibRate);
        }
        break;
    }
    case kWeightingPass:
        // The weighting and the time weighting at the weighting's rate.
        m_wPass->Begin(f.wCount);
        m_wPass->SetSource(0, SignalSource{f.wRate.get(), 1, nullptr});
        StartTail(1, f);
        m_wPass->Advance(INT_MAX);
        ok = m_wPass->Done() && m_tails[1].Done();
        break;
    }
    f.ran[task] = ok;
}

bool CBandLevelChain::End(int flight) {
    if (flight < 0 || flight >= static_cast<int>(m_flights.size())) return false;
    Flight& f = m_flights[flight];
    bool ok = f.begun;
    for (std::size_t t = 0; ok && t < m_tasks.size(); ++t) ok = f.ran[t];
    f.begun = false;
    m_ended = flight;
    m_counters.fill(ok ? f.block : -1);
    return ok;
}

// The A and C weightings below 18 kHz double the block's rate (or resample it to 18 kHz); the vibration
// weightings bring it to 1000 Hz: linearly from 10 kHz and from whole multiples of 1000 Hz, else by the cubic
// kernel.
const CResampler& CBandLevelChain::WeightingResampler() const {
    const double rate = m_cfg.rate;
    if (m_cfg.weighting >= kWeightA) return m_doubling;
    const bool linear = rate >= 10000.0 || (rate >= kVibRate && Multiple(rate, kVibRate));
    return linear ? static_cast<const CResampler&>(m_linear) : m_doubling;
}

int CBandLevelChain::WeightingCount(int n) const { return WeightingResampler().OutputCount(n, m_cfg.rate, m_wRateHz); }

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

bool CBandLevelChain::MakeLevels() {
    if (m_slots == 0) return false;
    const double k = m_cfg.lvl - 20.0 * std::log10(m_cfg.calRms);
    const Flight& f = m_flights[m_ended];
    for (int s = 0; s < m_slots; ++s) {
        if (f.msCount[s] != m_steps) return false;
        const double corr = s >= 2 ? m_corr[s - 2] : 0.0;
        float* out = m_levels.data() + static_cast<std::size_t>(s) * m_steps;
        for (int j = 0; j < m_steps; ++j) {
            // A power too small for any level (the first steps of a filter settling from rest) is no power.
            const double ms = f.ms[s][j];
            const double level = ms > 0.0 ? std::max(10.0 * std::log10(ms) + k, kNoPowerDb) : kNoPowerDb;
            out[j] = static_cast<float>(level + corr);
        }
    }
    return true;
}

}  // namespace murtesk::dsp
