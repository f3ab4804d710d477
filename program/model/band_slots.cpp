#include "band_slots.h"

#include <array>
#include <cmath>
#include <limits>

#include "platform/numbers.h"

namespace murtesk {
namespace {

struct Slot {
    std::string_view label;
    std::string_view name;
    std::int32_t delay_ms;
};

constexpr Slot kUnknownOctave{"XXXHz", "?Hz帯域", 1};
constexpr Slot kUnknownThird{"XXXHz", "?Hz帯域", 2};

constexpr std::array<Slot, SlotCount(kOctaveBandMode)> kOctave{{
    {"F", "Ｆ特性", 1},          {"W", "補正特性", 1},        {"16000Hz", "16kHz帯域", 1},
    {"8000Hz", "8kHz帯域", 1},   {"4000Hz", "4kHz帯域", 1},   {"2000Hz", "2kHz帯域", 3},
    {"1000Hz", "1kHz帯域", 6},   {"500Hz", "500Hz帯域", 11},  {"250Hz", "250Hz帯域", 22},
    {"125Hz", "125Hz帯域", 42},  {"63Hz", "63Hz帯域", 80},    {"31_5Hz", "31.5Hz帯域", 173},
    {"16Hz", "16Hz帯域", 313},   {"8Hz", "8Hz帯域", 624},     {"4Hz", "4Hz帯域", 1246},
    {"2Hz", "2Hz帯域", 2486},    {"1Hz", "1Hz帯域", 4964},
}};

constexpr std::array<Slot, SlotCount(kOneThirdOctaveBandMode)> kThird{{
    {"F", "Ｆ特性", 2},            {"W", "補正特性", 2},          {"20000Hz", "20kHz帯域", 2},
    {"16000Hz", "16kHz帯域", 2},   {"12500Hz", "12.5kHz帯域", 2}, {"10000Hz", "10kHz帯域", 2},
    {"8000Hz", "8kHz帯域", 2},     {"6300Hz", "6.3kHz帯域", 3},   {"5000Hz", "5kHz帯域", 3},
    {"4000Hz", "4kHz帯域", 4},     {"3150Hz", "3.15kHz帯域", 5},  {"2500Hz", "2.5kHz帯域", 6},
    {"2000Hz", "2kHz帯域", 7},     {"1600Hz", "1.6kHz帯域", 8},   {"1250Hz", "1.25kHz帯域", 15},
    {"1000Hz", "1kHz帯域", 16},    {"800Hz", "800Hz帯域", 18},    {"630Hz", "630Hz帯域", 32},
    {"500Hz", "500Hz帯域", 34},    {"400Hz", "400Hz帯域", 34},    {"315Hz", "315Hz帯域", 35},
    {"250Hz", "250Hz帯域", 41},    {"200Hz", "200Hz帯域", 48},    {"160Hz", "160Hz帯域", 63},
    {"125Hz", "125Hz帯域", 71},    {"100Hz", "100Hz帯域", 84},    {"80Hz", "80Hz帯域", 104},
    {"63Hz", "63Hz帯域", 131},     {"50Hz", "50Hz帯域", 154},     {"40Hz", "40Hz帯域", 180},
    {"31_5Hz", "31.5Hz帯域", 257}, {"25Hz", "25Hz帯域", 303},     {"20Hz", "20Hz帯域", 380},
    {"16Hz", "16Hz帯域", 476},     {"12_5Hz", "12.5Hz帯域", 640}, {"10Hz", "10Hz帯域", 754},
    {"8Hz", "8Hz帯域", 1008},      {"6_3Hz", "6.3Hz帯域", 1192},  {"5Hz", "5Hz帯域", 1500},
    {"4Hz", "4Hz帯域", 1884},      {"3_15Hz", "3.15Hz帯域", 2532}, {"2_5Hz", "2.5Hz帯域", 3188},
    {"2Hz", "2Hz帯域", 4256},      {"1_6Hz", "1.6Hz帯域", 5347},  {"1_25Hz", "1.25Hz帯域", 6757},
    {"1Hz", "1Hz帯域", 8491},      {"0_8Hz", "0.8Hz帯域", 10672},
}};

const Slot& Find(std::int16_t band_mode, std::int16_t slot) {
    if (band_mode == kOneThirdOctaveBandMode) {
        return slot >= 1 && slot <= static_cast<int>(kThird.size()) ? kThird[static_cast<std::size_t>(slot - 1)]
                                                                     : kUnknownThird;
    }
    return slot >= 1 && slot <= static_cast<int>(kOctave.size()) ? kOctave[static_cast<std::size_t>(slot - 1)]
                                                                  : kUnknownOctave;
}

}  // namespace

std::string_view GetBandLabel(std::int16_t band_mode, std::int16_t slot) {
    return Find(band_mode, slot).label;
}

std::string_view GetBandName(std::int16_t band_mode, std::int16_t slot) {
    return Find(band_mode, slot).name;
}

std::int32_t GetBandDelayMs(std::int16_t band_mode, std::int16_t slot) {
    return Find(band_mode, slot).delay_ms;
}

std::int32_t AddBandDelay(std::int16_t band_mode, std::int16_t slot, std::int32_t pos, double rate) {
    const double moved =
        static_cast<double>(pos) + platform::RoundHalfToEven(rate / 1000.0 * GetBandDelayMs(band_mode, slot));
    if (std::isnan(moved)) return pos;
    if (moved < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    if (moved > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(moved);
}

}  // namespace murtesk
