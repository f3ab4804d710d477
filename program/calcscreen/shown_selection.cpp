#include "shown_selection.h"

#include "globals.h"
#include "time_window.h"

#include "model/band_slots.h"
#include "model/scopes.h"
#include "model/shared_procedures.h"
#include "platform/numbers.h"

#include <cmath>

namespace murtesk {

namespace {

constexpr const char* kNoDate = "----/--/-- --:--:--";

}  // namespace

std::string PositionDateText(const Variant& position, Date start, double rate) {
    if (position.IsEmpty() || position.IsNull() || !RateUsable(rate)) {
        return kNoDate;
    }
    const double p = position.AsDouble();
    if (!std::isfinite(p)) {
        return kNoDate;
    }
    return platform::FormatDisplayDate(platform::AddSeconds(start, (p - 1.0) / rate));
}

std::string BandCaption(const CChMeasureCondition& condition, std::int16_t slot) {
    if (slot == 1) return "Ｆ特性";
    if (slot == 2) return condition.getWName(true, g_OriginalWs);
    return std::string(GetBandName(condition.oct1or3, slot));
}

CBandLCalcInfo* ShownSelection::BandInfo() const {
    if (!channel || band < 1 || band > channel->BandLCalcInfos.count()) {
        return nullptr;
    }
    return &channel->BandLCalcInfos.Item(band);
}

double ShownSelection::Rate() const { return channel ? channel->ChMeasureCondition.LevelOutHz : 0.0; }

std::string ShownSelection::BandFolder(const std::string& projectPath, std::int16_t slot) const {
    return channel ? GetBandFolder(projectPath, channel->ChMeasureCondition.oct1or3, slot) : std::string();
}

std::string ShownSelection::BandCaption() const {
    return channel ? murtesk::BandCaption(channel->ChMeasureCondition, band) : std::string();
}

std::optional<ShownSelection::Range> ShownSelection::LE() const {
    const CBandLCalcInfo* info = BandInfo();
    if (!measure || info == nullptr || info->LEScopes.count() < 1) return std::nullopt;
    const CScope& range = info->LEScopes.Item(1);
    const std::optional<std::int64_t> s = ScopePosition(range.S);
    const std::optional<std::int64_t> e = ScopePosition(range.E);
    if (!s || !e) return std::nullopt;
    return Range{*s, *e, PositionDateText(range.S, measure->StartTime, Rate()),
                 PositionDateText(range.E, measure->StartTime, Rate())};
}

std::string ShownSelection::LEStartText() const {
    const CBandLCalcInfo* info = BandInfo();
    if (!measure || info == nullptr || info->LEScopes.count() < 1) return kNoDate;
    return PositionDateText(info->LEScopes.Item(1).S, measure->StartTime, Rate());
}

std::string ShownSelection::LEEndText() const {
    const CBandLCalcInfo* info = BandInfo();
    if (!measure || info == nullptr || info->LEScopes.count() < 1) return kNoDate;
    return PositionDateText(info->LEScopes.Item(1).E, measure->StartTime, Rate());
}

bool ShownSelection::RangeMs(const CScope& range, std::int32_t& startMs, std::int32_t& endMs) const {
    const double rate = Rate();
    const auto ms = [rate](const Variant& end, std::int32_t& out) {
        const std::optional<std::int64_t> p = ScopePosition(end);
        return p && rate > 0.0 && platform::RoundToInt32(static_cast<double>(*p - 1) / rate * 1000.0, out);
    };
    return channel && ms(range.S, startMs) && ms(range.E, endMs);
}

std::string ShownSelection::SplitRecording(const std::string& recWav, std::int32_t number) const {
    const std::string& name = measure->ChMeasures.Item(number).LevelData.SaveFileName;
    // The level file's name less its last four characters (UTF-8 sequences counted as one).
    std::size_t end = name.size();
    for (int i = 0; i < 4 && end > 0; ++i) {
        do {
            --end;
        } while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80);
    }
    return recWav + "/ALL" + name.substr(0, end) + ".Wav";
}

bool ReadWindow(const ShownSelection& shown, WindowState& state) {
    if (!shown.measure || !shown.channel) {
        return false;
    }
    const auto window = WindowOf(shown.channel->CalcXYAxis);
    if (!window) {
        return false;
    }
    state.window = *window;
    state.start = shown.measure->StartTime;
    state.end = shown.measure->EndTime;
    state.lengthSec = platform::WholeSecondsBetween(state.start, state.end);
    state.startSec = platform::WholeSecondsBetween(state.start, window->start);
    state.rate = shown.channel->ChMeasureCondition.LevelOutHz;
    return true;
}

}  // namespace murtesk
