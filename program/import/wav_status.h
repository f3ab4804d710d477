// The statuses the import handles: those of the analysis library's workers, named as the import names
// them with the values of the library's own header, and the import's own two.
#pragma once

#include "murtesk_analysis.h"

#include <cstdint>

namespace murtesk::import {

inline constexpr std::int32_t WAVSTATUS_PROGRESS = MURTESK_STATUS_BLOCK;
inline constexpr std::int32_t WAVSTATUS_CALC_END = MURTESK_STATUS_ANALYSIS_DONE;
inline constexpr std::int32_t WAVSTATUS_SPLIT_END = MURTESK_STATUS_SEPARATION_DONE;
inline constexpr std::int32_t WAVSTATUS_STOPPED = MURTESK_STATUS_STOPPED;
inline constexpr std::int32_t WAVSTATUS_CANCELLED = MURTESK_STATUS_GAVE_UP;
inline constexpr std::int32_t WAVSTATUS_NO_DATA = MURTESK_STATUS_NO_DATA;
inline constexpr std::int32_t WAVSTATUS_READ_ERROR = MURTESK_STATUS_FAILED;

// The import's own: the processing fell behind the data, and the request to handle the library's last
// status as if it had just come.
inline constexpr std::int32_t WAVSTATUS_OVERRUN = -9888;
inline constexpr std::int32_t WAVSTATUS_POLL = -12345;

}  // namespace murtesk::import
