// What the calculation screen shows, as plain data: the measurement, the channel, the band slot and
// the LE range of that band. The form keeps one and sets it as the user chooses; the outputs and the
// range editors work from it and the model, never from the form's controls.
#pragma once

#include "model/ch_measure.h"
#include "model/measure.h"
#include "model/preserve.h"
#include "platform/dates.h"
#include "time_window.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace murtesk {

// The display text of position `position` (1-based) of a series whose position 1 lies at `start`:
// "yyyy/mm/dd hh:mm:ss" at start + (p - 1) / rate, or "----/--/-- --:--:--" when the position is no
// number or the rate is unusable.
std::string PositionDateText(const Variant& position, Date start, double rate);

// The caption of a band slot of a channel: "Ｆ特性" for slot 1, the weighting's name for slot 2, the
// band's name from slot 3 on.
std::string BandCaption(const CChMeasureCondition& condition, std::int16_t slot);

struct ShownSelection {
    // A range of the shown channel as whole positions and as the texts of its dates.
    struct Range {
        std::int64_t S = 0;
        std::int64_t E = 0;
        std::string startText;
        std::string endText;
    };

    std::int32_t measureIndex = 0;  // 1-based; 0 before the first set-up
    std::shared_ptr<CMeasure> measure;
    // The shown channel: kept across return and navigation; its owner may have dropped it.
    std::shared_ptr<CChMeasure> channel;
    std::int32_t channelNumber = 0;   // 1-based in measure->ChMeasures; 0 when none is chosen
    std::int32_t listedChannels = 0;  // the analysed channels the screen lists (1..listedChannels)
    std::int16_t band = 0;            // the band slot, 1-based

    // The shown band's statistics record; null without a channel or when its band list is too short.
    CBandLCalcInfo* BandInfo() const;
    // The shown channel's level rate; 0 without a channel.
    double Rate() const;
    // The folder of a band slot's level files of the shown channel in the project saved at
    // `projectPath`; empty without a channel.
    std::string BandFolder(const std::string& projectPath, std::int16_t slot) const;
    std::string BandCaption() const;
    // The shown band's first LE range; nothing without a measurement, a channel, an LE range, or when an
    // end is no position.
    std::optional<Range> LE() const;
    // The dates of the first LE range as the screen shows them ("----/--/-- --:--:--" without one).
    std::string LEStartText() const;
    std::string LEEndText() const;
    // A range's ends in milliseconds from the start, (p - 1) / rate x 1000 with halves to even; false
    // without a channel or when they are no 32-bit milliseconds.
    bool RangeMs(const CScope& range, std::int32_t& startMs, std::int32_t& endMs) const;
    // The split recording of channel `channel` (1-based, existing) in the recording folder recWav.
    std::string SplitRecording(const std::string& recWav, std::int32_t channel) const;
};

// The shown channel's window as the level chart uses it.
struct WindowState {
    TimeWindow window;
    Date start = 0.0;  // of the measurement
    Date end = 0.0;
    std::int64_t lengthSec = 0;  // whole seconds from start to end
    std::int64_t startSec = 0;   // whole seconds from start to the window's start
    double rate = 0.0;
};
// False when the window cannot be drawn (no measurement, no channel, no window).
bool ReadWindow(const ShownSelection& shown, WindowState& state);

}  // namespace murtesk
