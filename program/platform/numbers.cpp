#include "numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace murtesk::platform {
namespace {

// A finite value as decimal digits (no leading zeros, at most 15) and the exponent of the first
// digit: value = 0.d1d2d3... x 10^(exponent + 1). Zero gives no digits.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Decimal ToDecimal15(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0.0) return d;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    // "d.dddddddddddddde[+-]xx"
    const std::size_t e = text.find('e');
    d.digits.push_back(text[0]);
    d.digits.append(text.substr(2, e - 2));
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
    d.exponent = exponent;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

}  // namespace

FixedFormat ParseFixedFormat(std::string_view pattern) {
    FixedFormat format{0, 0};
    std::size_t i = 0;
    while (i < pattern.size() && pattern[i] == '0') ++i;
    format.integer_digits = static_cast<int>(i);
    if (i < pattern.size() && pattern[i] == '.') {
        ++i;
        const std::size_t start = i;
        while (i < pattern.size() && pattern[i] == '0') ++i;
        format.decimals = static_cast<int>(i - start);
        if (format.decimals == 0) i = pattern.size() + 1;  // "0." is not a format of ours
    }
    if (format.integer_digits == 0 || i != pattern.size()) {
        throw std::invalid_argument("unsupported number format: " + std::string(pattern));
    }
    return format;
}

std::string FormatNumber(double value, FixedFormat format) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
    const Decimal d = ToDecimal15(value);

    // Digits of the integer part and of the kept decimals, as one run: position k holds the digit
    // of 10^(integer_count - 1 - k).
    const int integer_count = d.digits.empty() ? 0 : std::max(d.exponent + 1, 0);
    const int kept = integer_count + format.decimals;
    std::string run(static_cast<std::size_t>(std::max(kept, 0)), '0');
    // Digit i of d.digits has the place value 10^(exponent - i); it lands at run index
    // integer_count - 1 - (exponent - i).
    bool round_up = false;
    for (std::size_t i = 0; i < d.digits.size(); ++i) {
        const int index = integer_count - 1 - (d.exponent - static_cast<int>(i));
        if (index < 0) continue;  // cannot happen: integer_count covers the first digit
        if (index < kept) {
            run[static_cast<std::size_t>(index)] = d.digits[i];
        } else {
            if (index == kept) round_up = d.digits[i] >= '5';  // halves away from zero
            break;
        }
    }
    if (round_up) {
        int k = kept - 1;
        for (; k >= 0; --k) {
            if (run[static_cast<std::size_t>(k)] == '9') {
                run[static_cast<std::size_t>(k)] = '0';
            } else {
                ++run[static_cast<std::size_t>(k)];
                break;
            }
        }
        if (k < 0) run.insert(run.begin(), '1');
    }
    const std::size_t decimals = static_cast<std::size_t>(format.decimals);
    std::string integer_part = run.substr(0, run.size() - decimals);
    const std::string decimal_part = run.substr(run.size() - decimals);
    // Drop leading zeros beyond the minimum width, then pad up to it.
    std::size_t first = 0;
    while (first + 1 < integer_part.size() && integer_part[first] == '0') ++first;
    integer_part.erase(0, first);
    if (integer_part.empty()) integer_part = "0";
    const auto width = static_cast<std::size_t>(format.integer_digits);
    if (integer_part.size() < width) integer_part.insert(0, width - integer_part.size(), '0');

    const bool all_zero = run.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (d.negative && !all_zero) out.push_back('-');
    out += integer_part;
    if (decimals > 0) {
        out.push_back('.');
        out += decimal_part;
    }
    return out;
}

std::string FormatNumber(double value, std::string_view pattern) {
    return FormatNumber(value, ParseFixedFormat(pattern));
}

std::string NumberToText(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
    const Decimal d = ToDecimal15(value);
    if (d.digits.empty()) return "0";
    std::string out = d.negative ? "-" : "";
    if (d.exponent >= 15 || d.exponent < -4) {
        out.push_back(d.digits[0]);
        if (d.digits.size() > 1) {
            out.push_back('.');
            out.append(d.digits, 1);
        }
        const int e = std::abs(d.exponent);
        out += d.exponent < 0 ? "E-" : "E+";
        if (e < 10) out.push_back('0');
        out += std::to_string(e);
        return out;
    }
    if (d.exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        out += d.digits;
        return out;
    }
    const auto integer_count = static_cast<std::size_t>(d.exponent + 1);
    if (d.digits.size() <= integer_count) {
        out += d.digits;
        out.append(integer_count - d.digits.size(), '0');
    } else {
        out.append(d.digits, 0, integer_count);
        out.push_back('.');
        out.append(d.digits, integer_count);
    }
    return out;
}

double RoundHalfToEven(double value) {
    // Independent of the floating-point rounding mode.
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

bool RoundToInt32(double value, std::int32_t& result) {
    if (std::isnan(value)) return false;
    const double rounded = RoundHalfToEven(value);
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return false;
    result = static_cast<std::int32_t>(rounded);
    return true;
}

}  // namespace murtesk::platform
