// Small procedures the whole program shares: the folders a project keeps beside its project file,
// splitting paths and texts, rounding and clipping a range. They hold no state.
//
// Paths are UTF-8 with "/" between folders; "\" is accepted as a separator when a path is split,
// so paths from older projects still split. Splitting works on the UTF-8 text, where neither
// separator can be part of another character (in CP932 a "\" byte can be the second byte of a
// character, which is why texts are never split as CP932 bytes).
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace murtesk {

// The part of a path before its last separator. A path without a separator is returned unchanged;
// a path whose only separator is its first character (a file in the root folder) gives the empty
// text, so that the folders formed from it lie in the root folder.
std::string GetParentPath(std::string_view path);
// The part of a path after its last separator; the path unchanged when it holds no separator.
std::string GetFileName(std::string_view path);

// The project's folders, formed from the project file's full path.
std::string GetRecWavFolder(std::string_view FilePath);    // .../RecWav
std::string GetLCalcFolder(std::string_view FilePath);     // .../LCalc
std::string GetFlatBandFolder(std::string_view FilePath);  // .../F
std::string GetBandFolder(std::string_view FilePath, std::int16_t band_mode, std::int16_t slot);

// Splits a text at every NUL character; one element more than there are NULs (the empty text
// gives one empty element).
std::vector<std::string> SplitByNull(std::string_view text);
// Splits a text at every CR LF pair; a lone CR or LF stays in its element.
std::vector<std::string> SplitByCrLf(std::string_view text);

// Rounds to the nearest whole number, halves away from zero (2.5 -> 3, -2.5 -> -3).
double RoundOff(double x);
// x cut toward zero to a multiple of 10 (37 -> 30, -37 -> -30).
double FixToTen(double x);

// When the range [start, end] reaches into [min, max] (end > min and start < max), clips it to
// [min, max] and returns true; otherwise returns false and changes nothing. For positions and for
// dates alike.
template <class T>
bool ClipRange(T min, T max, T& start, T& end) {
    if (!(end > min && start < max)) return false;
    if (start < min) start = min;
    if (end > max) end = max;
    return true;
}

}  // namespace murtesk
