// A measurement: one recording of the project with its measuring condition, start and end, and
// its channels; and the project's list of measurements. A measurement can also stand alone in a
// file of its own ("CMeasure.tmp", read by the recovery of an interrupted measurement), which has
// no header and is read under the version of the last project file read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "model/ch_measure.h"
#include "model/measure_condition.h"
#include "model/record_stream.h"
#include "model/standard_collection.h"
#include "model/stats_context.h"

namespace murtesk {

class CMeasure : public Record<CMeasure> {
public:
    // Start and end default to the moment the measurement is made.
    explicit CMeasure(StatsContext& context);

    CMeasureCondition MeasureCondition;
    Date StartTime;
    Date EndTime;
    CChMeasures ChMeasures;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.MeasureCondition) && io(self.StartTime) && io(self.EndTime) &&
               io(self.ChMeasures);
    }
    static auto Compared(const CMeasure& r) {
        return std::tie(r.MeasureCondition, r.StartTime, r.EndTime, r.ChMeasures);
    }

    // Deletes every file of the measurement in the folders beside the project file FilePath: the
    // channels' files, each channel's whole-recording WAV and the measurement's video, speed and
    // vehicle-count files (unless `withVideo` is false: another measurement of the same start still
    // names them). Whatever cannot be deleted stays.
    void DeleteFiles(const std::string& FilePath, bool withVideo = true) const;

    // The measurement alone in a file. FileRead gives false, leaving the measurement as it was,
    // when the file is absent or does not read whole. FileWrite replaces the file only when the
    // whole record was written; a failure leaves the old file.
    bool FileRead(const std::string& path);
    bool FileWrite(const std::string& path) const;
};

// The end of a measurement whose level series holds `count` values at `rate` values per second:
// start plus count / rate seconds rounded to a whole second, halves to the even second (6000 +
// 6000 values at 10 per second end 1200 s after the start). The start itself when rate is not a
// positive number.
Date EndTimeOfLevels(Date start, std::int64_t count, double rate);

// The measurements of a project, in the order added. Read items are made with the list's
// statistics context.
class CMeasures : public StandardCollection<CMeasure, CMeasures> {
public:
    explicit CMeasures(StatsContext& context) : context_(&context) {}

    StatsContext& context() const { return *context_; }
    CMeasure& AddNew() { return *Add(std::make_shared<CMeasure>(*context_)); }

    CMeasures MeCopy() const { return *this; }
    bool MeRead(BinaryFile& fileno) {
        return ReadCountedList(fileno, *this, [this](BinaryFile& file) {
            auto item = std::make_shared<CMeasure>(*context_);
            return item->MeRead(file) ? item : nullptr;
        });
    }

private:
    StatsContext* context_;
};

// The measurements of the list (1-based, ascending) other than `except` that start in the same
// second as `start`. A measurement's video and the video's side files are named after its start
// ("yy-m-d-h_n_s.avi"), so these measurements would share them.
std::vector<std::int32_t> MeasuresOfSameStart(const CMeasures& list, Date start, const CMeasure* except = nullptr);

}  // namespace murtesk
