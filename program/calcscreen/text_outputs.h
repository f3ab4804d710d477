// The calculation screen's text outputs as functions of what the screen shows and of the project:
// no control is read. Each writes `path` through a text output that takes the file's place only when
// it is whole, so a failed output leaves the file that was there as it was and no partial file, and
// gives true when the file was written. They run on the calling thread (the statistics of the
// partitioned and mark-range outputs on the processor's cores) and show nothing: the form frames
// them with its save dialog and messages.
#pragma once

#include "shown_selection.h"

#include "model/preserve.h"
#include "model/scopes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace murtesk {

// The stored statistics of every analysed channel of the shown measurement.
bool WriteCalcTextFile(const std::string& path, const CPreserve& doc, const ShownSelection& shown);

// The pieces of `minutes` of the shown band's series (valueCount values) of the shown channel; none
// without a channel or values.
CScopes PartitionAreas(const ShownSelection& shown, std::int32_t minutes, std::int32_t valueCount);
// Per piece and channel the statistics of every slot, or of the shown slot alone (W for a channel
// that lacks it), computed afresh over the piece carried to the channel's rate.
bool WritePartitionAreaCalc(const std::string& path, const CPreserve& doc, const ShownSelection& shown,
                            const CScopes& parts, bool calcAreaInfluence, bool allBand);

// The shown band's level series thinned to every `period`-th value (at least 1): over the whole
// measurement (area 0), or over the chart's span (area 1) whose values are `windowLevels`.
bool WriteLevelTextFile(const std::string& path, const CPreserve& doc, const ShownSelection& shown,
                        std::int16_t period, std::int16_t area, std::span<const float> windowLevels);
// The shown band's series resampled to ten times its rate by the analysis library over the whole
// measurement (area 0) or the chart's span (area 1). Nothing when there is no series to resample or
// the library is missing.
std::optional<bool> WriteResampledLevels(const std::string& path, const CPreserve& doc, const ShownSelection& shown,
                                         std::int16_t area);

// The levels of the shown band's LE range with its header.
bool WriteLETextFile(const std::string& path, const CPreserve& doc, const ShownSelection& shown);
// The levels of the LE range as columns of every slot and/or every channel of the measurement. On a
// failure of the file system `error` is the system's error number (else it is left 0).
bool WriteLETextFileOfChBands(const std::string& path, const CPreserve& doc, const ShownSelection& shown,
                              bool allChannels, bool allBands, int& error);

// The mark-range statistics of the shown channel on the shown band slot, with every slot's table
// (allBand) or the shown slot's alone; or carried to every channel of the measurement.
// calcAreaInfluence: each slot leaves its excluded ranges out.
bool WriteMarkAreaCalc(const std::string& path, const ShownSelection& shown, bool allBand, bool calcAreaInfluence);
bool WriteAllChMarkAreaCalc(const std::string& path, const ShownSelection& shown, bool calcAreaInfluence);

}  // namespace murtesk
