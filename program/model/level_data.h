// Access to one level-data file: a plain run of 4-byte little-endian floats, one level in dB per
// output step of a band's level series, written by the analysis library. One CData serves every
// band of a channel: the folder comes with each call, only the file name is kept.
//
// Positions are 1-based value numbers. Reading operations report an absent or unreadable file by
// a count of 0; the arrays they return hold exactly the values delivered. Series are read in
// slices of at most kLevelSliceLength values, each moved as one block.
//
// The file name comes from a project file: a name that is not a plain file name (an absolute
// path, one with a separator or "..") denotes no file at all, so it reads as no data and cannot
// be written.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "model/record_stream.h"
#include "platform/binary_file.h"

namespace murtesk {

class CScopes;

// The longest slice of a level series read at once (8 hours at 1,000 values per second).
inline constexpr std::int32_t kLevelSliceLength = 28'800'000;
// The slice the statistics engine reads at once: small enough to stay in the processor's cache
// and to spare page faults, large enough that each read is one long block.
inline constexpr std::int32_t kStatsSliceLength = 1 << 20;
// How long getDataNum waits for a level file that the analysis library is about to create.
inline constexpr std::chrono::milliseconds kLevelFileWait{3000};
// The level of a step without power, as the analysis library writes it.
inline constexpr float kNoPowerLevel = -1000.0f;
// The level written for a position outside the file, or of a file that is missing, by the text
// outputs of a span: the level files' own mark of no power.
inline constexpr double kLevelOutsideFile = kNoPowerLevel;
// The largest magnitude of a level read from a level file. The analysis library writes levels of
// real signals and kNoPowerLevel, either shifted by a band correction of at most 200 dB; a value
// beyond (or not a number at all) comes from a damaged file and reads as kNoPowerLevel, so that
// no statistic, chart or text output ever sees it. Within it every energy sum stays finite.
inline constexpr float kLargestLevel = 2000.0f;

class CData;

// A level file held open for reads at any position: for a caller that reads the same file many
// times (one open instead of one per read). A name that denotes no file, an absent file or anything
// but a regular file reads as no data. Not thread-safe: one thread reads one LevelFile.
class LevelFile {
public:
    LevelFile(const CData& levels, const std::string& SaveDir);

    // Whole values in the file when it was opened; 0 when it could not be.
    std::int64_t Count() const { return count_; }
    // True when the file could be opened.
    bool IsOpen() const { return file_.is_open(); }
    // Reads up to n values from position start (1-based) into `out` and gives the number
    // delivered: 0 when start lies beyond the file, an argument is out of range or the read fails.
    // Values beyond kLargestLevel are delivered as kNoPowerLevel.
    std::int32_t Read(std::int32_t start, std::int32_t n, float* out);

private:
    platform::BinaryFile file_;
    std::int64_t count_ = 0;
};

// The level files a screen reads again and again (the band files of the channel on show), each
// opened once and then read at any position with no further open. Its owner forgets them whenever
// they may change on disk (when it leaves for a screen that imports, recalculates or deletes), so
// a file rewritten meanwhile is opened afresh; a file that shrank while kept reads only what it
// still holds. A file that cannot be opened (missing) is looked for again at every use, so one
// that comes back is read as soon as it is shown again. Counts and reads answer as
// CData::getDataNumNoWait and CData::ReadArea. Not thread-safe: one thread uses one cache.
class LevelFileCache {
public:
    std::int32_t Count(const CData& levels, const std::string& SaveDir);
    std::int32_t Read(const CData& levels, const std::string& SaveDir, std::int32_t start, std::int32_t n,
                      float* out);
    // Closes every file.
    void Forget() { files_.clear(); }

private:
    // Open at most this many at once (every band of a few channels); beyond, all are closed.
    static constexpr std::size_t kMaxFiles = 256;
    // The kept file of the path; null for a name that denotes no file.
    LevelFile* File(const CData& levels, const std::string& SaveDir);

    std::unordered_map<std::string, std::unique_ptr<LevelFile>> files_;
};

class CData : public Record<CData> {
public:
    std::string SaveFileName;

    // The full path of the file in `SaveDir`; none when SaveFileName is not a plain file name.
    std::optional<std::string> PathIn(const std::string& SaveDir) const;

    // Number of whole values in the file (a half-written last value is not counted). Waits up
    // to `wait` for the file to appear, polling; 0 when it does not.
    std::int32_t getDataNum(const std::string& SaveDir, std::chrono::milliseconds wait = kLevelFileWait) const;
    // The same without waiting: 0 at once when the file is absent.
    std::int32_t getDataNumNoWait(const std::string& SaveDir) const;
    // True when SaveFileName is a plain file name and no file of that name is in SaveDir: a level
    // file that is missing, not one that is there and cannot be read.
    bool Absent(const std::string& SaveDir) const;

    // The whole series (empty when the file is absent or unreadable).
    std::vector<float> getData(const std::string& SaveDir) const;
    // Writes the series as the file, replacing an old one whole (written aside, then renamed over
    // it). False on any failure, with the old file left as it was.
    bool SaveData(std::span<const float> IArray, const std::string& SaveDir) const;

    // Up to ioNum values from position iStartNum; ioNum returns the number delivered (0 when the
    // start lies beyond the file, either argument is out of range or the read fails).
    std::vector<float> getDataArea(std::int32_t iStartNum, std::int32_t& ioNum, const std::string& SaveDir) const;
    // The values inside every range of the list, each range clipped to the file, joined in list
    // order; oNum = number delivered (0 when the ranges hold none or more than a 32-bit count).
    std::vector<float> getDataAreas(const CScopes& CalcScopes, std::int32_t& oNum, const std::string& SaveDir) const;

    // Reads up to n values from position start into `out` and gives the number delivered; the
    // block read behind getDataArea, for callers that keep their own buffer.
    std::int32_t ReadArea(std::int32_t start, std::int32_t n, const std::string& SaveDir, float* out) const;

    // Writes every iPeriodNum-th value (positions 1, 1 + p, 1 + 2p ...; p <= 1 writes all) as
    // lines "000.00" (model/level_text.h), reading the series in slices of `sliceLength` and
    // writing the lines in blocks. Waits as getDataNum for the
    // file to appear. False when it does not, when it cannot be read whole or a write fails.
    bool TextFileOut(BinaryFile& fileno, std::int16_t iPeriodNum, const std::string& SaveDir,
                     std::int32_t sliceLength = kStatsSliceLength,
                     std::chrono::milliseconds wait = kLevelFileWait) const;
    // Writes one line "000.00" for each position StNum..EdNum; positions outside the file, and
    // every position of a file that is missing (Absent), read as kLevelOutsideFile. False, with
    // nothing written, when the file is there but cannot be opened as a level file; false too when
    // it cannot be read or a write fails.
    bool TextFileAreaOut(BinaryFile& fileno, std::int32_t StNum, std::int32_t EdNum, const std::string& SaveDir) const;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.SaveFileName);
    }
    static auto Compared(const CData& r) { return std::tie(r.SaveFileName); }
};

}  // namespace murtesk
