#include "statistic_codes.h"

#include "platform/numbers.h"

namespace murtesk {

std::string StatisticName(std::int32_t code) {
    switch (code) {
        case kCodeLeq: return "Ｌeq";
        case kCodeLmax: return "Ｌmax";
        case kCodeUpperLeq: return "Ｌeq(Lmax-10dB)";
        case kCodeLE: return "ＬE";
        case kCodeLmin: return "Ｌmin";
        case kCodeLFmax: return "ＬFmax";
        case kCodeLWmax: return "ＬWmax";
        default: break;
    }
    if (code >= 1 && code <= 99) return "Ｌ" + platform::FormatNumber(code, "0");
    return {};
}

}  // namespace murtesk
