// One analysed channel of a measurement: its condition, the record of its level-data file, the
// axes of its graphs, one statistics record per band slot, the WAV files recorded for it and the
// horizontal level line of its graphs; and the list of the channels of a measurement.
#pragma once

#include <string>
#include <tuple>

#include "model/band_lcalc_info.h"
#include "model/ch_measure_condition.h"
#include "model/level_data.h"
#include "model/record_stream.h"
#include "model/standard_collection.h"
#include "model/stats_context.h"
#include "model/wave_file.h"
#include "model/wave_file_out.h"
#include "model/xy_axis.h"

namespace murtesk {

class CChMeasure : public Record<CChMeasure> {
public:
    // The level graph shows the ten minutes from the moment the channel is made.
    explicit CChMeasure(StatsContext& context);

    CChMeasureCondition ChMeasureCondition;
    CData LevelData;             // its SaveFileName names the series in every band folder
    CXYAxis CalcXYAxis;          // level graph of the calculation screen
    CXYAxis HzYAxis;             // band (frequency) graph
    CBandLCalcInfos BandLCalcInfos;
    CWaveFiles RecWaveFiles;
    CWaveFileOut HorizontalLine;  // OkFlg: shown; RecLevel: its level in dB

    static auto Compared(const CChMeasure& r) {
        return std::tie(r.ChMeasureCondition, r.LevelData, r.CalcXYAxis, r.HzYAxis, r.BandLCalcInfos,
                        r.RecWaveFiles, r.HorizontalLine);
    }

    // Record: magic, then the seven fields. Files before 3.2.0 have no band graph axis (it reads
    // as 30..100 dB in minutes); files before 3.0.0 lack the highest band slots, which are
    // inserted fresh after the read.
    bool MeRead(BinaryFile& fileno);
    bool MeWrite(BinaryFile& fileno) const;

    // Deletes the channel's level series of every band slot, its recorded WAV files and the
    // histogram files of its statistics, in the folders beside the project file FilePath.
    // Nothing happens for a band mode other than 1 or 3; whatever cannot be deleted stays.
    void DeleteFiles(const std::string& FilePath) const;

private:
    void growOldBandList();
};

// Channel 1 first. Read items are made with the list's statistics context.
class CChMeasures : public StandardCollection<CChMeasure, CChMeasures> {
public:
    explicit CChMeasures(StatsContext& context) : context_(&context) {}

    StatsContext& context() const { return *context_; }
    CChMeasure& AddNew() { return *Add(std::make_shared<CChMeasure>(*context_)); }

    CChMeasures MeCopy() const { return *this; }
    bool MeRead(BinaryFile& fileno) {
        return ReadCountedList(fileno, *this, [this](BinaryFile& file) {
            auto item = std::make_shared<CChMeasure>(*context_);
            return item->MeRead(file) ? item : nullptr;
        });
    }

private:
    StatsContext* context_;
};

}  // namespace murtesk
