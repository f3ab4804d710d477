#include "original_weightings.h"

#include "awk_like.h"
#include "platform/program_folder.h"
#include "platform/text_encoding.h"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace murtesk {

namespace {

constexpr int kThirdOctaveBands = 45;

enum class NumberResult { Number, NotANumber, OutOfRange };

// A decimal number after leading blanks: optional sign, digits with an optional decimal point,
// optional exponent, trailing blanks allowed.
NumberResult ParseNumber(const std::string& field, double& value)
{
    std::size_t begin = field.find_first_not_of(' ');
    std::size_t end = field.find_last_not_of(' ');
    if (begin == std::string::npos) {
        return NumberResult::NotANumber;
    }
    std::string text = field.substr(begin, end - begin + 1);
    if (text.front() == '+') {
        text.erase(0, 1);
    }
    const std::size_t digits = text.front() == '-' ? 1 : 0;
    if (digits >= text.size() || !(std::isdigit(static_cast<unsigned char>(text[digits])) || text[digits] == '.')) {
        return NumberResult::NotANumber;  // also keeps out "inf" and "nan"
    }
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        return NumberResult::OutOfRange;
    }
    return ec == std::errc() && ptr == last ? NumberResult::Number : NumberResult::NotANumber;
}

std::vector<std::string> ReadLines(const std::string& path, bool& readable)
{
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    readable = static_cast<bool>(in);
    std::vector<std::string> lines;
    if (!readable) {
        return lines;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    readable = !in.bad();
    std::size_t start = 0;
    while (start < bytes.size() && lines.size() < 5) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::size_t stop = end;
        if (stop > start && bytes[stop - 1] == '\r') {
            --stop;
        }
        lines.push_back(platform::Cp932ToUtf8(std::string_view(bytes).substr(start, stop - start)));
        start = end + 1;
    }
    return lines;
}

}  // namespace

bool ReadOriginalWeightingFile(platform::UiServices& ui, const std::string& path, COriginalW& w)
{
    w.WRevise1.SetdBInit(-100.0);
    w.WRevise3.SetdBInit(-100.0);
    w.WMax1.SetdBInit(170.0);
    w.WMax3.SetdBInit(170.0);
    const auto fail = [&](const char* what) {
        ui.MsgBox(path + what, platform::MsgButtons::OK, platform::MsgIcon::Critical);
        return false;
    };

    bool readable = false;
    const std::vector<std::string> lines = ReadLines(path, readable);
    if (!readable) {
        return fail("I/Oエラー");
    }
    std::vector<std::string> fields;
    if (!lines.empty()) {
        if (AwkSplit(lines[0], fields, ",") < 2) {
            return fail("1行目フィールドエラー");
        }
        w.WName = fields[0];
        w.WNameHalfSize = fields[1];
    }
    struct CurveLine {
        std::size_t line;
        COctaveBand3* target;
        const char* countError;
        const char* numberError;
    };
    for (const CurveLine& c : {CurveLine{2, &w.WRevise3, "3行目フィールド数エラー", "3行目補正値数値エラー"},
                               CurveLine{3, &w.WMax3, "4行目フィールド数エラー", "4行目補正値数値エラー"}}) {
        if (c.line >= lines.size()) {
            break;
        }
        if (AwkSplit(lines[c.line], fields, ",") < kThirdOctaveBands) {
            return fail(c.countError);
        }
        for (int i = 0; i < kThirdOctaveBands; ++i) {
            double value = 0.0;
            switch (ParseNumber(fields[static_cast<std::size_t>(i)], value)) {
            case NumberResult::NotANumber:
                return fail(c.numberError);
            case NumberResult::OutOfRange:
                return fail("I/Oエラー");
            case NumberResult::Number:
                c.target->dB(i, value);
                break;
            }
        }
    }
    if (lines.size() < 3) {
        return false;
    }
    w.WRevise1.SetdBFromOct3(w.WRevise3);
    w.WMax1.SetdBFromOct3(w.WMax3);
    return true;
}

void LoadOriginalWeightings(platform::UiServices& ui, COriginalWs& list)
{
    for (int n = 1;; ++n) {
        const std::string path = platform::ProgramFilePath("オリジナル特性" + std::to_string(n) + ".csv");
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::u8path(path), ec)) {
            return;
        }
        COriginalW w;
        if (!ReadOriginalWeightingFile(ui, path, w)) {
            return;
        }
        list.Add(std::move(w));
    }
}

}  // namespace murtesk
