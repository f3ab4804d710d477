// Records as files of older versions hold them, built from the current records' bytes with the
// fields those versions lacked left out.
#pragma once

#include <string>

#include "model/ch_measure.h"
#include "model/measure.h"
#include "record_bytes.h"

namespace murtesk::testing {

inline bool HasBandAxis(FileVersion v) { return v.Major > 3 || (v.Major == 3 && v.Minor >= 2); }

// The channel condition: no StartHz/EndHz before 3.0.0, no LevelOutHz before major version 5
// (every version used here is newer than 1.1.2, so ZeroPlus is there).
inline std::string OldConditionBytes(const CChMeasureCondition& c, FileVersion v) {
    ScopedFileVersion current({7, 1, 0});
    const std::string now = WrittenBytes(c);
    // magic w oct1or3 | StartHz EndHz | CR CALPattern LVL CAL ZeroPlus | LevelOutHz | the rest
    std::string old = now.substr(0, 8);
    if (v.Major >= 3) old += now.substr(8, 16);
    old += now.substr(24, 34);
    if (v.Major >= 5) old += now.substr(58, 8);
    return old + now.substr(66);
}

// The channel: its condition in the old layout, no band graph axis before 3.2.0.
inline std::string OldChannelBytes(const CChMeasure& ch, FileVersion v) {
    ScopedFileVersion current({7, 1, 0});
    Bytes b;
    b.magic().append(OldConditionBytes(ch.ChMeasureCondition, v));
    b.append(WrittenBytes(ch.LevelData)).append(WrittenBytes(ch.CalcXYAxis));
    if (HasBandAxis(v)) b.append(WrittenBytes(ch.HzYAxis));
    b.append(WrittenBytes(ch.BandLCalcInfos)).append(WrittenBytes(ch.RecWaveFiles)).append(WrittenBytes(ch.HorizontalLine));
    return b;
}

inline std::string OldMeasureBytes(const CMeasure& m, FileVersion v) {
    ScopedFileVersion current({7, 1, 0});
    Bytes b;
    b.magic().append(WrittenBytes(m.MeasureCondition)).f64(m.StartTime).f64(m.EndTime);
    b.magic().i32(m.ChMeasures.count());
    for (const auto& ch : m.ChMeasures) b.append(OldChannelBytes(*ch, v));
    return b;
}

// A band value set without its W entry (files before 1.6.1).
template <class Set>
std::string OldBandSetBytes(const Set& set, FileVersion v) {
    ScopedFileVersion current({7, 1, 0});
    const std::string now = WrittenBytes(set);
    const bool hasW = v.Major > 1 || (v.Major == 1 && (v.Minor > 6 || (v.Minor == 6 && v.Revision >= 1)));
    return hasW ? now : now.substr(0, now.size() - 8);
}

}  // namespace murtesk::testing
