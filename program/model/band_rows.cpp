#include "model/band_rows.h"

#include <algorithm>
#include <array>
#include <limits>

#include "model/band_slots.h"
#include "model/ch_measure.h"
#include "model/measure.h"
#include "model/shared_procedures.h"
#include "platform/numbers.h"
#include "platform/text_output.h"

namespace murtesk {

namespace {

constexpr const char* kMissing = ", ---";
constexpr std::int32_t kLmin = 100;

std::int32_t ClampedCount(std::int64_t n) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(n, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::string LevelText(double value) { return platform::FormatNumber(value, "0.0"); }
std::string CountText(double value) { return platform::FormatNumber(value, "0"); }
std::string FractionText(std::int32_t i, std::int32_t n) { return CountText(i) + "／" + CountText(n); }

std::int32_t AnalysedChannelCount(const CMeasure& measure) {
    std::int32_t n = 0;
    while (n < measure.ChMeasures.count() && !RowSlots(measure.ChMeasures.Item(n + 1).ChMeasureCondition.oct1or3).empty())
        ++n;
    return n;
}

BandRowStatistics StoredStatistics(const CLCalc& calc) {
    BandRowStatistics s;
    s.num = ClampedCount(ScopePosition(calc.Scope.E).value_or(0));
    if (s.Empty()) return s;  // nothing counted: no file to read
    const std::optional<LevelHistogram> histogram = calc.LxData.ReadData(calc.LxData.context().LCalcFolder());
    if (!histogram) {
        s.num = 0;
        s.missing = true;
        return s;
    }
    s.histogram = *histogram;
    for (std::int64_t c : s.histogram) s.counted += c;
    s.leq = EquivalentLevel(calc.m_dBSum, s.counted);
    s.lmax = calc.getLmax();
    s.lmaxPos = calc.getLmaxPos();
    return s;
}

BandRowStatistics PassStatistics(const LevelPass& pass) {
    BandRowStatistics s;
    s.num = ClampedCount(pass.count);
    s.counted = pass.count;
    s.histogram = pass.histogram;
    s.leq = pass.Leq();
    s.lmax = pass.lmax;
    s.lmaxPos = pass.lmaxPos;
    return s;
}

std::string LxColumnTitle(std::int16_t lx) {
    if (lx <= 0) return {};
    if (lx >= kLmin) return ",Ｌmin";
    return ",Ｌ" + CountText(lx);
}

std::string BandRowHeader(const BandRowLayout& layout) {
    std::string header = layout.num ? "BAND, Num," : "BAND,";
    header += "Ｌeq,Ｌmax,Ｌ5,Ｌ10,Ｌ25,Ｌ50,Ｌ75,Ｌ90,Ｌ95";
    if (layout.le) header += ",ＬE";
    header += ",ＬFmax,ＬWmax";
    return header + LxColumnTitle(layout.lx);
}

std::vector<std::int16_t> RowSlots(std::int16_t oct1or3) {
    const std::int16_t n = SlotCount(oct1or3);
    if (n == 0) return {};
    std::vector<std::int16_t> slots{1, 2};
    for (std::int16_t k = n; k >= 3; --k) slots.push_back(k);
    return slots;
}

BandRows::BandRows(const CChMeasure& channel, std::string projectPath, std::string weightingName)
    : channel_(channel),
      projectPath_(std::move(projectPath)),
      weightingName_(std::move(weightingName)),
      mode_(channel.ChMeasureCondition.oct1or3) {}

std::string BandRows::Folder(std::int16_t slot) const { return GetBandFolder(projectPath_, mode_, slot); }

const CLCalc* BandRows::Calc(std::int16_t slot) const {
    if (slot < 1 || slot > channel_.BandLCalcInfos.count()) return nullptr;
    return &channel_.BandLCalcInfos.Item(slot).LCalc;
}

BandRowStatistics BandRows::Stored(std::int16_t slot) const {
    const CLCalc* calc = Calc(slot);
    return calc != nullptr ? StoredStatistics(*calc) : BandRowStatistics{};
}

bool BandRows::HasStatistics(std::int16_t slot) const {
    const CLCalc* calc = Calc(slot);
    return calc != nullptr && ScopePosition(calc->Scope.E).value_or(0) >= 1;
}

void BandRows::SetStoredMaxima() {
    auto position = [this](std::int16_t slot) { return HasStatistics(slot) ? Calc(slot)->getLmaxPos() : -1; };
    SetMaxima(position(1), position(2));
}

std::string BandRows::Name(std::int16_t slot) const {
    return slot == 2 ? weightingName_ : std::string(GetBandName(mode_, slot));
}

std::string BandRows::LevelAt(std::int16_t slot, std::int32_t pos, bool delayed, LevelFile* file) const {
    if (pos < 1) return kMissing;
    const std::int32_t p = delayed ? AddBandDelay(mode_, slot, pos, channel_.ChMeasureCondition.LevelOutHz) : pos;
    float value = 0.0f;
    const std::int32_t got =
        file != nullptr ? file->Read(p, 1, &value) : channel_.LevelData.ReadArea(p, 1, Folder(slot), &value);
    return got == 1 ? "," + LevelText(value) : std::string(kMissing);
}

std::string BandRows::LWmax(std::int16_t slot, LevelFile* file) const {
    // A user correction characteristic has no filter delay of its own to follow.
    return LevelAt(slot, pW_, channel_.ChMeasureCondition.w <= 4, file);
}

std::string BandRows::Row(std::int16_t slot, const BandRowStatistics& s, const BandRowLayout& layout,
                          const std::optional<double>& le, LevelFile* file) const {
    if (s.Empty()) return std::string(GetBandName(mode_, slot));
    std::string row = Name(slot);
    if (layout.num) row += "," + CountText(s.num);
    row += "," + LevelText(s.leq) + "," + LevelText(s.lmax);
    // The percentiles, then the user's Lx (100 and above: Lmin).
    const std::array<std::int32_t, 8> xs{5, 10, 25, 50, 75, 90, 95, std::clamp<std::int32_t>(layout.lx, 1, kLmin)};
    std::array<double, 8> lx{};
    HistogramPercentiles(s.histogram, s.counted, xs, lx);
    for (std::size_t i = 0; i < 7; ++i) row += "," + LevelText(lx[i]);
    if (layout.le) row += le ? "," + LevelText(*le) : std::string(",---");
    row += LFmax(slot, file) + LWmax(slot, file);
    if (layout.lx > 0) row += "," + LevelText(lx[7]);
    return row;
}

bool WriteCalcValueBlock(platform::TextOutput& out, const CChMeasure& channel, const std::string& projectPath,
                         const std::string& weightingName, const std::function<bool()>& proceed) {
    const CChMeasureCondition& condition = channel.ChMeasureCondition;
    const std::vector<std::int16_t> slots = RowSlots(condition.oct1or3);
    if (slots.empty()) return true;
    out.Line(condition.Account);
    out.Line("");
    out.Line("動特性,ＣＡＬのレベル(dB)");
    out.Line(condition.getTREName(true) + ", " + CountText(condition.LVL));
    const BandRowLayout layout{true, true, channel.CalcXYAxis.Lx};
    out.Line(BandRowHeader(layout));
    BandRows rows(channel, projectPath, weightingName);
    rows.SetStoredMaxima();
    for (const std::int16_t k : slots) {
        if (!proceed()) return false;
        std::optional<double> le;
        if (k <= channel.BandLCalcInfos.count()) {
            const CBandLCalcInfo& band = channel.BandLCalcInfos.Item(k);
            if (band.LEScopes.count() > 0) le = band.AllLCalc.LE;
        }
        out.Line(rows.Row(k, rows.Stored(k), layout, le));
    }
    return true;
}

}  // namespace murtesk
