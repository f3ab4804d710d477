#include "band_frequency.h"

#include <cmath>

#include "model/band_slots.h"

namespace murtesk::import {

namespace {
bool IsThird(int kind) { return kind == kOneThirdOctaveBandMode; }
}  // namespace

double GetBandCenterHz(int kind, int band)
{
    if (band == 0) {
        return 0.0;
    }
    if (IsThird(kind)) {
        return 1000.0 * std::pow(10.0, (16.0 - band) / 10.0);
    }
    return 1000.0 * std::pow(10.0, 3.0 * (7.0 - band) / 10.0);
}

double GetBandUpperHz(int kind, double f)
{
    if (!(f > 0.0)) {
        return 0.0;
    }
    return f * std::pow(10.0, IsThird(kind) ? 0.05 : 0.15);
}

double GetBandLowerHz(int kind, double f)
{
    if (!(f > 0.0)) {
        return 0.0;
    }
    return f * std::pow(10.0, IsThird(kind) ? -0.05 : -0.15);
}

int GetBandNoOfHz(int kind, double f)
{
    if (!(f > 0.0)) {
        return 0;
    }
    const int last = SlotCount(BandListMode(static_cast<std::int16_t>(kind)));
    for (int i = 3; i <= last; ++i) {
        const double centre = GetBandCenterHz(kind, i);
        if (GetBandLowerHz(kind, centre) < f && f < GetBandUpperHz(kind, centre)) {
            return i;
        }
    }
    return 0;
}

}  // namespace murtesk::import
