// Band centres against base-10 values worked out by hand, and band numbers of stored frequencies.
#include "band_frequency.h"

#include <gtest/gtest.h>

namespace murtesk::import {
namespace {

struct CentreCase {
    int kind;
    int band;
    double hz;
};

class BandCentre : public ::testing::TestWithParam<CentreCase> {};

TEST_P(BandCentre, MatchesTheBaseTenSeries)
{
    const CentreCase c = GetParam();
    // Printed values carry 4 to 7 significant digits.
    EXPECT_NEAR(GetBandCenterHz(c.kind, c.band), c.hz, c.hz * 1e-6 + 1e-3);
    // A band's own centre lies inside it.
    EXPECT_EQ(GetBandNoOfHz(c.kind, c.hz), c.band);
}

INSTANTIATE_TEST_SUITE_P(Bands, BandCentre,
                         ::testing::Values(CentreCase{1, 3, 15848.93}, CentreCase{1, 10, 125.8925},
                                           CentreCase{1, 17, 1.0}, CentreCase{3, 3, 19952.62},
                                           CentreCase{3, 16, 1000.0}, CentreCase{3, 47, 0.7943282},
                                           CentreCase{2, 7, 1000.0}));

TEST(BandNumber, CarriesAFrequencyOverToTheOtherKind)
{
    EXPECT_EQ(GetBandNoOfHz(3, 1000.0), 16);
    EXPECT_EQ(GetBandNoOfHz(3, GetBandCenterHz(1, 12)), 31);  // 31.5 Hz
    EXPECT_EQ(GetBandNoOfHz(3, GetBandCenterHz(1, 4)), 7);    // 8 kHz
    EXPECT_EQ(GetBandNoOfHz(1, GetBandCenterHz(3, 16)), 7);
}

TEST(BandNumber, NoBandForNothingOrOutOfRange)
{
    EXPECT_EQ(GetBandNoOfHz(1, 0.0), 0);
    EXPECT_EQ(GetBandNoOfHz(3, -5.0), 0);
    EXPECT_EQ(GetBandCenterHz(1, 0), 0.0);
    EXPECT_EQ(GetBandNoOfHz(1, 40000.0), 0);
    EXPECT_EQ(GetBandNoOfHz(3, 0.5), 0);
    EXPECT_EQ(GetBandUpperHz(3, 0.0), 0.0);
    EXPECT_EQ(GetBandLowerHz(1, -1.0), 0.0);
}

TEST(BandEdges, AreTheHalfBandSteps)
{
    EXPECT_NEAR(GetBandUpperHz(3, 1000.0), 1122.018, 1e-3);
    EXPECT_NEAR(GetBandLowerHz(3, 1000.0), 891.2509, 1e-3);
    EXPECT_NEAR(GetBandUpperHz(1, 1000.0), 1412.538, 1e-3);
    EXPECT_NEAR(GetBandLowerHz(1, 1000.0), 707.9458, 1e-3);
}

}  // namespace
}  // namespace murtesk::import
