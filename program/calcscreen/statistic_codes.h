// The statistic codes of the calculation screen's statistic chooser (cmbCalcL): -1 Leq, 0 Lmax,
// 1..99 Lx, 100 Lmin, 101 LE, 103 LFmax, 104 LWmax; and their names as the chooser lists them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace murtesk {

inline constexpr std::int32_t kCodeLeq = -1;
inline constexpr std::int32_t kCodeLmax = 0;
inline constexpr std::int32_t kCodeLmin = 100;
inline constexpr std::int32_t kCodeLE = 101;
inline constexpr std::int32_t kCodeLFmax = 103;
inline constexpr std::int32_t kCodeLWmax = 104;

// The name of a code: "Ｌeq", "Ｌmax", "Ｌ5", "Ｌmin", "ＬE", "ＬFmax", "ＬWmax"; empty for no code.
inline std::string StatisticName(std::int32_t code) {
    switch (code) {
        case kCodeLeq: return "Ｌeq";
        case kCodeLmax: return "Ｌmax";
        case kCodeLmin: return "Ｌmin";
        case kCodeLE: return "ＬE";
        case kCodeLFmax: return "ＬFmax";
        case kCodeLWmax: return "ＬWmax";
        default: return code >= 1 && code <= 99 ? "Ｌ" + std::to_string(code) : std::string();
    }
}

// The codes in the chooser's order.
inline std::array<std::int32_t, 105> StatisticCodes() {
    std::array<std::int32_t, 105> codes{};
    std::size_t i = 0;
    codes[i++] = kCodeLeq;
    codes[i++] = kCodeLmax;
    for (std::int32_t n = 1; n <= 99; ++n) codes[i++] = n;
    for (const std::int32_t code : {kCodeLmin, kCodeLFmax, kCodeLWmax, kCodeLE}) codes[i++] = code;
    return codes;
}

}  // namespace murtesk
