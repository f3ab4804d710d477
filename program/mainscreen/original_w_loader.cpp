#include "original_w_loader.h"

#include "platform/binary_file.h"
#include "platform/program_folder.h"
#include "platform/text_encoding.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace murtesk {

using platform::MsgButtons;
using platform::MsgIcon;

namespace {

constexpr int kBandValues = 45;
// The last line that holds anything read: lines 5 on are never read.
constexpr int kLastLineRead = 4;
constexpr double kNoCorrection = -100.0;
constexpr double kNoMaximum = 170.0;
// Corrections and maxima lie within this many dB either side of 0; anything beyond is a value error.
constexpr double kLargestValue = 200.0;
// Longer than any line a characteristic needs (45 numbers or two names and their separators, many
// times over): a longer line makes the file unreadable, and is not read to its end.
constexpr std::size_t kLongestLine = 8192;

class TextFile {
public:
    explicit TextFile(const std::string& path)
    {
        const int fd = platform::OpenRegularFile(path);
        if (fd >= 0 && (file_ = fdopen(fd, "rb")) == nullptr) ::close(fd);
    }
    ~TextFile() { Close(); }
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    bool Failed() const { return file_ != nullptr && std::ferror(file_) != 0; }
    void Close()
    {
        if (file_ != nullptr) std::fclose(file_);
        file_ = nullptr;
    }

    enum class Line { kRead, kEnd, kTooLong };
    // The next line without its end (CR LF, CR or LF). kEnd at the end of the file or on a read
    // error; kTooLong, with the rest of the line left unread, past kLongestLine bytes.
    Line ReadLine(std::string& line)
    {
        line.clear();
        int c = std::getc(file_);
        if (c == EOF) return Line::kEnd;
        for (; c != EOF; c = std::getc(file_)) {
            if (c == '\n') return Line::kRead;
            if (c == '\r') {
                const int next = std::getc(file_);
                if (next != '\n' && next != EOF) std::ungetc(next, file_);
                return Line::kRead;
            }
            if (line.size() == kLongestLine) return Line::kTooLong;
            line.push_back(static_cast<char>(c));
        }
        return Failed() ? Line::kEnd : Line::kRead;
    }

private:
    std::FILE* file_ = nullptr;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number with optional blanks around it: sign, digits with an optional decimal point
// (at least one digit), optional exponent. False when the text is not one, or is one that a
// double cannot hold.
bool ParseDecimal(std::string_view text, double& value)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return false;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);

    std::size_t i = 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    const std::size_t mantissa = i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t exponentDigits = i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        if (i == exponentDigits) return false;
    }
    if (i != text.size()) return false;

    // The sign is taken apart: from_chars reads no "+".
    const auto number = text.substr(mantissa);
    double magnitude = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), magnitude);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size()) return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

// Why a file was refused; the message is the file's path followed by this text.
struct Refusal {
    const char* text = nullptr;  // null: refused without a message
};

// Line 3 or 4: the first 45 fields as band values.
std::optional<Refusal> ReadBandLine(AwkLike& awk, const std::string& line, COctaveBand3& target,
                                    const char* fieldCountError, const char* valueError)
{
    std::vector<std::string> fields;
    if (awk.AwkSplit(line, fields, ",") < kBandValues) return Refusal{fieldCountError};
    for (int i = 0; i < kBandValues; ++i) {
        double value = 0.0;
        if (!ParseDecimal(fields[static_cast<std::size_t>(i)], value) || !(std::fabs(value) <= kLargestValue))
            return Refusal{valueError};
        target.dB(i, value);
    }
    return std::nullopt;
}

// The file's lines into w; nothing when it was taken.
std::optional<Refusal> ReadLines(AwkLike& awk, const std::string& path, COriginalW& w)
{
    TextFile file(path);
    if (!file.IsOpen()) return Refusal{"I/Oエラー"};
    std::string raw;
    int lines = 0;
    while (lines < kLastLineRead) {
        const TextFile::Line read = file.ReadLine(raw);
        if (read == TextFile::Line::kTooLong) return Refusal{"I/Oエラー"};
        if (read == TextFile::Line::kEnd) break;
        ++lines;
        const std::string line = platform::Cp932ToUtf8(raw);
        std::optional<Refusal> refused;
        if (lines == 1) {
            std::vector<std::string> fields;
            if (awk.AwkSplit(line, fields, ",") < 2) return Refusal{"1行目フィールドエラー"};
            w.WName = fields[0];
            w.WNameHalfSize = fields[1];
        } else if (lines == 3) {
            refused = ReadBandLine(awk, line, w.WRevise3, "3行目フィールド数エラー", "3行目補正値数値エラー");
        } else if (lines == 4) {
            refused = ReadBandLine(awk, line, w.WMax3, "4行目フィールド数エラー", "4行目補正値数値エラー");
        }
        if (refused) return refused;
    }
    if (file.Failed()) return Refusal{"I/Oエラー"};
    if (lines < 3) return Refusal{};
    w.WRevise1.SetdBFromOct3(w.WRevise3);
    w.WMax1.SetdBFromOct3(w.WMax3);
    return std::nullopt;
}

}  // namespace

bool ReadOriginalWeightingFile(platform::UiServices& ui, AwkLike& awk, const std::string& path, COriginalW& w)
{
    w.WRevise1.SetdBInit(kNoCorrection);
    w.WRevise3.SetdBInit(kNoCorrection);
    w.WMax1.SetdBInit(kNoMaximum);
    w.WMax3.SetdBInit(kNoMaximum);

    std::optional<Refusal> refused;
    try {
        refused = ReadLines(awk, path, w);
    } catch (const std::exception&) {
        // Whatever else goes wrong (the library out of reach, memory) makes the file unreadable
        // for the program.
        refused = Refusal{"I/Oエラー"};
    }
    if (!refused) return true;
    if (refused->text != nullptr) ui.MsgBox(path + refused->text, MsgButtons::OK, MsgIcon::Critical);
    return false;
}

void LoadOriginalWeightings(platform::UiServices& ui, COriginalWs& list, RESearchFunction search)
{
    AwkLike awk(std::move(search));
    for (int n = 1;; ++n) {
        const std::string path = platform::ProgramFilePath("オリジナル特性" + std::to_string(n) + ".csv");
        std::error_code error;
        const auto status = std::filesystem::status(path, error);
        if (error || !std::filesystem::exists(status) || std::filesystem::is_directory(status)) return;
        auto w = std::make_shared<COriginalW>();
        if (!ReadOriginalWeightingFile(ui, awk, path, *w)) return;
        list.Add(std::move(w));
    }
}

}  // namespace murtesk
