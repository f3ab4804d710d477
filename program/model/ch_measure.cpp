#include "model/ch_measure.h"

#include <memory>
#include <utility>
#include <vector>

#include "model/band_slots.h"
#include "model/project_files.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"

namespace murtesk {

namespace {

constexpr double kHzAxisMax = 100.0;
constexpr double kHzAxisMin = 30.0;
constexpr std::int16_t kHzAxisUnit = 1;
constexpr std::int16_t kDateTimeUnit = 3;

}  // namespace

CChMeasure::CChMeasure(StatsContext& context) : BandLCalcInfos(context) {
    const Date now = platform::Now();
    CalcXYAxis.XAxisMin = Variant::FromDate(now);
    CalcXYAxis.XAxisMax = Variant::FromDate(platform::AddSeconds(now, 10 * 60));
    CalcXYAxis.XAxisUnit = kDateTimeUnit;
    HzYAxis.YAxisMax = kHzAxisMax;
    HzYAxis.YAxisMin = kHzAxisMin;
    HzYAxis.XAxisUnit = kHzAxisUnit;
}

bool CChMeasure::MeRead(BinaryFile& fileno) {
    RecordReader io(fileno);
    if (!io.Magic() || !io(ChMeasureCondition) || !io(LevelData) || !io(CalcXYAxis)) return false;
    if (FileVersionFrom({3, 2, 0})) {
        if (!io(HzYAxis)) return false;
    } else {
        HzYAxis.YAxisMax = kHzAxisMax;
        HzYAxis.YAxisMin = kHzAxisMin;
        HzYAxis.XAxisUnit = kHzAxisUnit;
    }
    if (!io(BandLCalcInfos)) return false;
    if (!FileVersionFrom({3, 0, 0})) growOldBandList();
    return io(RecWaveFiles) && io(HorizontalLine);
}

bool CChMeasure::MeWrite(BinaryFile& fileno) const {
    RecordWriter io(fileno);
    return io.Magic() && io(ChMeasureCondition) && io(LevelData) && io(CalcXYAxis) && io(HzYAxis) &&
           io(BandLCalcInfos) && io(RecWaveFiles) && io(HorizontalLine);
}

// Files before 3.0.0 had no slots for the highest bands: 16 octave records lack the 16 kHz slot,
// 44 one-third-octave records the 20, 16 and 12.5 kHz slots. They are inserted fresh after F and W.
void CChMeasure::growOldBandList() {
    int fresh = 0;
    if (ChMeasureCondition.oct1or3 == 1 && BandLCalcInfos.count() == 16) {
        fresh = 1;
    } else if (ChMeasureCondition.oct1or3 == 3 && BandLCalcInfos.count() == 44) {
        fresh = 3;
    } else {
        return;
    }
    std::vector<std::shared_ptr<CBandLCalcInfo>> old(BandLCalcInfos.begin(), BandLCalcInfos.end());
    BandLCalcInfos.AllDelete();
    BandLCalcInfos.Add(old[0]);
    BandLCalcInfos.Add(old[1]);
    for (int i = 0; i < fresh; ++i) BandLCalcInfos.AddNew();
    for (std::size_t i = 2; i < old.size(); ++i) BandLCalcInfos.Add(old[i]);
}

void CChMeasure::DeleteFiles(const std::string& FilePath) const {
    const std::int16_t mode = ChMeasureCondition.oct1or3;
    const int slots = SlotCount(mode);
    if (slots == 0) return;
    for (int k = 1; k <= slots; ++k) {
        DeleteFileIn(GetBandFolder(FilePath, mode, static_cast<std::int16_t>(k)), LevelData.SaveFileName);
    }
    const std::string recWav = GetRecWavFolder(FilePath);
    for (const auto& wave : RecWaveFiles) DeleteFileIn(recWav, wave->SaveFileName);
    const std::string lcalc = GetLCalcFolder(FilePath);
    for (const auto& band : BandLCalcInfos) {
        DeleteFileIn(lcalc, band->AllLCalc.LxData.SaveFileName);
        DeleteFileIn(lcalc, band->LCalc.LxData.SaveFileName);
    }
}

}  // namespace murtesk
