// What the import dialog needs of the project document: the template measurement WAVMeasure
// (target file list, calibration file, sampling rate, one channel record per channel) and the
// names of the user correction characteristics. The program's document implements it; tests use
// a fake.
#pragma once

#include "import_measure.h"
#include "model/ch_measure_condition.h"

#include <string>
#include <vector>

namespace murtesk::import {

class WavImportDocument : public ImportRunDocument {
public:
    virtual ~WavImportDocument() = default;

    // WAVMeasure.MeasureCondition.Account: the target WAV paths joined by NUL characters.
    virtual std::string TargetPaths() const = 0;
    // WAVMeasure.MeasureCondition.Account2: the calibration WAV path.
    virtual std::string CalibrationPath() const = 0;
    virtual void SetPaths(const std::string& targets, const std::string& calibration) = 0;
    // WAVMeasure.MeasureCondition.InHz.
    virtual void SetInHz(double inHz) = 0;

    virtual int ChannelCount() const = 0;
    // Deletes channel records from the end, or appends records with the default condition.
    virtual void SetChannelCount(int count) = 0;
    // The condition of channel record `channel` (1-based, 1..ChannelCount()).
    virtual CChMeasureCondition& ChannelCondition(int channel) = 0;

    // WName of every user correction characteristic, in list order.
    virtual std::vector<std::string> UserCharacteristicNames() const = 0;
    // Display name of band slot `slot` for analysis kind oct1or3 ("16kHz帯域", "0.8Hz帯域").
    virtual std::string BandName(int oct1or3, int slot) const = 0;
};

}  // namespace murtesk::import
