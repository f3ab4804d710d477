// What the import run needs of the measurement it builds (a deep copy of the template, filled group
// by group) and of the document it adds it to. The program implements these over its records; tests
// use fakes.
#pragma once

#include "model/ch_measure_condition.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace murtesk::import {

class ImportMeasure {
public:
    virtual ~ImportMeasure() = default;

    virtual int ChannelCount() const = 0;
    // The condition of channel record `channel` (1-based).
    virtual CChMeasureCondition& ChannelCondition(int channel) = 0;
    virtual double InHz() const = 0;
    virtual double StartTime() const = 0;
    virtual void SetStartTime(double date) = 0;
    virtual void SetEndTime(double date) = 0;
    // MeasureCondition.Account: the recording's path.
    virtual void SetAccount(const std::string& text) = 0;

    // The channel's level-data file name becomes `levelFileName`; its per-band statistics records
    // are emptied and `slotCount` new ones added.
    virtual void PrepareChannel(int channel, const std::string& levelFileName, int slotCount) = 0;
    // The number of level values of the channel's file in `folder` (0 when it holds none or is missing).
    virtual std::int64_t LevelCount(int channel, const std::string& folder) = 0;
    // The channel's level series in `folder`, whole; false when it cannot be read.
    virtual bool ReadLevels(int channel, const std::string& folder, std::vector<float>& values) = 0;
    // Writes the channel's level series into `folder`, replacing the file; false when it cannot.
    virtual bool WriteLevels(int channel, const std::string& folder, const std::vector<float>& values) = 0;
    // The level chart's axes of the channel: a date axis from xMin to xMax, levels yMin to yMax.
    virtual void SetCalcXYAxis(int channel, double xMin, double xMax, double yMin, double yMax) = 0;
    // Statistics of band slot `slot` over its whole series of `count` values (nothing excluded),
    // with its level histogram. False when the histogram could not be stored (a full disk): the
    // slot then has no statistics.
    virtual bool ComputeBandStatistics(int channel, int slot, std::int64_t count, const std::string& folder) = 0;
    // Appends a channel record with this condition.
    virtual void AddChannel(const CChMeasureCondition& condition) = 0;
};

// The document's side of a run.
class ImportRunDocument {
public:
    virtual ~ImportRunDocument() = default;

    // A deep copy of the template measurement WAVMeasure.
    virtual std::unique_ptr<ImportMeasure> NewMeasureFromTemplate() = 0;
    // Appends the finished measurement to the document's measurement list.
    virtual void AddMeasure(std::unique_ptr<ImportMeasure> measure) = 0;
    // The program-wide channel condition 1 (the placeholder of one-channel measurements).
    virtual CChMeasureCondition ChannelCondition1() const = 0;
    // The document's band correction of band index `index` (1 = highest band) in dB.
    virtual double MeasureRevise(int oct1or3, int index) const = 0;
    // Correction and ceiling of band index `index` of user characteristic `number` (1-based);
    // false when the list holds fewer characteristics.
    virtual bool UserCorrection(int number, int oct1or3, int index, double& revise, double& ceiling) const = 0;

    // Folders beside the project file: a band slot's level files, the "F" slot's, the split files'.
    virtual std::string BandFolder(int oct1or3, int slot) const = 0;
    virtual std::string FlatBandFolder() const = 0;
    virtual std::string RecWavFolder() const = 0;
};

}  // namespace murtesk::import
