// The statistic codes of both screens' statistic choosers (the item data of cmbCalcL and of the
// band windows' chooser): -1 Leq, 0 Lmax, 1..99 the percentile levels Lx, 100 Lmin, 101 LE,
// 102 the Leq above Lmax - 10 dB, 103 LFmax, 104 LWmax; and the names the choosers show.
#pragma once

#include <cstdint>
#include <string>

namespace murtesk {

inline constexpr std::int32_t kCodeLeq = -1;
inline constexpr std::int32_t kCodeLmax = 0;
inline constexpr std::int32_t kCodeLmin = 100;
inline constexpr std::int32_t kCodeLE = 101;
inline constexpr std::int32_t kCodeUpperLeq = 102;
inline constexpr std::int32_t kCodeLFmax = 103;
inline constexpr std::int32_t kCodeLWmax = 104;

// The name a chooser shows for a code ("Ｌeq", "Ｌ5", "Ｌmin", "Ｌeq(Lmax-10dB)" ...); empty for an
// unknown code.
std::string StatisticName(std::int32_t code);

}  // namespace murtesk
