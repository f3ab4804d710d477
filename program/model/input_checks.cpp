#include "input_checks.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "platform/numbers.h"

namespace murtesk {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string RangeMessage(double min, double max) {
    return platform::NumberToText(min) + "以上、" + platform::NumberToText(max) + "以下の数値を入力してください。";
}

}  // namespace

std::optional<double> ParseNumericText(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Check the shape ourselves: from_chars alone would take "inf", "nan" and hexadecimal forms.
    std::size_t i = 0, digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t exponent_start = j;
        while (j < text.size() && IsDigit(text[j])) ++j;
        if (j == exponent_start) return std::nullopt;
        i = j;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: a tiny value is zero, a huge one is no number.
        long double wide = 0.0L;
        const auto retry = std::from_chars(text.data(), text.data() + text.size(), wide);
        if (retry.ec != std::errc() || std::fabs(wide) >= 1.0L) return std::nullopt;
        value = 0.0;
    } else if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<std::string> CheckNumericText(std::string_view text) {
    if (!ParseNumericText(text)) return std::string(kNotANumberMessage);
    return std::nullopt;
}

std::optional<std::string> CheckRangeText(std::string_view text, double min, double max) {
    const auto value = ParseNumericText(text);
    if (!value) return std::string(kNotANumberMessage);
    if (!(min <= *value && *value <= max)) return RangeMessage(min, max);
    return std::nullopt;
}

std::optional<std::string> CheckIntegerText(std::string_view text, double min, double max) {
    const auto value = ParseNumericText(text);
    if (!value) return std::string(kNotANumberMessage);
    std::int32_t whole = 0;
    if (!(min <= *value && *value <= max) || !platform::RoundToInt32(*value, whole) ||
        static_cast<double>(whole) != *value) {
        return RangeMessage(min, max);
    }
    return std::nullopt;
}

std::optional<std::string> CheckOverText(std::string_view text, double min) {
    const auto value = ParseNumericText(text);
    if (!value) return std::string(kNotANumberMessage);
    if (!(*value > min)) return platform::NumberToText(min) + "より大きい数値を入力してください。";
    return std::nullopt;
}

}  // namespace murtesk
