#include "shared_procedures.h"

#include "model/band_slots.h"

namespace murtesk {
namespace {

std::size_t LastSeparator(std::string_view path) {
    return path.find_last_of("/\\");
}

std::string InProjectFolder(std::string_view FilePath, std::string_view name) {
    std::string folder = GetParentPath(FilePath);
    folder.push_back('/');
    folder.append(name);
    return folder;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string_view::npos;
         start = at + separator.size()) {
        parts.emplace_back(text.substr(start, at - start));
    }
    parts.emplace_back(text.substr(start));
    return parts;
}

}  // namespace

std::string GetParentPath(std::string_view path) {
    const std::size_t at = LastSeparator(path);
    if (at == std::string_view::npos) return std::string(path);
    return std::string(path.substr(0, at));
}

std::string GetFileName(std::string_view path) {
    const std::size_t at = LastSeparator(path);
    if (at == std::string_view::npos) return std::string(path);
    return std::string(path.substr(at + 1));
}

std::string GetRecWavFolder(std::string_view FilePath) { return InProjectFolder(FilePath, "RecWav"); }
std::string GetLCalcFolder(std::string_view FilePath) { return InProjectFolder(FilePath, "LCalc"); }
std::string GetFlatBandFolder(std::string_view FilePath) { return InProjectFolder(FilePath, "F"); }

std::string GetBandFolder(std::string_view FilePath, std::int16_t band_mode, std::int16_t slot) {
    return InProjectFolder(FilePath, GetBandLabel(band_mode, slot));
}

std::vector<std::string> SplitByNull(std::string_view text) {
    return Split(text, std::string_view("\0", 1));
}

std::vector<std::string> SplitByCrLf(std::string_view text) {
    return Split(text, "\r\n");
}

double RoundOff(double x) {
    if (x >= 0) {
        const double whole = std::floor(x);
        return x - whole >= 0.5 ? whole + 1 : whole;
    }
    const double whole = std::trunc(x);
    return x - whole <= -0.5 ? whole - 1 : whole;
}

double FixToTen(double x) {
    return std::trunc(x / 10) * 10;
}

}  // namespace murtesk
