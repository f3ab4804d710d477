// One pass of the band-level chain: several cascades of second-order sections run side by side in the lanes of
// the lane kernel, block by block.
//
// A cascade longer than its share of the lanes is folded: its sections are cut into pieces of equal length (the
// last one filled up with sections that pass their input through), one piece per lane, and each lane takes the
// output of the lane before it one block later. So a lane runs `skew` blocks behind the signal's time, every
// lane's sections stay in order over their samples, and the values are those of the cascade run sample by sample.
// A cascade may also take the output of an earlier cascade of the same pass (again one block later): the chained
// low-passes of one rate level share one pass.
//
// Inputs are signals that may still be growing while the pass runs (another pass writes them): a pass advances
// over the blocks whose input is there, and its outputs grow block by block. The time-weighted powers at the end of
// a cascade go straight into a CLevelTail.
#pragma once

#include <atomic>
#include <vector>

#include "LaneKernel.h"

namespace murtesk::dsp {

struct SectionCoefficients {
    double a1, a2, b0, b1, b2;
};

// The level steps of a power signal: linear interpolation at step j's position j × rate / LevelOutHz, exactly as
// CLinearResampler::Resample computes them over the whole signal, but fed with the signal piece by piece.
// With a hold (the IMPULSE detector) the power first goes through a peak detector: the held value is the larger
// of the power and the last held value times exp(-1 / (rate × decay)), so peaks fall with the time constant
// `decay`; the held value carries on from block to block.
class CLevelTail {
public:
    // decay in seconds, 0 for none. The held value starts at 0.
    void SetHold(double decay);
    // Back to silence: the held value 0.
    void Reset() { m_held = 0.0; }
    // Starts a signal of n values at rate `rate` whose steps go to out (count steps, see CResampler::OutputCount).
    void Begin(int n, double rate, double levelOutHz, double* out, int count);
    // Values first .. first + count - 1 of the signal, value i at values[(i - first) * stride]; pieces in order.
    void Feed(const double* values, int stride, int first, int count);
    // Every step computed (all n values fed).
    bool Done() const { return m_next >= m_count; }

private:
    void Take(const double* values, int stride, int first, int count);

    double m_decay = 0.0;
    double m_keep = 0.0;  // the held value's factor per value at the block's rate
    double m_held = 0.0;
    double m_d = 1.0;
    int m_n = 0;
    int m_count = 0;
    int m_next = 0;
    double m_last = 0.0;  // the value before the current piece
    double* m_out = nullptr;
};

// A signal another pass writes: values produced so far (published with release order once written).
struct SignalSource {
    const double* data = nullptr;
    int stride = 1;                              // the pass takes every stride-th value
    const std::atomic<int>* produced = nullptr;  // null: the whole signal is there
};

class CLanePass {
public:
    struct Cascade {
        std::vector<SectionCoefficients> sections;
        int squared = -1;       // index of the section whose input is squared first; -1 none
        int fromCascade = -1;   // the input: the output of this earlier cascade of the pass; -1: an outside signal
        double* out = nullptr;  // when not null, the output goes here (one value per sample) ...
        std::atomic<int>* produced = nullptr;  // ... and, when not null, the count written is published here
        CLevelTail* tail = nullptr;            // when not null, the output goes to this tail
    };

    // Lays the cascades out over the kernel's lanes; false when they do not fit (more cascades than lanes) or a
    // cascade takes its input from itself or a later one. Allocates every buffer (may throw bad_alloc).
    bool Build(const KernelOps& kernel, std::vector<Cascade> cascades);

    // Starts a block of n samples per cascade. Sources of outside inputs are set after Begin for this block.
    void Begin(int n);
    void SetSource(int cascade, const SignalSource& source);
    // Where a cascade that has an output writes it from this block on (one value per sample).
    void SetOutput(int cascade, double* out) { m_cascades[cascade].out = out; }

    // Runs up to maxBlocks of the pass's blocks whose input is there; returns how many ran. The pass is through the
    // current block of samples when Done().
    int Advance(int maxBlocks);
    bool Done() const { return m_next >= m_blocks; }

    // Sections of all cascades (pieces that only pass their input through not counted) times samples per block:
    // the work of a block in section steps.
    long long SectionSteps(int n) const;
    // What the kernel computes for that work: every lane of every section slot over the block's samples and the
    // blocks by which folded lanes lag. SectionSteps over LaneSteps is the pass's lane occupancy.
    long long LaneSteps(int n) const;
    // The sections per lane of cascades of these lengths over `lanes` lanes: the shortest equal pieces whose lanes
    // fit (as Build lays them out); 0 when there are more cascades than lanes.
    static int DepthFor(int lanes, const std::vector<int>& lengths);
    int lanes() const { return m_lanes; }
    int sectionsPerLane() const { return m_depth; }
    // Resets every section memory to 0.
    void Reset();

private:
    struct Lane {
        int cascade = -1;   // -1: unused
        int piece = 0;      // which piece of the cascade's sections
        int source = -1;    // lane whose output this lane takes (one block later); -1: the cascade's outside input
        int skew = 0;       // blocks behind the signal's time
        bool last = false;  // the cascade's last piece
    };

    void RunBlock(int block);

    const KernelOps* m_kernel = nullptr;
    int m_lanes = 0;
    int m_depth = 0;
    int m_maxSkew = 0;
    std::vector<Cascade> m_cascades;
    std::vector<SignalSource> m_sources;
    std::vector<int> m_lastLane;  // per cascade
    Lane m_lane[kMaxLanes];
    int m_assembly[kMaxLanes] = {};  // per lane: the lane of the last block whose output it takes; -1 outside
    std::vector<LaneSection> m_sections;
    std::vector<double> m_buffers;  // in, out and scratch rows
    double* m_in = nullptr;
    double* m_out = nullptr;
    double* m_scratch = nullptr;
    std::vector<double> m_saved;  // memories of lanes that sit out part of a block
    int m_n = 0;
    int m_block = 0;  // steps per pass block
    int m_blocks = 0;
    int m_next = 0;
};

}  // namespace murtesk::dsp
