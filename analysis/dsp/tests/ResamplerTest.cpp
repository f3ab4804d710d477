// The resampler family on series with hand-computed answers.
#include "Resampler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace murtesk::dsp;

namespace {

TEST(Resampler, LinearPicksEveryKthValueWhenThinning) {
    std::vector<double> in(48000);
    for (int i = 0; i < 48000; ++i) in[i] = i;
    const auto out = CLinearResampler().Resample(in, 48000, 10);
    ASSERT_EQ(out.size(), 10u);
    for (int j = 0; j < 10; ++j) EXPECT_EQ(out[j], 4800.0 * j);
}

TEST(Resampler, LinearUpsamplingInterpolatesTowardsARepeatedLastValue) {
    std::vector<double> in = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    const auto out = CLinearResampler().Resample(in, 10, 100);
    ASSERT_EQ(out.size(), 100u);
    EXPECT_DOUBLE_EQ(out[15], 15.0);
    EXPECT_DOUBLE_EQ(out[90], 90.0);
    EXPECT_DOUBLE_EQ(out[95], 90.0);  // between value 9 and the repeated value 9
    EXPECT_DOUBLE_EQ(out[99], 90.0);
}

TEST(Resampler, OutputCountsRoundHalfUpForDoublesAndTruncateFor16Bit) {
    CLinearResampler r;
    EXPECT_EQ(r.OutputCount(48000, 48000, 2.5), 3);  // 2.5 values
    EXPECT_EQ(r.OutputCount16(48000, 48000, 2.5), 2);
    EXPECT_EQ(r.OutputCount(48000, 48000, 2.4), 2);
    EXPECT_EQ(r.OutputCount(0, 48000, 10), 0);
    EXPECT_EQ(r.OutputCount(10, 0, 10), 0);
}

TEST(Resampler, DoublingUsesTheHalfSampleKernel) {
    std::vector<double> in = {0, 1, 0, 0};
    const auto out = CDoublingResampler().Resample(in, 100, 200);
    const std::vector<double> expected = {0, 0.6366, 1, 0.6366, 0, -0.2122, 0, 0};
    ASSERT_EQ(out.size(), expected.size());
    for (std::size_t i = 0; i < out.size(); ++i) EXPECT_NEAR(out[i], expected[i], 5e-5) << i;
}

TEST(Resampler, CubicKernelAtQuarterAndHalfPositions) {
    // Kernel weights at f = 0.5: -0.125, 0.625, 0.625, -0.125; at f = 0.25: -0.140625, 0.890625, 0.296875,
    // -0.046875. Indices outside the series repeat its ends.
    const std::vector<double> in = {0, 0, 1, 0, 0};
    const auto out = CDoublingResampler().Resample(in, 1, 4);  // not a doubling: the cubic kernel
    ASSERT_EQ(out.size(), 20u);
    EXPECT_DOUBLE_EQ(out[2], -0.125);
    EXPECT_DOUBLE_EQ(out[5], 0.296875);
    EXPECT_DOUBLE_EQ(out[6], 0.625);
    EXPECT_DOUBLE_EQ(out[7], 0.890625);
    EXPECT_DOUBLE_EQ(out[8], 1.0);
    EXPECT_DOUBLE_EQ(out[19], 0.0);
}

TEST(Resampler, CallerArraysAreFilledUpToTheirCapacity) {
    std::vector<double> in = {1, 2, 3, 4};
    double out[5] = {-9, -9, -9, -9, -9};
    EXPECT_EQ(CLinearResampler().Resample(in.data(), 4, 1, out, 3, 2), 3);
    EXPECT_EQ(out[2], 2.0);
    EXPECT_EQ(out[3], -9.0);
}

TEST(Resampler, SixteenBitFormsTruncateAndClamp) {
    // The half-sample kernel overshoots beyond the 16-bit range between the two middle samples.
    const std::int16_t up[4] = {-32768, 32767, 32767, -32768};
    const std::int16_t down[4] = {32767, -32768, -32768, 32767};
    std::int16_t out[8] = {};
    ASSERT_EQ(CDoublingResampler().Resample(up, 4, 1, out, 8, 2), 8);
    EXPECT_EQ(out[3], 32767);  // clamped, not wrapped
    EXPECT_EQ(out[2], 32767);
    ASSERT_EQ(CDoublingResampler().Resample(down, 4, 1, out, 8, 2), 8);
    EXPECT_EQ(out[3], -32768);
    const std::int16_t ramp[2] = {0, 3};
    std::int16_t lin[4] = {};
    ASSERT_EQ(CLinearResampler().Resample(ramp, 2, 1, lin, 4, 2), 4);
    EXPECT_EQ(lin[1], 1);  // 1.5 truncated
    EXPECT_EQ(lin[3], 3);
}

}  // namespace

namespace {

// A long output is produced in pieces: the pieces, put together, are the whole resampling, for every kernel.
TEST(Resampler, PiecesMakeUpTheWholeOutput) {
    std::vector<double> in(37);
    for (std::size_t i = 0; i < in.size(); ++i) in[i] = static_cast<double>((i * 7919) % 23) - 11.0;
    const CLinearResampler linear;
    const CDoublingResampler doubling;
    const struct {
        const CResampler* r;
        double inRate, outRate;
    } cases[] = {{&linear, 10, 100}, {&linear, 7, 3}, {&doubling, 10, 100}, {&doubling, 50, 100}, {&doubling, 3, 2}};
    for (const auto& c : cases) {
        const auto whole = c.r->Resample(in, c.inRate, c.outRate);
        for (int piece : {1, 3, 16}) {
            std::vector<double> joined;
            std::vector<double> buffer(static_cast<std::size_t>(piece) + 1, -999.0);
            for (int first = 0;; first += piece) {
                const int n = c.r->ResamplePart(in.data(), 37, c.inRate, buffer.data(), first, piece, c.outRate);
                if (n == 0) break;
                ASSERT_LE(n, piece);
                EXPECT_EQ(buffer[static_cast<std::size_t>(piece)], -999.0);  // nothing past the piece
                joined.insert(joined.end(), buffer.begin(), buffer.begin() + n);
            }
            EXPECT_EQ(joined, whole) << c.inRate << " -> " << c.outRate << " in pieces of " << piece;
        }
    }
    EXPECT_EQ(linear.ResamplePart(in.data(), 37, 10, nullptr, 370, 5, 100), 0);
    EXPECT_EQ(doubling.ResamplePart(in.data(), 37, 50, nullptr, 74, 5, 100), 0);
}

}  // namespace
