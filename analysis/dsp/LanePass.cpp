#include "LanePass.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace murtesk::dsp {

namespace {

// Steps per pass block. Folded cascades lag one block per piece, so short signals take shorter blocks.
constexpr int kMaxBlock = 128, kMinBlock = 16;

int BlockFor(int n, int maxSkew) {
    if (maxSkew == 0) return kMaxBlock;
    int t = kMaxBlock;
    while (t > kMinBlock && t * 24 > n) t /= 2;
    return t;
}

}  // namespace

void CLevelTail::SetHold(double decay) {
    m_decay = decay > 0.0 ? decay : 0.0;
    m_held = 0.0;
}

void CLevelTail::Begin(int n, double rate, double levelOutHz, double* out, int count) {
    m_keep = m_decay > 0.0 ? std::exp(-1.0 / (rate * m_decay)) : 0.0;
    m_d = rate / levelOutHz;
    m_n = n;
    m_count = count;
    m_next = 0;
    m_last = 0.0;
    m_out = out;
}

void CLevelTail::Feed(const double* values, int stride, int first, int count) {
    if (m_decay == 0.0) {
        Take(values, stride, first, count);
        return;
    }
    // The held values, a stretch at a time.
    constexpr int kStretch = 128;
    double held[kStretch];
    for (int done = 0; done < count; done += kStretch) {
        const int k = std::min(kStretch, count - done);
        for (int i = 0; i < k; ++i) {
            m_held = std::max(values[static_cast<long long>(done + i) * stride], m_held * m_keep);
            held[i] = m_held;
        }
        Take(held, 1, first + done, k);
    }
}

void CLevelTail::Take(const double* values, int stride, int first, int count) {
    const int end = first + count;
    // Value i of the signal: from this piece, or the one just before it.
    const auto at = [&](int i) { return i >= first ? values[static_cast<long long>(i - first) * stride] : m_last; };
    while (m_next < m_count) {
        const int j = m_next;
        double v;
        if (j == 0) {
            if (end < 1) break;
            v = at(0);
        } else {
            // As CLinearResampler interpolates at x = j × d over n values.
            const double x = j * m_d;
            if (x < 0.0 || x > m_n || m_n < 1) {
                v = 0.0;
            } else {
                const int k = static_cast<int>(x);
                const int lo = std::min(k, m_n - 1);
                const bool whole = x == k;
                const int hi = whole ? lo : std::min(k + 1, m_n - 1);
                if (hi >= end) break;
                const double vk = at(lo);
                if (whole) {
                    v = vk;
                } else {
                    const double f = x - k;
                    v = vk * (1.0 - f) + at(hi) * f;
                }
            }
        }
        m_out[j] = v;
        ++m_next;
    }
    if (count > 0) m_last = values[static_cast<long long>(count - 1) * stride];
}

bool CLanePass::Build(const KernelOps& kernel, std::vector<Cascade> cascades) {
    m_kernel = &kernel;
    m_lanes = kernel.lanes;
    const int count = static_cast<int>(cascades.size());
    if (count < 1 || count > m_lanes) return false;
    std::vector<int> lengths;
    for (int c = 0; c < count; ++c) {
        const int len = static_cast<int>(cascades[c].sections.size());
        if (len < 1 || cascades[c].fromCascade >= c) return false;
        lengths.push_back(len);
    }
    m_depth = DepthFor(m_lanes, lengths);

    for (Lane& l : m_lane) l = Lane{};
    m_lastLane.assign(count, -1);
    m_maxSkew = 0;
    int l = 0;
    for (int c = 0; c < count; ++c) {
        const int pieces = (static_cast<int>(cascades[c].sections.size()) + m_depth - 1) / m_depth;
        for (int p = 0; p < pieces; ++p, ++l) {
            Lane& lane = m_lane[l];
            lane.cascade = c;
            lane.piece = p;
            lane.source = p > 0 ? l - 1 : cascades[c].fromCascade >= 0 ? m_lastLane[cascades[c].fromCascade] : -1;
            lane.skew = lane.source >= 0 ? m_lane[lane.source].skew + 1 : 0;
            lane.last = p == pieces - 1;
            m_maxSkew = std::max(m_maxSkew, lane.skew);
        }
        m_lastLane[c] = l - 1;
    }

    // Every slot passes its input through until a section of a cascade fills it.
    m_sections.assign(m_depth, LaneSection{});
    for (LaneSection& s : m_sections) std::fill(std::begin(s.b0), std::end(s.b0), 1.0);
    for (int lane = 0; lane < m_lanes; ++lane) {
        if (m_lane[lane].cascade < 0) continue;
        const Cascade& c = cascades[m_lane[lane].cascade];
        const int first = m_lane[lane].piece * m_depth;
        for (int q = 0; q < m_depth; ++q) {
            const int k = first + q;
            if (k >= static_cast<int>(c.sections.size())) break;
            LaneSection& s = m_sections[q];
            const SectionCoefficients& co = c.sections[k];
            s.a1[lane] = co.a1;
            s.a2[lane] = co.a2;
            s.b0[lane] = co.b0;
            s.b1[lane] = co.b1;
            s.b2[lane] = co.b2;
            if (k == c.squared) {
                s.square[lane] = -1;
                s.squares = true;
            }
        }
    }
    for (int lane = 0; lane < m_lanes; ++lane) m_assembly[lane] = m_lane[lane].cascade < 0 ? lane : m_lane[lane].source;
    m_cascades = std::move(cascades);
    m_sources.assign(count, SignalSource{});
    const std::size_t rows = static_cast<std::size_t>(kMaxBlock) * m_lanes;
    m_buffers.assign(3 * rows + 8, 0.0);
    // Rows start on 64-byte boundaries.
    double* base = m_buffers.data();
    base += (8 - (reinterpret_cast<std::uintptr_t>(base) / sizeof(double)) % 8) % 8;
    m_in = base;
    m_out = base + rows;
    m_scratch = base + 2 * rows;
    m_saved.assign(static_cast<std::size_t>(m_depth) * m_lanes * 2, 0.0);
    m_n = 0;
    m_blocks = 0;
    m_next = 0;
    return true;
}

void CLanePass::Reset() {
    for (LaneSection& s : m_sections) {
        std::fill(std::begin(s.w1), std::end(s.w1), 0.0);
        std::fill(std::begin(s.w2), std::end(s.w2), 0.0);
    }
}

void CLanePass::Begin(int n) {
    m_n = n;
    m_block = BlockFor(n, m_maxSkew);
    m_blocks = n > 0 ? m_maxSkew + (n + m_block - 1) / m_block : 0;
    m_next = 0;
}

void CLanePass::SetSource(int cascade, const SignalSource& source) { m_sources[cascade] = source; }

int CLanePass::DepthFor(int lanes, const std::vector<int>& lengths) {
    if (lengths.empty() || static_cast<int>(lengths.size()) > lanes) return 0;
    const auto lanesFor = [&](int depth) {
        int used = 0;
        for (int len : lengths) used += (len + depth - 1) / depth;
        return used;
    };
    int depth = 1;
    while (lanesFor(depth) > lanes) ++depth;
    return depth;
}

long long CLanePass::LaneSteps(int n) const {
    if (n < 1) return 0;
    return static_cast<long long>(m_lanes) * m_depth * (n + static_cast<long long>(m_maxSkew) * BlockFor(n, m_maxSkew));
}

long long CLanePass::SectionSteps(int n) const {
    long long steps = 0;
    for (const Cascade& c : m_cascades) steps += static_cast<long long>(c.sections.size()) * n;
    return steps;
}

int CLanePass::Advance(int maxBlocks) {
    int done = 0;
    for (; done < maxBlocks && m_next < m_blocks; ++done) {
        const int t0 = m_next * m_block;
        for (int l = 0; l < m_lanes; ++l) {
            const Lane& lane = m_lane[l];
            if (lane.cascade < 0 || lane.source >= 0) continue;
            const SignalSource& src = m_sources[lane.cascade];
            const int need = std::min(m_n, t0 + m_block - lane.skew * m_block);
            if (src.produced == nullptr || need <= 0) continue;
            const long long underlying = static_cast<long long>(need - 1) * src.stride + 1;
            if (src.produced->load(std::memory_order_acquire) < underlying) return done;
        }
        RunBlock(m_next);
        ++m_next;
    }
    return done;
}

void CLanePass::RunBlock(int block) {
    const int w = m_lanes, t = m_block, t0 = block * t;
    int begin[kMaxLanes], end[kMaxLanes];
    bool whole = true;
    // Where each lane runs in this block (its samples 0 .. n - 1 fall on steps skew × t on).
    for (int l = 0; l < w; ++l) {
        const Lane& lane = m_lane[l];
        begin[l] = end[l] = 0;
        if (lane.cascade < 0) continue;
        const int offset = lane.skew * t - t0;
        begin[l] = std::clamp(offset, 0, t);
        end[l] = std::clamp(offset + m_n, 0, t);
        whole = whole && begin[l] == 0 && end[l] == t;
    }
    // The input rows. A pass reads at most one outside signal (every lane that starts a cascade reads the same
    // one), so while every lane runs the whole block each row is the last block's outputs rearranged, with that
    // signal's value in some lanes: the kernel builds the rows as it goes.
    LaneAssembly assembly{m_out, nullptr, 0, m_assembly};
    if (whole) {
        for (int l = 0; l < w; ++l)
            if (m_lane[l].cascade >= 0 && m_lane[l].source < 0) {
                const SignalSource& src = m_sources[m_lane[l].cascade];
                const double* outside = src.data + static_cast<long long>(t0 - m_lane[l].skew * t) * src.stride;
                // Lanes that read different signals take the general way below.
                whole = whole &&
                        (assembly.outside == nullptr || (assembly.outside == outside && assembly.stride == src.stride));
                assembly.outside = outside;
                assembly.stride = src.stride;
            }
    }
    if (!whole) {
        for (int l = 0; l < w; ++l) {
            const Lane& lane = m_lane[l];
            if (lane.cascade < 0) continue;
            const int offset = lane.skew * t - t0;
            double* in = m_in + l;
            for (int i = 0; i < begin[l]; ++i) in[i * w] = 0.0;
            if (lane.source >= 0) {
                const double* prev = m_out + lane.source;
                for (int i = begin[l]; i < end[l]; ++i) in[i * w] = prev[i * w];
            } else {
                const SignalSource& src = m_sources[lane.cascade];
                const long long stride = src.stride;
                for (int i = begin[l]; i < end[l]; ++i) in[i * w] = src.data[(i - offset) * stride];
            }
            for (int i = end[l]; i < t; ++i) in[i * w] = 0.0;
        }
    }
    // Lanes end their samples at the same place within a block (n mod t steps in), so a block is at most two runs
    // with one set of lanes each. A lane that sits out a run keeps its memories.
    const int r = whole ? 0 : m_n % t;
    const int cuts[3] = {0, r == 0 ? t : r, t};
    for (int part = 0; part < 2; ++part) {
        const int a = cuts[part], b = cuts[part + 1];
        if (b <= a) continue;
        bool any = false, anyIdle = false;
        bool idle[kMaxLanes];
        for (int l = 0; l < w; ++l) {
            const bool active = m_lane[l].cascade >= 0 && begin[l] <= a && end[l] >= b;
            idle[l] = m_lane[l].cascade >= 0 && !active;
            any = any || active;
            anyIdle = anyIdle || idle[l];
        }
        if (!any) continue;
        if (anyIdle)
            for (int q = 0; q < m_depth; ++q)
                for (int l = 0; l < w; ++l)
                    if (idle[l]) {
                        m_saved[(q * w + l) * 2] = m_sections[q].w1[l];
                        m_saved[(q * w + l) * 2 + 1] = m_sections[q].w2[l];
                    }
        m_kernel->run(m_sections.data(), m_depth, m_in + a * w, whole ? &assembly : nullptr, m_out + a * w, m_scratch,
                      b - a);
        if (anyIdle)
            for (int q = 0; q < m_depth; ++q)
                for (int l = 0; l < w; ++l)
                    if (idle[l]) {
                        m_sections[q].w1[l] = m_saved[(q * w + l) * 2];
                        m_sections[q].w2[l] = m_saved[(q * w + l) * 2 + 1];
                    }
    }
    // Outputs, in the signal's time.
    for (std::size_t c = 0; c < m_cascades.size(); ++c) {
        const int l = m_lastLane[c];
        const int first = begin[l] - (m_lane[l].skew * t - t0), last = end[l] - (m_lane[l].skew * t - t0);
        if (last <= first) continue;
        const double* values = m_out + begin[l] * w + l;
        const Cascade& cascade = m_cascades[c];
        if (cascade.out) {
            for (int s = first; s < last; ++s) cascade.out[s] = values[(s - first) * w];
            if (cascade.produced) cascade.produced->store(last, std::memory_order_release);
        }
        if (cascade.tail) cascade.tail->Feed(values, w, first, last - first);
    }
}

}  // namespace murtesk::dsp
