#include "model/level_data.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <thread>

#include "model/level_text.h"
#include "model/project_files.h"
#include "model/scopes.h"
#include "platform/atomic_file.h"
#include "platform/binary_file.h"
#include "platform/numbers.h"

namespace murtesk {

static_assert(std::endian::native == std::endian::little, "level files are read as native floats");

namespace {

constexpr std::chrono::milliseconds kPollInterval{50};

// Whole values in the file at `path`, or -1 when there is no such file.
std::int64_t WholeValues(const std::optional<std::string>& path) {
    if (!path) return -1;
    std::error_code ec;
    const auto size = std::filesystem::file_size(*path, ec);
    if (ec) return -1;
    return static_cast<std::int64_t>(size / sizeof(float));
}

// The same, waiting up to `wait` for the file to appear; -1 when it does not. A name that denotes
// no file is not waited for.
std::int64_t WholeValuesWhenThere(const std::optional<std::string>& path, std::chrono::milliseconds wait) {
    if (!path) return -1;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const std::int64_t n = WholeValues(path);
        if (n >= 0) return n;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return -1;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kPollInterval, deadline - now));
    }
}

// Every value beyond ±kLargestLevel, infinities and not-a-numbers included, becomes kNoPowerLevel.
// Four values at a time: this runs over every value read from a level file.
typedef float Float4 __attribute__((vector_size(16)));
typedef std::int32_t Int4 __attribute__((vector_size(16)));

void TakeOnlyLevels(float* values, std::size_t n) {
    const Float4 largest = {kLargestLevel, kLargestLevel, kLargestLevel, kLargestLevel};
    const Float4 noPower = {kNoPowerLevel, kNoPowerLevel, kNoPowerLevel, kNoPowerLevel};
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        Float4 v;
        std::memcpy(&v, values + i, sizeof v);
        const Float4 magnitude = (Float4)((Int4)v & 0x7FFFFFFF);
        v = magnitude <= largest ? v : noPower;  // false for a not-a-number
        std::memcpy(values + i, &v, sizeof v);
    }
    for (; i < n; ++i)
        if (!(std::fabs(values[i]) <= kLargestLevel)) values[i] = kNoPowerLevel;
}

std::int32_t ClampCount(std::int64_t n) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(n, 0, std::numeric_limits<std::int32_t>::max()));
}

// Lines of levels gathered into blocks of about kBlockBytes before each write.
class LevelLines {
public:
    explicit LevelLines(BinaryFile& file) : file_(file) { text_.reserve(kBlockBytes + 64); }
    bool Add(float level) {
        AppendLevelLine(text_, level);
        return text_.size() < kBlockBytes || Flush();
    }
    bool AddFiller(std::int64_t n) {
        for (std::int64_t i = 0; i < n; ++i)
            if (!Add(static_cast<float>(kLevelOutsideFile))) return false;
        return true;
    }
    bool Flush() {
        const bool written = text_.empty() || file_.Write(text_);
        text_.clear();
        return written;
    }

private:
    static constexpr std::size_t kBlockBytes = 1 << 16;
    BinaryFile& file_;
    std::string text_;
};

}  // namespace

std::optional<std::string> CData::PathIn(const std::string& SaveDir) const {
    return PathInFolder(SaveDir, SaveFileName);
}

std::int32_t CData::getDataNum(const std::string& SaveDir, std::chrono::milliseconds wait) const {
    return ClampCount(WholeValuesWhenThere(PathIn(SaveDir), wait));
}

std::int32_t CData::getDataNumNoWait(const std::string& SaveDir) const {
    return ClampCount(WholeValues(PathIn(SaveDir)));
}

bool CData::Absent(const std::string& SaveDir) const {
    const auto path = PathIn(SaveDir);
    std::error_code ec;
    return path && std::filesystem::status(*path, ec).type() == std::filesystem::file_type::not_found;
}

std::vector<float> CData::getData(const std::string& SaveDir) const {
    std::int32_t n = getDataNumNoWait(SaveDir);
    return getDataArea(1, n, SaveDir);
}

bool CData::SaveData(std::span<const float> IArray, const std::string& SaveDir) const {
    const auto path = PathIn(SaveDir);
    return path && platform::ReplaceFile(*path, [&](BinaryFile& file) {
               return IArray.empty() || file.Write(IArray.data(), IArray.size_bytes());
           });
}

LevelFile::LevelFile(const CData& levels, const std::string& SaveDir) {
    const auto path = levels.PathIn(SaveDir);
    if (path && file_.OpenRead(*path)) count_ = static_cast<std::int64_t>(file_.Size() / sizeof(float));
}

std::int32_t LevelFile::Read(std::int32_t start, std::int32_t n, float* out) {
    if (!file_.is_open() || start < 1 || n <= 0 || count_ < start) return 0;
    const std::int64_t delivered = std::min<std::int64_t>(n, count_ - start + 1);
    if (!file_.ReadAt(static_cast<std::uint64_t>(start - 1) * sizeof(float), out,
                      static_cast<std::size_t>(delivered) * sizeof(float))) {
        // The file shrank since it was opened: from now on it holds what is left.
        count_ = static_cast<std::int64_t>(file_.Size() / sizeof(float));
        return 0;
    }
    TakeOnlyLevels(out, static_cast<std::size_t>(delivered));
    return static_cast<std::int32_t>(delivered);
}

std::int32_t LevelFileCache::Count(const CData& levels, const std::string& SaveDir) {
    const LevelFile* file = File(levels, SaveDir);
    return file != nullptr ? ClampCount(file->Count()) : 0;
}

std::int32_t LevelFileCache::Read(const CData& levels, const std::string& SaveDir, std::int32_t start,
                                  std::int32_t n, float* out) {
    if (start < 1 || n <= 0) return 0;
    LevelFile* file = File(levels, SaveDir);
    return file != nullptr ? file->Read(start, n, out) : 0;
}

LevelFile* LevelFileCache::File(const CData& levels, const std::string& SaveDir) {
    const auto path = levels.PathIn(SaveDir);
    if (!path) return nullptr;
    const auto found = files_.find(*path);
    // A file that was missing is looked for again at each use (by its name, without an open): it
    // may be back by then.
    if (found != files_.end() && (found->second->IsOpen() || levels.Absent(SaveDir))) return found->second.get();
    if (found == files_.end() && files_.size() >= kMaxFiles) files_.clear();
    std::unique_ptr<LevelFile>& kept = files_[*path];
    kept = std::make_unique<LevelFile>(levels, SaveDir);
    return kept.get();
}

std::int32_t CData::ReadArea(std::int32_t start, std::int32_t n, const std::string& SaveDir, float* out) const {
    if (start < 1 || n <= 0) return 0;
    return LevelFile(*this, SaveDir).Read(start, n, out);
}

std::vector<float> CData::getDataArea(std::int32_t iStartNum, std::int32_t& ioNum, const std::string& SaveDir) const {
    std::vector<float> values;
    if (iStartNum < 1 || ioNum <= 0) {
        ioNum = 0;
        return values;
    }
    const std::int64_t count = WholeValues(PathIn(SaveDir));
    const std::int64_t available = count - iStartNum + 1;
    if (available <= 0) {
        ioNum = 0;
        return values;
    }
    values.resize(static_cast<std::size_t>(std::min<std::int64_t>(ioNum, available)));
    ioNum = ReadArea(iStartNum, static_cast<std::int32_t>(values.size()), SaveDir, values.data());
    values.resize(static_cast<std::size_t>(ioNum));
    return values;
}

std::vector<float> CData::getDataAreas(const CScopes& CalcScopes, std::int32_t& oNum, const std::string& SaveDir) const {
    oNum = 0;
    std::vector<float> values;
    const std::int64_t count = WholeValues(PathIn(SaveDir));
    if (count <= 0) return values;
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    std::int64_t total = 0;
    for (const auto& r : CalcScopes) {
        const auto start = ScopePosition(r->S);
        const auto end = ScopePosition(r->E);
        if (!start || !end) continue;
        const std::int64_t s = std::max<std::int64_t>(*start, 1);
        const std::int64_t e = std::min<std::int64_t>(*end, count);
        if (e < s) continue;
        spans.emplace_back(s, e - s + 1);
        total += e - s + 1;
        if (total > std::numeric_limits<std::int32_t>::max()) return values;
    }
    values.resize(static_cast<std::size_t>(total));
    std::int64_t filled = 0;
    for (const auto& [s, n] : spans)
        filled += ReadArea(static_cast<std::int32_t>(s), static_cast<std::int32_t>(n), SaveDir, values.data() + filled);
    values.resize(static_cast<std::size_t>(filled));
    oNum = static_cast<std::int32_t>(filled);
    return values;
}

bool CData::TextFileOut(BinaryFile& fileno, std::int16_t iPeriodNum, const std::string& SaveDir,
                        std::int32_t sliceLength, std::chrono::milliseconds wait) const {
    const std::int64_t present = WholeValuesWhenThere(PathIn(SaveDir), wait);
    if (present < 0) return false;
    const std::int32_t count = ClampCount(present);
    sliceLength = std::max<std::int32_t>(sliceLength, 1);
    const std::int32_t step = std::max<std::int32_t>(iPeriodNum, 1);
    LevelFile file(*this, SaveDir);
    std::vector<float> slice(static_cast<std::size_t>(std::min(count, sliceLength)));
    LevelLines lines(fileno);
    // The next position written, from 1 on, every step-th.
    std::int64_t next = 1;
    for (std::int64_t pos = 1; pos <= count;) {
        const std::int32_t want = static_cast<std::int32_t>(std::min<std::int64_t>(sliceLength, count - pos + 1));
        const std::int32_t got = file.Read(static_cast<std::int32_t>(pos), want, slice.data());
        if (got <= 0) return false;
        for (; next < pos + got; next += step)
            if (!lines.Add(slice[static_cast<std::size_t>(next - pos)])) return false;
        pos += got;
    }
    return lines.Flush() && !fileno.failed();
}

bool CData::TextFileAreaOut(BinaryFile& fileno, std::int32_t StNum, std::int32_t EdNum, const std::string& SaveDir) const {
    LevelFile file(*this, SaveDir);
    if (!file.IsOpen() && !Absent(SaveDir)) return false;
    const std::int64_t count = file.Count();
    LevelLines lines(fileno);
    std::int64_t first = StNum;
    if (first < 1) {
        if (!lines.AddFiller(std::min<std::int64_t>(1, static_cast<std::int64_t>(EdNum) + 1) - first)) return false;
        first = 1;
    }
    const std::int64_t last = std::min<std::int64_t>(EdNum, count);
    if (last >= first) {
        std::vector<float> slice(static_cast<std::size_t>(std::min<std::int64_t>(last - first + 1, kStatsSliceLength)));
        while (first <= last) {
            const std::int32_t want = static_cast<std::int32_t>(std::min<std::int64_t>(kStatsSliceLength, last - first + 1));
            const std::int32_t got = file.Read(static_cast<std::int32_t>(first), want, slice.data());
            if (got <= 0) return false;
            for (std::int32_t i = 0; i < got; ++i)
                if (!lines.Add(slice[static_cast<std::size_t>(i)])) return false;
            first += got;
        }
    }
    return lines.AddFiller(static_cast<std::int64_t>(EdNum) - first + 1) && lines.Flush() && !fileno.failed();
}

}  // namespace murtesk
