// Band value sets: one dB value per octave (COctaveBand1) or one-third-octave (COctaveBand3) band,
// plus the all-pass and the weighted (W) overall entries. They serve as band levels, correction
// tables, correction curves and frequency-weighting tables.
//
// Two index schemes reach the same array: dB(i) indexes it directly in ascending frequency
// (bands, then all-pass, then W); getdB/setdB count backwards from the all-pass entry, so 0 is the
// all-pass entry, -1 is W, 1 the highest band and the last index the lowest band. Index k >= 1 of the
// reversed scheme is band slot k + 2. An index outside either scheme throws std::out_of_range.
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>

#include "model/weighting_tables.h"
#include "model/record_stream.h"

namespace murtesk {

// Common part of the two band value sets. Derived is the concrete set, NumBands its band count.
template <class Derived, int NumBands>
class BandValueSet {
public:
    static constexpr int kBands = NumBands;
    static constexpr int kAllPassEntry = NumBands;
    static constexpr int kWEntry = NumBands + 1;
    static constexpr int kEntries = NumBands + 2;
    // The clamp applied by Set_Weight: a weighted band value lies in [kWeightFloor, kWeightCeiling].
    static constexpr double kWeightFloor = -60.0;
    static constexpr double kWeightCeiling = 170.0;

    double dB(int Index) const { return m_dB[checkedEntry(Index)]; }
    void dB(int Index, double value) { m_dB[checkedEntry(Index)] = value; }

    double getdB(int Index) const { return m_dB[reversedEntry(Index)]; }
    void setdB(int Index, double idB) { m_dB[reversedEntry(Index)] = idB; }

    double dBAllPass() const { return m_dB[kAllPassEntry]; }
    void dBAllPass(double value) { m_dB[kAllPassEntry] = value; }
    double dBW() const { return m_dB[kWEntry]; }
    void dBW(double value) { m_dB[kWEntry] = value; }

    const std::array<double, kEntries>& entries() const { return m_dB; }

    void MeMove(Derived& target) const { target.m_dB = m_dB; }
    Derived MeCopy() const {
        Derived copy;
        MeMove(copy);
        return copy;
    }
    // Exact comparison of every entry; a NaN entry never equals anything.
    bool IsMeEqualTo(const Derived& other) const {
        for (int i = 0; i < kEntries; ++i) {
            if (!(m_dB[i] == other.m_dB[i])) return false;
        }
        return true;
    }

    void SetdBZero() { SetdBInit(0.0); }
    void SetdBInit(double dV) { m_dB.fill(dV); }

    // Adds w band by band and clamps each band to [-60, 170]; a band that w does not pass (-1000)
    // ends at -60. All-pass and W are not touched.
    void Set_Weight(const Derived& w) {
        for (int i = 0; i < kBands; ++i) {
            double v = m_dB[i] + w.m_dB[i];
            if (!(v >= kWeightFloor)) {
                v = kWeightFloor;
            } else if (v > kWeightCeiling) {
                v = kWeightCeiling;
            }
            m_dB[i] = v;
        }
    }

    // Applies A weighting in place: bands the A table does not pass become -60, the others get the
    // table value added (unclamped).
    void SetA_Weight() {
        const auto& table = Derived::weightingTable(Weighting::A);
        for (int i = 0; i < kBands; ++i) {
            if (table[i] == kBandNotPassed) {
                m_dB[i] = kWeightFloor;
            } else {
                m_dB[i] += table[i];
            }
        }
    }

    // Record: magic, then every entry as an 8-byte float in index order. Files before 1.6.1 have no
    // W entry; W then reads as 0.
    bool MeRead(BinaryFile& fileno) {
        if (!ReadMagic(fileno)) return false;
        for (int i = 0; i < kWEntry; ++i) {
            if (!ReadField(fileno, m_dB[i])) return false;
        }
        if (!FileVersionFrom({1, 6, 1})) {
            m_dB[kWEntry] = 0.0;
            return true;
        }
        return ReadField(fileno, m_dB[kWEntry]);
    }
    bool MeWrite(BinaryFile& fileno) const {
        if (!WriteMagic(fileno)) return false;
        for (double v : m_dB) {
            if (!WriteField(fileno, v)) return false;
        }
        return true;
    }

    void SetA() { setTable(Weighting::A); }
    void SetC() { setTable(Weighting::C); }
    void SetG() { setTable(Weighting::G); }
    void SetLvz() { setTable(Weighting::Lvz); }
    void SetLvxy() { setTable(Weighting::Lvxy); }

protected:
    BandValueSet() = default;

    std::array<double, kEntries> m_dB{};

private:
    static std::size_t checkedEntry(int Index) {
        if (Index < 0 || Index >= kEntries) throw std::out_of_range("band value index out of range");
        return static_cast<std::size_t>(Index);
    }
    static std::size_t reversedEntry(int Index) {
        if (Index < -1 || Index > kBands) throw std::out_of_range("band value index out of range");
        return static_cast<std::size_t>(kBands - Index);
    }
    void setTable(Weighting w) {
        const auto& table = Derived::weightingTable(w);
        for (int i = 0; i < kBands; ++i) m_dB[i] = table[i];
    }
};

class COctaveBand3;

// Octave bands 1 Hz .. 16 kHz (entries 0..14), all-pass (15), W (16).
class COctaveBand1 : public BandValueSet<COctaveBand1, 15> {
public:
    COctaveBand1() = default;

    static const std::array<double, 15>& weightingTable(Weighting w) { return octaveWeightingTable(w); }

    // Each octave band takes the one-third-octave band with the same centre frequency (entry 3i + 1).
    // All-pass and W are left as they are.
    void SetdBFromOct3(const COctaveBand3& i_Oct3);

    // clang-format off
    double dB1Hz() const { return m_dB[0]; }      void dB1Hz(double v) { m_dB[0] = v; }
    double dB2Hz() const { return m_dB[1]; }      void dB2Hz(double v) { m_dB[1] = v; }
    double dB4Hz() const { return m_dB[2]; }      void dB4Hz(double v) { m_dB[2] = v; }
    double dB8Hz() const { return m_dB[3]; }      void dB8Hz(double v) { m_dB[3] = v; }
    double dB16Hz() const { return m_dB[4]; }     void dB16Hz(double v) { m_dB[4] = v; }
    double dB31_5Hz() const { return m_dB[5]; }   void dB31_5Hz(double v) { m_dB[5] = v; }
    double dB63Hz() const { return m_dB[6]; }     void dB63Hz(double v) { m_dB[6] = v; }
    double dB125Hz() const { return m_dB[7]; }    void dB125Hz(double v) { m_dB[7] = v; }
    double dB250Hz() const { return m_dB[8]; }    void dB250Hz(double v) { m_dB[8] = v; }
    double dB500Hz() const { return m_dB[9]; }    void dB500Hz(double v) { m_dB[9] = v; }
    double dB1kHz() const { return m_dB[10]; }    void dB1kHz(double v) { m_dB[10] = v; }
    double dB2kHz() const { return m_dB[11]; }    void dB2kHz(double v) { m_dB[11] = v; }
    double dB4kHz() const { return m_dB[12]; }    void dB4kHz(double v) { m_dB[12] = v; }
    double dB8kHz() const { return m_dB[13]; }    void dB8kHz(double v) { m_dB[13] = v; }
    double dB16kHz() const { return m_dB[14]; }   void dB16kHz(double v) { m_dB[14] = v; }
    // clang-format on
};

// One-third-octave bands 0.8 Hz .. 20 kHz (entries 0..44), all-pass (45), W (46).
class COctaveBand3 : public BandValueSet<COctaveBand3, 45> {
public:
    COctaveBand3() = default;

    static const std::array<double, 45>& weightingTable(Weighting w) { return thirdOctaveWeightingTable(w); }

    // clang-format off
    double dB0_8Hz() const { return m_dB[0]; }    void dB0_8Hz(double v) { m_dB[0] = v; }
    double dB1Hz() const { return m_dB[1]; }      void dB1Hz(double v) { m_dB[1] = v; }
    double dB1_25Hz() const { return m_dB[2]; }   void dB1_25Hz(double v) { m_dB[2] = v; }
    double dB1_6Hz() const { return m_dB[3]; }    void dB1_6Hz(double v) { m_dB[3] = v; }
    double dB2Hz() const { return m_dB[4]; }      void dB2Hz(double v) { m_dB[4] = v; }
    double dB2_5Hz() const { return m_dB[5]; }    void dB2_5Hz(double v) { m_dB[5] = v; }
    double dB3_15Hz() const { return m_dB[6]; }   void dB3_15Hz(double v) { m_dB[6] = v; }
    double dB4Hz() const { return m_dB[7]; }      void dB4Hz(double v) { m_dB[7] = v; }
    double dB5Hz() const { return m_dB[8]; }      void dB5Hz(double v) { m_dB[8] = v; }
    double dB6_3Hz() const { return m_dB[9]; }    void dB6_3Hz(double v) { m_dB[9] = v; }
    double dB8Hz() const { return m_dB[10]; }     void dB8Hz(double v) { m_dB[10] = v; }
    double dB10Hz() const { return m_dB[11]; }    void dB10Hz(double v) { m_dB[11] = v; }
    double dB12_5Hz() const { return m_dB[12]; }  void dB12_5Hz(double v) { m_dB[12] = v; }
    double dB16Hz() const { return m_dB[13]; }    void dB16Hz(double v) { m_dB[13] = v; }
    double dB20Hz() const { return m_dB[14]; }    void dB20Hz(double v) { m_dB[14] = v; }
    double dB25Hz() const { return m_dB[15]; }    void dB25Hz(double v) { m_dB[15] = v; }
    double dB31_5Hz() const { return m_dB[16]; }  void dB31_5Hz(double v) { m_dB[16] = v; }
    double dB40Hz() const { return m_dB[17]; }    void dB40Hz(double v) { m_dB[17] = v; }
    double dB50Hz() const { return m_dB[18]; }    void dB50Hz(double v) { m_dB[18] = v; }
    double dB63Hz() const { return m_dB[19]; }    void dB63Hz(double v) { m_dB[19] = v; }
    double dB80Hz() const { return m_dB[20]; }    void dB80Hz(double v) { m_dB[20] = v; }
    double dB100Hz() const { return m_dB[21]; }   void dB100Hz(double v) { m_dB[21] = v; }
    double dB125Hz() const { return m_dB[22]; }   void dB125Hz(double v) { m_dB[22] = v; }
    double dB160Hz() const { return m_dB[23]; }   void dB160Hz(double v) { m_dB[23] = v; }
    double dB200Hz() const { return m_dB[24]; }   void dB200Hz(double v) { m_dB[24] = v; }
    double dB250Hz() const { return m_dB[25]; }   void dB250Hz(double v) { m_dB[25] = v; }
    double dB315Hz() const { return m_dB[26]; }   void dB315Hz(double v) { m_dB[26] = v; }
    double dB400Hz() const { return m_dB[27]; }   void dB400Hz(double v) { m_dB[27] = v; }
    double dB500Hz() const { return m_dB[28]; }   void dB500Hz(double v) { m_dB[28] = v; }
    double dB630Hz() const { return m_dB[29]; }   void dB630Hz(double v) { m_dB[29] = v; }
    double dB800Hz() const { return m_dB[30]; }   void dB800Hz(double v) { m_dB[30] = v; }
    double dB1kHz() const { return m_dB[31]; }    void dB1kHz(double v) { m_dB[31] = v; }
    double dB1_25kHz() const { return m_dB[32]; } void dB1_25kHz(double v) { m_dB[32] = v; }
    double dB1_6kHz() const { return m_dB[33]; }  void dB1_6kHz(double v) { m_dB[33] = v; }
    double dB2kHz() const { return m_dB[34]; }    void dB2kHz(double v) { m_dB[34] = v; }
    double dB2_5kHz() const { return m_dB[35]; }  void dB2_5kHz(double v) { m_dB[35] = v; }
    double dB3_15kHz() const { return m_dB[36]; } void dB3_15kHz(double v) { m_dB[36] = v; }
    double dB4kHz() const { return m_dB[37]; }    void dB4kHz(double v) { m_dB[37] = v; }
    double dB5kHz() const { return m_dB[38]; }    void dB5kHz(double v) { m_dB[38] = v; }
    double dB6_3kHz() const { return m_dB[39]; }  void dB6_3kHz(double v) { m_dB[39] = v; }
    double dB8kHz() const { return m_dB[40]; }    void dB8kHz(double v) { m_dB[40] = v; }
    double dB10kHz() const { return m_dB[41]; }   void dB10kHz(double v) { m_dB[41] = v; }
    double dB12_5kHz() const { return m_dB[42]; } void dB12_5kHz(double v) { m_dB[42] = v; }
    double dB16kHz() const { return m_dB[43]; }   void dB16kHz(double v) { m_dB[43] = v; }
    double dB20kHz() const { return m_dB[44]; }   void dB20kHz(double v) { m_dB[44] = v; }
    // clang-format on
};

inline void COctaveBand1::SetdBFromOct3(const COctaveBand3& i_Oct3) {
    for (int i = 0; i < kBands; ++i) m_dB[i] = i_Oct3.dB(3 * i + 1);
}

}  // namespace murtesk
