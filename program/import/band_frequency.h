// Centre, edge frequencies and band numbers of the octave and one-third-octave bands. Bands are
// numbered as a channel's band slots: 3 is the highest band, 17 (octave) or 47 (one-third octave)
// the lowest (SlotCount of model/band_slots.h); 0 stands for "no band". kind 3 means one-third
// octave, anything else octave (BandListMode).
#pragma once

namespace murtesk::import {

// 0 for band 0; one-third octave 1000 * 10^((16 - i) / 10); octave 1000 * 10^(3 (7 - i) / 10).
double GetBandCenterHz(int kind, int band);
// Edges of the band centred on f: f * 10^(+-0.05) or f * 10^(+-0.15); 0 when f is not positive.
double GetBandUpperHz(int kind, double f);
double GetBandLowerHz(int kind, double f);
// The first band (from 3 on) whose open interval (lower, upper) holds f; 0 when none does or f <= 0.
int GetBandNoOfHz(int kind, double f);

}  // namespace murtesk::import
