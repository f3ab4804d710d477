// The analysis condition of one channel: band mode and range, frequency and time weighting,
// calibration, level output rate, WAV output settings, level graph axes and a comment. Besides the
// record operations it turns its codes into names and into the values given to the analysis.
//
// Frequency weighting codes w: -1 flat, 0 Lvz, 1 Lvxy, 2 G, 3 A, 4 C, 5 + k the user correction
// characteristic k (counted from 1) of the list the caller passes in.
#pragma once

#include <cstdint>
#include <string>

#include "model/octave_band.h"
#include "model/original_w.h"
#include "model/wave_file_out.h"
#include "model/xy_axis.h"
#include "model/record_stream.h"

namespace murtesk {

class CChMeasureCondition {
public:
    std::int16_t w = 3;
    std::int16_t oct1or3 = 1;
    double StartHz = 0.8;
    double EndHz = 10000.0;
    double CR = 0.125;
    std::int16_t CALPattern = 0;
    double LVL = 94.0;
    double CAL = 5000.0;
    double ZeroPlus = 0.0;
    double LevelOutHz = 10.0;
    CWaveFileOut WaveFileOut;
    std::int16_t BandIndex = 2;
    CXYAxis LevelXYAxis;
    std::string Account;

    // A copy of every field except Account, which stays empty in the copy.
    CChMeasureCondition MeCopy() const;
    // Copies every field except LevelXYAxis into the target (Account included).
    void MeMove(CChMeasureCondition& cpyChMeasureCondition) const;
    // Compares every field except Account.
    bool IsMeEqualTo(const CChMeasureCondition& ChMeasureCondition) const;
    // Record: magic, then every field in declaration order. Files before 3.0.0 lack StartHz and
    // EndHz, files up to 1.1.2 lack ZeroPlus, files before major version 5 lack LevelOutHz; those
    // fields then read as their defaults.
    bool MeRead(BinaryFile& fileno);
    bool MeWrite(BinaryFile& fileno) const;

    // RMS of the calibration signal in sample units, by CALPattern: 0 CAL/sqrt(2), 1 CAL, 2 CAL/2,
    // any other value the RMS of a half-scale 16-bit sine.
    double getCALrms() const;
    // Position of CR in the time-weighting list (FAST, SLOW, VL, IMPULSE, 10mSec, 1mSec); -1 when CR
    // is none of the six time constants.
    std::int32_t getTRENo() const;
    // Short ("FAST") or long full-width ("ＦＡＳＴ") name of CR; empty when CR is none of the six.
    std::string getTREName(bool bD) const;
    // Sets CR from a time-weighting code 0..5 (FAST, VL, SLOW, IMPULSE, 10 ms, 1 ms); false and CR
    // unchanged for any other code.
    bool setCR(std::int32_t TRENo);
    // Short or long name of the frequency weighting w; user characteristics come from originalWs.
    std::string getWName(bool bD, const COriginalWs& originalWs) const;
    // Maps band slot i_BandIndex chosen under band mode i_oct1or3 onto this condition: the same slot
    // when it is F or W or the modes agree, else -1 (also -1 when oct1or3 is neither 1 nor 3).
    std::int16_t GetSameBandIndex(std::int16_t i_oct1or3, std::int16_t i_BandIndex) const;
    // Overwrites both sets with the weighting table of w (zeros for flat and unknown codes, the
    // correction curves of a user characteristic from originalWs).
    void getWValue(COctaveBand1& wOct1, COctaveBand3& wOct3, const COriginalWs& originalWs) const;

private:
    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.w) && io(self.oct1or3) && io.Since({3, 0, 0}, self.StartHz, 0.8) &&
               io.Since({3, 0, 0}, self.EndHz, 10000.0) && io(self.CR) && io(self.CALPattern) && io(self.LVL) &&
               io(self.CAL) && io.After({1, 1, 2}, self.ZeroPlus, 0.0) &&
               io.When(!FileVersionBeforeMajor(5), self.LevelOutHz, 10.0) && io(self.WaveFileOut) &&
               io(self.BandIndex) && io(self.LevelXYAxis) && io(self.Account);
    }

    // The user characteristic that w names, or nullptr.
    static const COriginalW* userCharacteristic(std::int16_t w, const COriginalWs& originalWs);
};

}  // namespace murtesk
