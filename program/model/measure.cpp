#include "model/measure.h"

#include <cmath>
#include <utility>

#include "model/project_files.h"
#include "model/shared_procedures.h"
#include "platform/atomic_file.h"
#include "platform/dates.h"
#include "platform/numbers.h"

namespace murtesk {

CMeasure::CMeasure(StatsContext& context)
    : StartTime(platform::Now()), EndTime(StartTime), ChMeasures(context) {}

void CMeasure::DeleteFiles(const std::string& FilePath, bool withVideo) const {
    const std::string recWav = GetRecWavFolder(FilePath);
    for (const auto& channel : ChMeasures) {
        channel->DeleteFiles(FilePath);
        // The whole-recording WAV: "ALL", the level file's name without its extension, ".Wav".
        const std::string& level = channel->LevelData.SaveFileName;
        if (level.size() > 4) DeleteFileIn(recWav, "ALL" + level.substr(0, level.size() - 4) + ".Wav");
    }
    if (!withVideo) return;
    const std::string stem = platform::FormatFileNameDate(StartTime);
    for (const char* extension : {".avi", ".kmh", ".car"}) DeleteFileIn(recWav, stem + extension);
}

std::vector<std::int32_t> MeasuresOfSameStart(const CMeasures& list, Date start, const CMeasure* except) {
    const std::string name = platform::FormatFileNameDate(start);
    std::vector<std::int32_t> same;
    for (std::int32_t i = 1; i <= list.count(); ++i) {
        const CMeasure& other = list.Item(i);
        if (&other != except && platform::FormatFileNameDate(other.StartTime) == name) same.push_back(i);
    }
    return same;
}

Date EndTimeOfLevels(Date start, std::int64_t count, double rate) {
    if (!(rate > 0.0) || !std::isfinite(rate)) return start;
    return platform::AddSeconds(start, platform::RoundHalfToEven(static_cast<double>(count) / rate));
}

bool CMeasure::FileRead(const std::string& path) {
    CMeasure fresh(ChMeasures.context());
    if (!ReadRecordFile(path, fresh)) return false;
    *this = std::move(fresh);
    return true;
}

bool CMeasure::FileWrite(const std::string& path) const {
    return platform::ReplaceFile(path, [this](BinaryFile& file) { return MeWrite(file); });
}

}  // namespace murtesk
