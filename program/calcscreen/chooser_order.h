// The order of the calculation screen's statistic chooser (cmbCalcL): Ｌeq, Ｌmax, Ｌ1 ... Ｌ99, Ｌmin,
// ＬFmax, ＬWmax, ＬE. The codes and their names are the model's (model/statistic_codes.h).
#pragma once

#include <array>
#include <cstdint>

#include "model/statistic_codes.h"

namespace murtesk {

inline std::array<std::int32_t, 105> CalcStatisticCodes() {
    std::array<std::int32_t, 105> codes{};
    std::size_t i = 0;
    codes[i++] = kCodeLeq;
    codes[i++] = kCodeLmax;
    for (std::int32_t n = 1; n <= 99; ++n) codes[i++] = n;
    for (const std::int32_t code : {kCodeLmin, kCodeLFmax, kCodeLWmax, kCodeLE}) codes[i++] = code;
    return codes;
}

}  // namespace murtesk
