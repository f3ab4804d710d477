#include "model/mark_statistics.h"

#include <algorithm>
#include <filesystem>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "model/band_recalc.h"
#include "model/band_slots.h"
#include "model/level_accumulator.h"
#include "model/project_files.h"
#include "platform/binary_file.h"

namespace murtesk {

CScopes SlotRangeList(const CBandLCalcInfos& infos, std::int16_t slot, std::int32_t S, std::int32_t E,
                      bool excludeOwn) {
    CScopes list;
    if (slot < 1 || slot > infos.count() || S > E) return list;
    if (excludeOwn) return infos.Item(slot).Scopes.getReverse(Variant(S), Variant(E));
    list.SimpleAdd(std::make_shared<CScope>(Variant(S), Variant(E)));
    return list;
}

namespace {

// The ranges of a list as 1-based positions, each cut to at most INT32_MAX values; ranges
// that start before position 1 or past INT32_MAX, or whose ends are not numbers, are left out.
template <class Take>
void ForEachRange(const CScopes& ranges, const Take& take) {
    for (const auto& r : ranges) {
        const auto s = ScopePosition(r->S);
        const auto e = ScopePosition(r->E);
        if (!s || !e || *s < 1 || *s > INT32_MAX) continue;
        const std::int64_t n = std::min<std::int64_t>(*e - *s + 1, INT32_MAX);
        if (n > 0) take(*s, n);
    }
}

// The values of a range list, read slice by slice, handed to `take` with the position of the
// first; each range is cut where the file ends.
template <class Take>
void ForEachSlice(const CScopes& ranges, const CData& levels, const std::string& SaveDir, std::int32_t sliceLength,
                  std::vector<float>& buffer, const Take& take) {
    ForEachRange(ranges, [&](std::int64_t first, std::int64_t remaining) {
        for (std::int64_t pos = first; remaining > 0 && pos <= INT32_MAX;) {
            const auto length = static_cast<std::int32_t>(std::min<std::int64_t>(sliceLength, remaining));
            if (buffer.size() < static_cast<std::size_t>(length)) buffer.resize(static_cast<std::size_t>(length));
            const std::int32_t got = levels.ReadArea(static_cast<std::int32_t>(pos), length, SaveDir, buffer.data());
            if (got <= 0) break;
            take(buffer.data(), static_cast<std::size_t>(got), pos);
            pos += got;
            remaining -= got;
        }
    });
}

// The positions a list names, ends included (reversed or unreadable ranges name none).
std::int64_t PositionsOf(const CScopes& ranges) {
    std::int64_t n = 0;
    for (const auto& r : ranges) {
        const auto s = ScopePosition(r->S);
        const auto e = ScopePosition(r->E);
        if (s && e && *e >= *s) n += *e - *s + 1;
    }
    return n;
}

// Writes a file over its own blocks: emptying a file and writing it again makes the file system
// flush it at once, which would cost a disk write for every slot.
bool WriteInPlace(const std::string& path, const void* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
        ::close(fd);
        return false;
    }
    BinaryFile file;
    return file.AdoptForWriting(fd) && file.Write(data, size) && file.Close();
}

// One statistics object's results: the histogram written in place, then the numbers.
bool Store(CLCalc& calc, const std::string& LCalcFolder, const LevelHistogram& histogram, double dBSum, double lmax,
           std::int32_t lmaxPos) {
    const auto path = PathInFolder(LCalcFolder, calc.LxData.SaveFileName);
    std::error_code ec;
    std::filesystem::create_directories(LCalcFolder, ec);
    const bool saved = path && WriteInPlace(*path, histogram.data(), sizeof histogram);
    std::int64_t total = 0;
    for (const std::int32_t c : histogram) total += c;
    calc.Scope.S = std::int16_t{1};
    calc.Scope.E = saved ? static_cast<std::int32_t>(std::min<std::int64_t>(total, INT32_MAX)) : std::int32_t{0};
    calc.m_dBSum = saved ? dBSum : kEmptyEnergySum;
    calc.Lmax = saved ? lmax : kNoLevel;
    calc.LmaxPos = saved ? lmaxPos : 0;
    calc.m_Cnt = 0;
    return saved;
}

}  // namespace

bool ComputeSlotPair(const std::string& LCalcFolder, SlotPair& pair, std::int32_t sliceLength) {
    sliceLength = std::max<std::int32_t>(sliceLength, 1);
    const CScopes& ranges = *pair.Ranges;
    const bool usable = pair.LevelOutHz > 0.0 && pair.LevelOutHz < std::numeric_limits<double>::infinity();
    pair.Saved = false;
    try {
        // A short list is read once, range by range, and kept for the upper statistics.
        const std::int64_t positions = PositionsOf(ranges);
        const bool keep = positions <= sliceLength;
        std::vector<float> buffer;
        std::vector<std::pair<std::int64_t, std::size_t>> pieces;  // first position, values
        if (keep) {
            buffer.resize(static_cast<std::size_t>(positions));
            std::size_t at = 0;
            ForEachRange(ranges, [&](std::int64_t first, std::int64_t n) {
                const std::int32_t got = pair.LevelData->ReadArea(static_cast<std::int32_t>(first),
                                                                  static_cast<std::int32_t>(n), pair.SaveDir,
                                                                  buffer.data() + at);
                if (got <= 0) return;
                pieces.emplace_back(first, static_cast<std::size_t>(got));
                at += static_cast<std::size_t>(got);
            });
        }
        // Each piece of kept values, or each slice read again, handed to `take`.
        const auto forEach = [&](const auto& take) {
            if (!keep) {
                ForEachSlice(ranges, *pair.LevelData, pair.SaveDir, sliceLength, buffer, take);
                return;
            }
            std::size_t at = 0;
            for (const auto& [first, n] : pieces) {
                take(buffer.data() + at, n, first);
                at += n;
            }
        };

        pair.Histogram.fill(0);
        double dBSum = kEmptyEnergySum;
        double lmax = kNoLevel;
        std::int32_t lmaxPos = 0;
        CompensatedSum energy;
        {
            LevelAccumulator pass(dBSum, lmax, lmaxPos, pair.Histogram);
            forEach([&](const float* v, std::size_t n, std::int64_t first) {
                pass.Add(v, n, first, -std::numeric_limits<double>::infinity());
                energy.Add(EnergySum(v, n));
            });
            dBSum = pass.dBSum();
            lmax = pass.Lmax();
            lmaxPos = pass.LmaxPos();
        }
        const double sum = energy.Value();
        const double le = usable && sum > 0.0 ? 10.0 * std::log10(sum) - 10.0 * std::log10(pair.LevelOutHz) : kNoLevel;

        LevelHistogram upperHistogram{};
        double upperSum = kEmptyEnergySum;
        double upperMax = kNoLevel;
        std::int32_t upperPos = 0;
        {
            LevelAccumulator pass(upperSum, upperMax, upperPos, upperHistogram);
            const double floor = lmax - kUpperSpanDb;
            forEach([&](const float* v, std::size_t n, std::int64_t first) { pass.Add(v, n, first, floor); });
            upperSum = pass.dBSum();
            upperMax = pass.Lmax();
            upperPos = pass.LmaxPos();
        }
        const bool rangeSaved = Store(*pair.Range, LCalcFolder, pair.Histogram, dBSum, lmax, lmaxPos);
        const bool upperSaved = Store(*pair.Upper, LCalcFolder, upperHistogram, upperSum, upperMax, upperPos);
        pair.Saved = rangeSaved && upperSaved;
        pair.Range->LE = le;
    } catch (const std::bad_alloc&) {
        pair.Saved = false;
    }
    if (!pair.Saved) {
        // Neither half of a pair stands alone.
        pair.Range->Scope.E = std::int32_t{0};
        pair.Upper->Scope.E = std::int32_t{0};
        pair.Range->LE = kNoLevel;
        pair.Histogram.fill(0);
    }
    return pair.Saved;
}

bool ComputeSlotPairs(std::span<SlotPair> pairs, unsigned threads, std::int32_t sliceLength) {
    if (pairs.empty()) return true;
    const std::string folder = pairs.front().Range->LxData.context().LCalcFolder();
    OnCores(pairs.size(), threads, [&](std::size_t i) { ComputeSlotPair(folder, pairs[i], sliceLength); });
    return std::all_of(pairs.begin(), pairs.end(), [](const SlotPair& p) { return p.Saved; });
}

bool CountedNothing(const CLCalc& calc) { return ScopePosition(calc.Scope.E).value_or(0) < 1; }

std::int32_t MaximumPosition(const CLCalc& calc) { return CountedNothing(calc) ? -1 : calc.getLmaxPos(); }

std::optional<float> LevelAtMoment(const CData& LevelData, const std::string& SaveDir, std::int16_t oct1or3,
                                   std::int16_t slot, std::int32_t pos, double LevelOutHz, bool delayed) {
    if (pos < 1) return std::nullopt;
    const std::int32_t q = delayed ? AddBandDelay(oct1or3, slot, pos, LevelOutHz) : pos;
    float value = 0.0f;
    if (LevelData.ReadArea(q, 1, SaveDir, &value) != 1) return std::nullopt;
    return value;
}

}  // namespace murtesk
