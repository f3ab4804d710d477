// The import dialog's view of the project document: the template measurement WAVMeasure and the
// measurement list of a CPreserve, the user correction characteristics loaded at start-up, and a
// measurement under construction over a CMeasure of that document.
#pragma once

#include "import_measure.h"
#include "wav_import_document.h"

#include "model/measure.h"
#include "model/original_w.h"
#include "model/preserve.h"

#include <memory>

namespace murtesk::import {

// A measurement built by an import run: a deep copy of the template, its channels' level files,
// statistics records and axes filled group by group.
class PreserveImportMeasure : public ImportMeasure {
public:
    explicit PreserveImportMeasure(std::shared_ptr<CMeasure> measure) : measure_(std::move(measure)) {}

    const std::shared_ptr<CMeasure>& Measure() const { return measure_; }

    int ChannelCount() const override;
    CChMeasureCondition& ChannelCondition(int channel) override;
    double InHz() const override;
    double StartTime() const override;
    void SetStartTime(double date) override;
    void SetEndTime(double date) override;
    void SetAccount(const std::string& text) override;
    void PrepareChannel(int channel, const std::string& levelFileName, int slotCount) override;
    std::int64_t LevelCount(int channel, const std::string& folder) override;
    bool ReadLevels(int channel, const std::string& folder, std::vector<float>& values) override;
    bool WriteLevels(int channel, const std::string& folder, const std::vector<float>& values) override;
    void SetCalcXYAxis(int channel, double xMin, double xMax, double yMin, double yMax) override;
    bool ComputeBandStatistics(int channel, int slot, std::int64_t count, const std::string& folder) override;
    void AddChannel(const CChMeasureCondition& condition) override;

private:
    CChMeasure& Channel(int channel);

    std::shared_ptr<CMeasure> measure_;
};

class PreserveImportDocument : public WavImportDocument {
public:
    PreserveImportDocument(CPreserve& preserve, const COriginalWs& originalWs)
        : preserve_(preserve), originalWs_(originalWs) {}

    std::unique_ptr<ImportMeasure> NewMeasureFromTemplate() override;
    void AddMeasure(std::unique_ptr<ImportMeasure> measure) override;
    CChMeasureCondition ChannelCondition1() const override;
    double MeasureRevise(int oct1or3, int index) const override;
    bool UserCorrection(int number, int oct1or3, int index, double& revise, double& ceiling) const override;
    // The folders are made when missing: the analysis library writes into them.
    std::string BandFolder(int oct1or3, int slot) const override;
    std::string FlatBandFolder() const override;
    std::string RecWavFolder() const override;

    std::string TargetPaths() const override;
    std::string CalibrationPath() const override;
    void SetPaths(const std::string& targets, const std::string& calibration) override;
    void SetInHz(double inHz) override;
    int ChannelCount() const override;
    void SetChannelCount(int count) override;
    CChMeasureCondition& ChannelCondition(int channel) override;
    std::vector<std::string> UserCharacteristicNames() const override;
    std::string BandName(int oct1or3, int slot) const override;

private:
    CPreserve& preserve_;
    const COriginalWs& originalWs_;
};

}  // namespace murtesk::import
