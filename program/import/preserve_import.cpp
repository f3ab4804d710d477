#include "preserve_import.h"

#include "model/band_slots.h"
#include "model/shared_procedures.h"

#include <filesystem>
#include <system_error>

namespace murtesk::import {

namespace {

std::string MadeFolder(std::string folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

}  // namespace

CChMeasure& PreserveImportMeasure::Channel(int channel) { return measure_->ChMeasures.Item(channel); }

int PreserveImportMeasure::ChannelCount() const { return measure_->ChMeasures.count(); }

CChMeasureCondition& PreserveImportMeasure::ChannelCondition(int channel) { return Channel(channel).ChMeasureCondition; }

double PreserveImportMeasure::InHz() const { return measure_->MeasureCondition.InHz; }

double PreserveImportMeasure::StartTime() const { return measure_->StartTime; }

void PreserveImportMeasure::SetStartTime(double date) { measure_->StartTime = date; }

void PreserveImportMeasure::SetEndTime(double date) { measure_->EndTime = date; }

void PreserveImportMeasure::SetAccount(const std::string& text) { measure_->MeasureCondition.Account = text; }

void PreserveImportMeasure::PrepareChannel(int channel, const std::string& levelFileName, int slotCount)
{
    CChMeasure& ch = Channel(channel);
    ch.LevelData.SaveFileName = levelFileName;
    ch.BandLCalcInfos.AllDelete();
    for (int s = 0; s < slotCount; ++s) {
        ch.BandLCalcInfos.AddNew();
    }
}

std::int64_t PreserveImportMeasure::LevelCount(int channel, const std::string& folder)
{
    return Channel(channel).LevelData.getDataNum(folder);
}

bool PreserveImportMeasure::ReadLevels(int channel, const std::string& folder, std::vector<float>& values)
{
    // A series is read only after its count was found positive: nothing read is a failure.
    values = Channel(channel).LevelData.getData(folder);
    return !values.empty();
}

bool PreserveImportMeasure::WriteLevels(int channel, const std::string& folder, const std::vector<float>& values)
{
    return Channel(channel).LevelData.SaveData(values, folder);
}

void PreserveImportMeasure::SetCalcXYAxis(int channel, double xMin, double xMax, double yMin, double yMax)
{
    CXYAxis& axis = Channel(channel).CalcXYAxis;
    axis.XAxisUnit = 3;
    axis.XAxisMin = Variant::FromDate(xMin);
    axis.XAxisMax = Variant::FromDate(xMax);
    axis.YAxisMin = yMin;
    axis.YAxisMax = yMax;
}

bool PreserveImportMeasure::ComputeBandStatistics(int channel, int slot, std::int64_t count, const std::string& folder)
{
    CChMeasure& ch = Channel(channel);
    CBandLCalcInfo& info = ch.BandLCalcInfos.Item(slot);
    const auto n = static_cast<std::int32_t>(count);
    info.AllLCalc.Scope.S = Variant(std::int32_t{1});
    info.AllLCalc.Scope.E = Variant(n);
    info.Scopes.AllDelete();
    return info.LCalc.resetNew(info.Scopes.getReverse(Variant(std::int32_t{1}), Variant(n)), ch.LevelData, folder);
}

void PreserveImportMeasure::AddChannel(const CChMeasureCondition& condition)
{
    condition.MeMove(measure_->ChMeasures.AddNew().ChMeasureCondition);
}

std::unique_ptr<ImportMeasure> PreserveImportDocument::NewMeasureFromTemplate()
{
    return std::make_unique<PreserveImportMeasure>(std::make_shared<CMeasure>(preserve_.WAVMeasure));
}

void PreserveImportDocument::AddMeasure(std::unique_ptr<ImportMeasure> measure)
{
    // Only measurements made here reach the document.
    preserve_.Measures.Add(static_cast<PreserveImportMeasure&>(*measure).Measure());
}

CChMeasureCondition PreserveImportDocument::ChannelCondition1() const { return preserve_.ChMeasureCondition(0); }

double PreserveImportDocument::MeasureRevise(int oct1or3, int index) const
{
    return oct1or3 == kOneThirdOctaveBandMode ? preserve_.MeasureRevise3.getdB(index)
                                              : preserve_.MeasureRevise1.getdB(index);
}

bool PreserveImportDocument::UserCorrection(int number, int oct1or3, int index, double& revise, double& ceiling) const
{
    if (number < 1 || number > originalWs_.count()) {
        return false;
    }
    const COriginalW& w = originalWs_.Item(number);
    if (oct1or3 == kOneThirdOctaveBandMode) {
        revise = w.WRevise3.getdB(index);
        ceiling = w.WMax3.getdB(index);
    } else {
        revise = w.WRevise1.getdB(index);
        ceiling = w.WMax1.getdB(index);
    }
    return true;
}

std::string PreserveImportDocument::BandFolder(int oct1or3, int slot) const
{
    return MadeFolder(preserve_.BandFolder(static_cast<std::int16_t>(oct1or3), static_cast<std::int16_t>(slot)));
}

std::string PreserveImportDocument::FlatBandFolder() const
{
    return MadeFolder(GetFlatBandFolder(preserve_.SaveFilePath));
}

std::string PreserveImportDocument::RecWavFolder() const { return MadeFolder(preserve_.RecWavFolder()); }

std::string PreserveImportDocument::TargetPaths() const { return preserve_.WAVMeasure.MeasureCondition.Account; }

std::string PreserveImportDocument::CalibrationPath() const { return preserve_.WAVMeasure.MeasureCondition.Account2; }

void PreserveImportDocument::SetPaths(const std::string& targets, const std::string& calibration)
{
    preserve_.WAVMeasure.MeasureCondition.Account = targets;
    preserve_.WAVMeasure.MeasureCondition.Account2 = calibration;
}

void PreserveImportDocument::SetInHz(double inHz) { preserve_.WAVMeasure.MeasureCondition.InHz = inHz; }

int PreserveImportDocument::ChannelCount() const { return preserve_.WAVMeasure.ChMeasures.count(); }

void PreserveImportDocument::SetChannelCount(int count)
{
    CChMeasures& channels = preserve_.WAVMeasure.ChMeasures;
    while (channels.count() > count) {
        channels.Delete(channels.count());
    }
    while (channels.count() < count) {
        channels.AddNew();
    }
}

CChMeasureCondition& PreserveImportDocument::ChannelCondition(int channel)
{
    return preserve_.WAVMeasure.ChMeasures.Item(channel).ChMeasureCondition;
}

std::vector<std::string> PreserveImportDocument::UserCharacteristicNames() const
{
    std::vector<std::string> names;
    for (int k = 1; k <= originalWs_.count(); ++k) {
        names.push_back(originalWs_.Item(k).WName);
    }
    return names;
}

std::string PreserveImportDocument::BandName(int oct1or3, int slot) const
{
    return std::string(GetBandName(static_cast<std::int16_t>(oct1or3), static_cast<std::int16_t>(slot)));
}

}  // namespace murtesk::import
