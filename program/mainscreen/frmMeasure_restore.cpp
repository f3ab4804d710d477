// Recovery of an interrupted measurement: the measurement record in "CMeasure.tmp" in the program
// folder is completed from its level files in the open project (end time, graph axes, the first
// second of every band excluded and the target statistics without it), added to the project and
// saved. The file goes once a saved project holds the measurement.
#include "frmMeasure.h"

#include "globals.h"
#include "preserve_document.h"

#include "model/band_slots.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/numbers.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace murtesk {

using platform::MsgButtons;
using platform::MsgIcon;

namespace {

constexpr const char* kRecoveryFile = "CMeasure.tmp";

bool UsableRate(double rate) { return rate > 0.0 && std::isfinite(rate); }

// Completes one channel of the recovered measurement from its level files. yAxis: the level range
// of the project's channel condition for this channel, when it has one.
void CompleteChannel(CMeasure& m, std::int32_t c, const CXYAxis* yAxis, const std::string& projectPath) {
    CChMeasure& channel = m.ChMeasures.Item(c);
    const CChMeasureCondition& condition = channel.ChMeasureCondition;
    const double rate = condition.LevelOutHz;
    if (c == 1) {
        const std::int32_t n = channel.LevelData.getDataNumNoWait(GetFlatBandFolder(projectPath));
        m.EndTime = EndTimeOfLevels(m.StartTime, n, rate);
    }
    CXYAxis& axis = channel.CalcXYAxis;
    axis.XAxisUnit = 3;
    axis.XAxisMin = Variant::FromDate(m.StartTime);
    axis.XAxisMax = Variant::FromDate(platform::AddSeconds(m.StartTime, 60));
    if (yAxis != nullptr) {
        axis.YAxisMin = yAxis->YAxisMin;
        axis.YAxisMax = yAxis->YAxisMax;
    }
    std::int32_t firstSecond = 0;
    platform::RoundToInt32(rate, firstSecond);
    const std::int32_t slots = std::min<std::int32_t>(SlotCount(condition.oct1or3), channel.BandLCalcInfos.count());
    for (std::int32_t k = 1; k <= slots; ++k) {
        const std::string folder = GetBandFolder(projectPath, condition.oct1or3, static_cast<std::int16_t>(k));
        const std::int32_t n = channel.LevelData.getDataNumNoWait(folder);
        CBandLCalcInfo& record = channel.BandLCalcInfos.Item(k);
        record.AllLCalc.Scope = CScope(std::int32_t{1}, n);
        record.Scopes.AllDelete();
        record.Scopes.Add(CScope(std::int32_t{1}, std::min(firstSecond, n)));
        // A band without level data has nothing to calculate over.
        const CScopes targets = n >= 1 ? record.Scopes.getReverse(std::int32_t{1}, n) : CScopes();
        record.LCalc.resetNew(targets, channel.LevelData, folder);
    }
}

}  // namespace

void frmMeasure::mnuToolRestore_Click() {
    CPreserve* doc = OpenPreserve();
    if (doc == nullptr || g_bStartSelect || !restoreFileFound_) {
        return;
    }
    platform::BusyPointer busy(ui_);
    auto m = std::make_shared<CMeasure>(doc->context());
    const bool read = m->FileRead(AppFile(kRecoveryFile));
    const bool rates = read && std::all_of(m->ChMeasures.begin(), m->ChMeasures.end(), [](const auto& channel) {
                           return UsableRate(channel->ChMeasureCondition.LevelOutHz);
                       });
    if (!read || !rates) {
        busy.End();
        ui_.MsgBox("復旧できませんでした.");
        return;
    }
    for (std::int32_t c = 1; c <= m->ChMeasures.count(); ++c) {
        // The project keeps level ranges for two input channels; later channels keep their own.
        const CXYAxis* yAxis = c <= 2 ? &doc->ChMeasureCondition(c - 1).LevelXYAxis : nullptr;
        CompleteChannel(*m, c, yAxis, doc->SaveFilePath);
    }
    doc->Measures.Add(m);
    // In the list now: the command cannot add it a second time.
    recovered_ = m;
    restoreFileFound_ = false;
    m_MeasureIndex = doc->Measures.count();
    RefreshMeasureList();
    const bool saved = SaveData();
    busy.End();
    if (saved) {
        ui_.MsgBox("復旧しました.");
    } else {
        ui_.MsgBox("復旧しましたが、保存できませんでした.", MsgButtons::OK, MsgIcon::Critical);
    }
}

void frmMeasure::ForgetRecoveryFile() {
    const std::shared_ptr<CMeasure> m = recovered_.lock();
    const CPreserve* doc = OpenPreserve();
    if (!m || doc == nullptr) {
        return;
    }
    if (std::find(doc->Measures.begin(), doc->Measures.end(), m) == doc->Measures.end()) {
        return;
    }
    std::error_code ec;
    std::filesystem::remove(std::filesystem::u8path(AppFile(kRecoveryFile)), ec);
    recovered_.reset();
}

}  // namespace murtesk
