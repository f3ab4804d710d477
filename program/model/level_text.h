// Level values as the text outputs write them, fast enough for series of many millions of values.
//
// "000.00" is the program's fixed format (platform::FormatNumber): at least three integer digits,
// two decimals, halves away from zero, no sign for a value that rounds to zero. A level file holds
// floats, and a float times 100 is exact in a double, so the rounding is done once on that product
// in whole hundredths; the pre-rounding to 15 significant digits that FormatNumber does cannot move
// a float across a half hundredth below 10^9 (the float grid is far coarser than that rounding),
// so the text is the same. Larger magnitudes and non-finite values take FormatNumber itself.
#pragma once

#include <string>

namespace murtesk {

// Appends the level in "000.00" and CR LF.
void AppendLevelLine(std::string& out, float level);
// Appends the level as "000.00" rounds it, in plain decimal notation without padding zeros or
// trailing decimal zeros: 065.30 is "65.3", -1000.00 is "-1000", 000.00 is "0".
void AppendPlainLevel(std::string& out, float level);

}  // namespace murtesk
