// Checks of numbers typed into text boxes. Each returns nothing when the text passes, otherwise the
// message the form shows (in a message box titled kInputCorrectionTitle with the information icon,
// after which the form selects the whole text and gives the box the focus).
//
// A number is, between optional blanks, an optional sign, digits with at most one decimal point
// (at least one digit), and an optional exponent ("12", "-0.5", ".5", "1e3", " 7 ").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace murtesk {

inline constexpr std::string_view kInputCorrectionTitle = "入力訂正情報";
inline constexpr std::string_view kNotANumberMessage = "数値を入力してください。";

// The value of a text that is a number; nothing for any other text (also for values beyond the
// range of an 8-byte float).
std::optional<double> ParseNumericText(std::string_view text);

// The text is a number.
std::optional<std::string> CheckNumericText(std::string_view text);
// A number with min <= value <= max.
std::optional<std::string> CheckRangeText(std::string_view text, double min, double max);
// A number with min <= value <= max that is a whole 32-bit number.
std::optional<std::string> CheckIntegerText(std::string_view text, double min, double max);
// A number greater than min.
std::optional<std::string> CheckOverText(std::string_view text, double min);

}  // namespace murtesk
