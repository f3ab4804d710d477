// Band slots of a channel's level series: slot 1 is the flat level "F", slot 2 the weighted level
// "W", then the bands from the highest frequency down (slots 3..17 for octave analysis, 3..47 for
// one-third-octave analysis). Band mode 3 selects the one-third-octave list; any other value the
// octave list. A slot outside the list has the folder label "XXXHz", the display name "?Hz帯域" and
// the smallest delay of its list.
#pragma once

#include <cstdint>
#include <string_view>

namespace murtesk {

inline constexpr std::int16_t kOctaveBandMode = 1;
inline constexpr std::int16_t kOneThirdOctaveBandMode = 3;

// The most band slots a channel has: those of one-third-octave analysis.
inline constexpr std::int16_t kMaxSlots = 47;

// The number of band slots of a channel analysed in band mode oct1or3: 17 for octaves (1), 47 for
// one-third octaves (3), 0 for any other value (a channel with no band series: the outputs pass it
// over and deleting its files touches no band folder).
constexpr std::int16_t SlotCount(std::int16_t oct1or3) {
    return oct1or3 == kOctaveBandMode ? 17 : oct1or3 == kOneThirdOctaveBandMode ? kMaxSlots : 0;
}

// The band list that band mode oct1or3 names: the one-third-octave list for 3, the octave list for
// any other value. Labels, names, delays, the band layouts and the import's band choice fall back to
// the octave list; SlotCount(BandListMode(m)) is never 0.
constexpr std::int16_t BandListMode(std::int16_t oct1or3) {
    return oct1or3 == kOneThirdOctaveBandMode ? kOneThirdOctaveBandMode : kOctaveBandMode;
}

// The folder label of a slot ("F", "W", "16000Hz", "31_5Hz", "0_8Hz" ...), which names the band's
// folder beside the project file.
std::string_view GetBandLabel(std::int16_t band_mode, std::int16_t slot);
// The display name of a slot ("Ｆ特性", "補正特性", "16kHz帯域", "0.8Hz帯域" ...).
std::string_view GetBandName(std::int16_t band_mode, std::int16_t slot);
// The band filter's delay in milliseconds.
std::int32_t GetBandDelayMs(std::int16_t band_mode, std::int16_t slot);

// A position in a level series moved later by the band filter's delay: pos + round(rate / 1000 x
// delay), halves to the even number, where rate is the channel's level output rate (values per
// second). A result beyond the 32-bit range is held at its limit.
std::int32_t AddBandDelay(std::int16_t band_mode, std::int16_t slot, std::int32_t pos, double rate);

}  // namespace murtesk
