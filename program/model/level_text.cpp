#include "model/level_text.h"

#include <cmath>
#include <cstdint>

#include "platform/numbers.h"

namespace murtesk {

namespace {

constexpr double kFastLimit = 1e9;

// The level in whole hundredths, halves away from zero; false where FormatNumber must decide.
bool Hundredths(float level, std::int64_t& k) {
    const double x = static_cast<double>(level) * 100.0;
    if (!(std::fabs(x) < kFastLimit * 100.0)) return false;
    k = static_cast<std::int64_t>(std::round(x));
    return true;
}

void AppendDigits(std::string& out, std::uint64_t n, int width) {
    char digits[24];
    int i = 0;
    do {
        digits[i++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    for (; i < width; ++i) digits[i] = '0';
    while (i > 0) out.push_back(digits[--i]);
}

}  // namespace

void AppendLevelLine(std::string& out, float level) {
    std::int64_t k = 0;
    if (!Hundredths(level, k)) {
        out += platform::FormatNumber(level, "000.00");
    } else {
        if (k < 0) out.push_back('-');
        const std::uint64_t a = k < 0 ? static_cast<std::uint64_t>(-k) : static_cast<std::uint64_t>(k);
        AppendDigits(out, a / 100, 3);
        out.push_back('.');
        AppendDigits(out, a % 100, 2);
    }
    out += "\r\n";
}

void AppendPlainLevel(std::string& out, float level) {
    std::int64_t k = 0;
    if (!Hundredths(level, k)) {
        const std::string text = platform::FormatNumber(level, "000.00");
        out += std::isfinite(level) ? platform::NumberToText(std::stod(text)) : text;
        return;
    }
    if (k < 0) out.push_back('-');
    const std::uint64_t a = k < 0 ? static_cast<std::uint64_t>(-k) : static_cast<std::uint64_t>(k);
    AppendDigits(out, a / 100, 1);
    const std::uint64_t f = a % 100;
    if (f == 0) return;
    out.push_back('.');
    if (f % 10 == 0) {
        AppendDigits(out, f / 10, 1);
    } else {
        AppendDigits(out, f, 2);
    }
}

}  // namespace murtesk
