#include "model/level_calc.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <numeric>
#include <optional>
#include <vector>

#include "model/level_calcs.h"
#include "model/project_files.h"
#include "platform/atomic_file.h"
#include "platform/binary_file.h"

#include <sys/stat.h>

namespace murtesk {

namespace {

std::int64_t TotalOf(const LevelHistogram& histogram) {
    return std::accumulate(histogram.begin(), histogram.end(), std::int64_t{0});
}

std::int32_t CountOf(std::int64_t total) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(total, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

double HistogramPercentile(const LevelCounts& histogram, std::int32_t X) {
    if (X == 100) {
        for (int k = 0; k < kHistogramBins; ++k)
            if (histogram[k] > 0) return k / 10.0 - 60.0;
        return kNoLevel;
    }
    const double total = static_cast<double>(std::accumulate(histogram.begin(), histogram.end(), std::int64_t{0}));
    const double threshold = total * (100 - X) / 100;
    double running = 0;
    for (int k = 0; k < kHistogramBins; ++k) {
        running += static_cast<double>(histogram[k]);
        if (running >= threshold) return k / 10.0 - 60.0;
    }
    return 170.0;
}

void HistogramPercentiles(const LevelHistogram& histogram, std::int64_t counted, std::span<const std::int32_t> xs,
                          std::span<double> out) {
    const auto total = static_cast<double>(counted);
    // The thresholds in rising order; Lmin (X = 100) is the first bin with a count.
    std::vector<std::pair<double, std::size_t>> pending;
    std::vector<std::size_t> lowest;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (xs[i] == 100) {
            out[i] = kNoLevel;
            lowest.push_back(i);
        } else {
            out[i] = 170.0;
            pending.emplace_back(total * (100 - xs[i]) / 100, i);
        }
    }
    std::sort(pending.begin(), pending.end());
    std::size_t next = 0;
    double running = 0;
    for (int k = 0; k < kHistogramBins && (next < pending.size() || !lowest.empty()); ++k) {
        const double level = k / 10.0 - 60.0;
        if (histogram[k] > 0) {
            for (std::size_t i : lowest) out[i] = level;
            lowest.clear();
        }
        running += static_cast<double>(histogram[k]);
        for (; next < pending.size() && running >= pending[next].first; ++next) out[pending[next].second] = level;
    }
}

// ---------------------------------------------------------------------------------------------

CLCalcData::CLCalcData(StatsContext& context)
    : SaveFileName(context.NewLdtFileName()), context_(&context) {}

LevelHistogram CLCalcData::getData(const std::string& SaveDir) const {
    return ReadData(SaveDir).value_or(LevelHistogram{});
}

std::optional<LevelHistogram> CLCalcData::ReadData(const std::string& SaveDir) const {
    LevelHistogram counts{};
    const auto path = PathInFolder(SaveDir, SaveFileName);
    BinaryFile file;
    if (!path || !file.OpenRead(*path)) return std::nullopt;
    std::size_t bins = 0;
    if (file.Size() == sizeof(std::int32_t) * kHistogramBins)
        bins = kHistogramBins;
    else if (file.Size() == sizeof(std::int32_t) * kOldHistogramBins)
        bins = kOldHistogramBins;
    if (bins == 0 || !file.Read(counts.data(), bins * sizeof(std::int32_t))) return std::nullopt;
    return counts;
}

bool CLCalcData::SaveData(const LevelHistogram& IArray, const std::string& SaveDir) {
    std::error_code ec;
    std::filesystem::create_directories(SaveDir, ec);
    return context_->Histograms().Write(SaveDir, SaveFileName,
                                        [&](BinaryFile& file) { return file.Write(IArray.data(), sizeof IArray); });
}

// ---------------------------------------------------------------------------------------------

CLCalc::CLCalc(StatsContext& context) : Scope(std::int16_t{0}, std::int16_t{0}), LxData(context) {}

void CLCalc::Clear(const std::string& LCalcFolder) {
    Scope.S = std::int16_t{0};
    Scope.E = std::int16_t{0};
    LxData.context().Histograms().Drop(LCalcFolder, LxData.SaveFileName);
    m_dBSum = kEmptyEnergySum;
    Lmax = kNoLevel;
    LE = kNoLevel;
    LmaxPos = 0;
    m_Cnt = 0;
}

void CLCalc::initdB() { Clear(LxData.context().LCalcFolder()); }

void CLCalc::DeleteFile() const {
    std::string name = LxData.SaveFileName;
    LxData.context().Histograms().Drop(LxData.context().LCalcFolder(), name, false);
}

bool CLCalc::HistogramMissing() const {
    if (!Counted()) return false;
    // The file is looked at, not read: a display asks this of every band.
    const auto path = PathInFolder(LxData.context().LCalcFolder(), LxData.SaveFileName);
    struct stat info {};
    return !path || ::stat(path->c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
           (info.st_size != static_cast<off_t>(sizeof(std::int32_t) * kHistogramBins) &&
            info.st_size != static_cast<off_t>(sizeof(std::int32_t) * kOldHistogramBins));
}

std::int64_t CLCalc::ValueCount() const { return TotalOf(LxData.getData(LxData.context().LCalcFolder())); }

std::int32_t CLCalc::getNum() const { return CountOf(ValueCount()); }

double CLCalc::getLx(std::int32_t X) const {
    const LevelHistogram counts = LxData.getData(LxData.context().LCalcFolder());
    LevelCounts wide{};
    std::copy(counts.begin(), counts.end(), wide.begin());
    return HistogramPercentile(wide, X);
}

double EquivalentLevel(double dBSum, std::int64_t n) {
    if (n <= 0 || !(dBSum >= kNoLevel)) return kNoLevel;
    return dBSum - 10.0 * std::log10(static_cast<double>(n));
}

double CLCalc::getLeq() const { return EquivalentLevel(m_dBSum, ValueCount()); }

std::int32_t CLCalc::getLmaxPos() const {
    const auto start = ScopePosition(Scope.S).value_or(0);
    const std::int64_t pos = start + LmaxPos - 1;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(pos, INT32_MIN, INT32_MAX));
}

namespace {

bool RateUsable(double LevelOutHz) { return LevelOutHz > 0.0 && LevelOutHz < std::numeric_limits<double>::infinity(); }

double ExposureLevel(double energy, double LevelOutHz) {
    return energy > 0.0 ? 10.0 * std::log10(energy) - 10.0 * std::log10(LevelOutHz) : kNoLevel;
}

}  // namespace

double CLCalc::getLE(std::span<const float> iData, double LevelOutHz) {
    LE = RateUsable(LevelOutHz) ? ExposureLevel(EnergySum(iData.data(), iData.size()), LevelOutHz) : kNoLevel;
    return LE;
}

double CLCalc::getLEArea(const CData& LevelData, std::int32_t S, std::int32_t E, const std::string& SaveDir,
                         double LevelOutHz, std::int32_t sliceLength) {
    LE = kNoLevel;
    if (!RateUsable(LevelOutHz) || S < 1 || E < S) return LE;
    const std::int64_t total = std::min<std::int64_t>(
        static_cast<std::int64_t>(E) - S + 1, static_cast<std::int64_t>(LevelData.getDataNumNoWait(SaveDir)) - S + 1);
    if (total <= 0) return LE;
    const std::int32_t slice = static_cast<std::int32_t>(std::clamp<std::int64_t>(sliceLength, 1, total));
    std::vector<float> values(static_cast<std::size_t>(slice));
    CompensatedSum energy;
    for (std::int64_t done = 0; done < total;) {
        const auto want = static_cast<std::int32_t>(std::min<std::int64_t>(slice, total - done));
        const std::int32_t got = LevelData.ReadArea(static_cast<std::int32_t>(S + done), want, SaveDir, values.data());
        if (got <= 0) break;
        energy.Add(EnergySum(values.data(), static_cast<std::size_t>(got)));
        done += got;
    }
    LE = ExposureLevel(energy.Value(), LevelOutHz);
    return LE;
}

bool CLCalc::resetNew(const CScopes& CalcScopes, const CData& LevelData, const std::string& SaveDir,
                      std::int32_t sliceLength) {
    return ResetNewIn(LxData.context().LCalcFolder(), CalcScopes, LevelData, SaveDir, sliceLength);
}

bool CLCalc::ResetNewIn(const std::string& LCalcFolder, const CScopes& CalcScopes, const CData& LevelData,
                        const std::string& SaveDir, std::int32_t sliceLength) {
    return ResetNewIn(LCalcFolder, Positions(CalcScopes), LevelData, SaveDir, sliceLength);
}

bool CLCalc::ResetNewIn(const std::string& LCalcFolder, std::span<const PositionRange> CalcScopes,
                        const CData& LevelData, const std::string& SaveDir, std::int32_t sliceLength) {
    return Compute(LCalcFolder, CalcScopes, LevelData, SaveDir, -std::numeric_limits<double>::infinity(),
                   sliceLength);
}

bool CLCalc::resetNewMaxMinusNArea(const CScopes& CalcScopes, const CData& LevelData, const std::string& SaveDir,
                                   double Lmax, double MinusN, std::int32_t sliceLength) {
    return Compute(LxData.context().LCalcFolder(), Positions(CalcScopes), LevelData, SaveDir, Lmax - MinusN,
                   sliceLength);
}

LevelPass PassOverRanges(const CScopes& ranges, const CData& levels, const std::string& SaveDir, double floor,
                         std::int32_t sliceLength) {
    LevelFile file(levels, SaveDir);
    return PassOverRanges(ranges, file, floor, sliceLength);
}

namespace {

// The values of a level file held in one slice of memory for a pass over a list of ranges. A
// piece of a range is served from the slice when it lies inside; otherwise a new slice is read
// from the piece's start and stretched over the ranges that follow closely in the list, so that a
// list of many short ranges (the gaps between excluded ranges) costs a read per slice, not per range.
class SliceReader {
public:
    SliceReader(std::span<const PositionRange> ranges, LevelFile& file, std::int32_t sliceLength)
        : ranges_(ranges), file_(file), sliceLength_(sliceLength) {}

    // Values from position pos of the piece [pos, pos + length) of the range at index `at` of the
    // list: a pointer to them and how many are there (fewer only where the file ends; 0 when none
    // can be read); nullptr with 0 when no memory could be had.
    std::pair<const float*, std::int32_t> Piece(std::size_t at, std::int64_t pos, std::int32_t length) {
        if (pos < start_ || pos + length > start_ + held_) {
            held_ = 0;
            start_ = pos;
            const std::int64_t last = ReadEnd(at, pos, length);
            const auto want = static_cast<std::int32_t>(last - pos + 1);
            if (want > capacity_) {
                const std::int32_t grown = static_cast<std::int32_t>(
                    std::clamp<std::int64_t>(2 * std::int64_t{capacity_}, want, sliceLength_));
                slice_.reset(new (std::nothrow) float[static_cast<std::size_t>(grown)]);
                capacity_ = slice_ ? grown : 0;
                if (!slice_) return {nullptr, 0};
            }
            held_ = std::max(0, file_.Read(static_cast<std::int32_t>(pos), want, slice_.get()));
        }
        const auto there = static_cast<std::int32_t>(std::min<std::int64_t>(length, start_ + held_ - pos));
        return {slice_.get() + (pos - start_), std::max(0, there)};
    }

private:
    // Reading on past a gap of this many values costs less than another read.
    static constexpr std::int64_t kJoinGap = 4096;

    // The last position a slice read from pos should hold: the piece, then the ranges after `at`
    // while they rise, follow within kJoinGap and start inside the slice.
    std::int64_t ReadEnd(std::size_t at, std::int64_t pos, std::int32_t length) const {
        const std::int64_t limit = pos + sliceLength_ - 1;
        std::int64_t last = pos + length - 1;
        std::int64_t previous = pos;
        for (std::size_t j = at + 1; j < ranges_.size() && last < limit; ++j) {
            const PositionRange& r = ranges_[j];
            if (!r.valid || r.S < previous || r.S > last + kJoinGap + 1 || r.S > limit) break;
            last = std::max(last, std::min(r.E, limit));
            previous = r.S;
        }
        return last;
    }

    std::span<const PositionRange> ranges_;
    LevelFile& file_;
    const std::int32_t sliceLength_;
    std::unique_ptr<float[]> slice_;
    std::int32_t capacity_ = 0;
    std::int64_t start_ = 0;  // position of slice_[0]
    std::int32_t held_ = 0;   // values in the slice
};

}  // namespace

LevelPass PassOverRanges(const CScopes& ranges, LevelFile& file, double floor, std::int32_t sliceLength) {
    return PassOverRanges(Positions(ranges), file, floor, sliceLength);
}

LevelPass PassOverRanges(std::span<const PositionRange> ranges, LevelFile& file, double floor,
                         std::int32_t sliceLength, const std::function<bool(std::int32_t values)>& onSlice) {
    LevelPass result;
    sliceLength = std::max<std::int32_t>(sliceLength, 1);
    LevelAccumulator pass(result.dBSum, result.lmax, result.lmaxPos, result.histogram);
    SliceReader reader(ranges, file, sliceLength);
    for (std::size_t at = 0; at < ranges.size(); ++at) {
        const PositionRange& r = ranges[at];
        result.lastRangeTaken = 0;
        if (!r.valid || r.S < 1 || r.S > INT32_MAX) continue;
        std::int64_t remaining = std::min<std::int64_t>(r.E - r.S + 1, INT32_MAX);
        std::int64_t pos = r.S;
        std::int64_t taken = 0;
        while (remaining > 0 && pos <= INT32_MAX) {
            const auto length = static_cast<std::int32_t>(std::min<std::int64_t>(sliceLength, remaining));
            const auto [values, got] = reader.Piece(at, pos, length);
            if (values == nullptr) {
                result.complete = false;
                return result;
            }
            if (got <= 0) break;
            taken += pass.Add(values, static_cast<std::size_t>(got), pos, floor);
            pos += got;
            remaining -= got;
            if (onSlice && !onSlice(got)) {
                result.complete = false;
                return result;
            }
        }
        result.lastRangeTaken = static_cast<std::int32_t>(std::min<std::int64_t>(taken, INT32_MAX));
    }
    result.dBSum = pass.dBSum();
    result.lmax = pass.Lmax();
    result.lmaxPos = pass.LmaxPos();
    result.count = TotalOf(result.histogram);
    return result;
}

double LevelPass::Leq() const { return EquivalentLevel(dBSum, count); }

bool CLCalc::Compute(const std::string& LCalcFolder, std::span<const PositionRange> CalcScopes, const CData& LevelData,
                     const std::string& SaveDir, double floor, std::int32_t sliceLength) {
    LevelFile file(LevelData, SaveDir);
    const LevelPass pass = PassOverRanges(CalcScopes, file, floor, sliceLength);
    // A pass cut short (no memory for a slice) or a histogram that cannot be written (a read-only
    // project) leaves the last statistics that were saved, with their histogram file, as they were.
    if (!pass.complete || !LxData.SaveData(pass.histogram, LCalcFolder)) return false;
    m_Cnt = pass.lastRangeTaken;
    m_dBSum = pass.dBSum;
    Lmax = pass.lmax;
    LmaxPos = pass.lmaxPos;
    LE = kNoLevel;
    Scope.S = std::int16_t{1};
    Scope.E = CountOf(pass.count);
    return true;
}

bool CLCalc::resetFromTempLCalcs(CLCalcs& TempLCalcs) {
    const double start = Scope.S.AsDouble();
    for (std::int32_t i = 1; i <= TempLCalcs.count(); ++i) {
        CLCalc& t = TempLCalcs.Item(i);
        if (start < t.Scope.S.AsDouble()) return false;
        if (t.Scope.IsMeEqualTo(Scope)) {
            t.MeMove(*this);
            t.LxData.SaveFileName = "DummyFileName";
            TempLCalcs.Delete(i);
            return true;
        }
    }
    return false;
}

void CLCalc::setdB(double idB, LevelHistogram& iAccumulation) {
    ++m_Cnt;
    if (!std::isfinite(idB)) return;
    if (idB > Lmax) {
        Lmax = idB;
        const std::int64_t pos = ScopePosition(Scope.S).value_or(0) + m_Cnt - 1;
        LmaxPos = static_cast<std::int32_t>(std::clamp<std::int64_t>(pos, INT32_MIN, INT32_MAX));
    }
    if (m_dBSum >= kNoLevel) {
        const double s = std::pow(10.0, idB / 10.0) + std::pow(10.0, m_dBSum / 10.0);
        m_dBSum = s > 0.0 ? 10.0 * std::log10(s) : kNoLevel;
    } else {
        m_dBSum = idB;
    }
    const int k = HistogramBin(idB);
    if (k >= 0) AddToBin(iAccumulation[static_cast<std::size_t>(k)], 1);
}

}  // namespace murtesk
