// Numbers as the program shows and converts them.
//
// FormatNumber writes a value in one of the fixed formats the program uses: a run of "0" for the
// integer digits (at least that many, more when the value needs them) and optionally "." and a run
// of "0" for the decimals, such as "0", "000", "0.0", "0.000" and "000.00". The value is first
// taken to 15 significant digits, as the program always showed its numbers, and then rounded to
// the decimals with halves away from zero: 0.125 in "000.00" is "000.13" and 2.675 in "0.00" is
// "2.68" (plain printf rounds the binary value and gives "000.12" and "2.67"). A negative value
// keeps its minus sign in front of the padded digits ("-003.50"); a value that rounds to zero shows
// without a sign ("0.0", never "-0.0"). Not a number shows "NaN", infinities "Inf" and "-Inf".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace murtesk::platform {

// A fixed format: the least number of integer digits and the number of decimals.
struct FixedFormat {
    int integer_digits = 1;
    int decimals = 0;
};

// Parses "0", "000.00" and the like; throws std::invalid_argument for any other pattern (the
// patterns are the program's own constants).
FixedFormat ParseFixedFormat(std::string_view pattern);

std::string FormatNumber(double value, FixedFormat format);
std::string FormatNumber(double value, std::string_view pattern);

// The standard text of a number, as in messages: at most 15 significant digits, no trailing zeros,
// no decimal point for whole numbers, an exponent only for very large or small magnitudes
// (0, 1.5, 100, 0.001, 1E+15, 1E-05).
std::string NumberToText(double value);

// Rounds to the nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfToEven(double value);

// Rounds half to even into a 32-bit integer; false when the result lies outside the 32-bit range
// or the value is not a number.
bool RoundToInt32(double value, std::int32_t& result);

}  // namespace murtesk::platform
