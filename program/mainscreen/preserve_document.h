// The program's project document: the project's records (CPreserve) with the statistics context
// its measurements make their histogram files with, as start-up, the project file commands and
// the WAV import use them.
#pragma once

#include "project_document.h"

#include "model/preserve.h"
#include "model/stats_context.h"

namespace murtesk {

class PreserveDocument final : public ProjectDocument {
public:
    // A document with its defaults whose project file path is `defaultPath`.
    explicit PreserveDocument(std::string defaultPath);

    bool FileRead(const std::string& path) override;
    bool FileWrite(const std::string& path) override;
    std::string SaveFilePath() const override { return preserve_.SaveFilePath; }
    void SetSaveFilePath(const std::string& path) override { preserve_.SaveFilePath = path; }
    std::string Memo() const override { return preserve_.MeasureCondition.Account; }
    void SetMemo(const std::string& memo) override { preserve_.MeasureCondition.Account = memo; }
    std::int32_t MeasureCount() const override { return preserve_.Measures.count(); }
    void AllDeleteMeasures() override { preserve_.Measures.AllDelete(); }
    std::vector<std::string> MeasureListTexts(std::int32_t index) const override;
    void AdoptLastMeasureCondition() override;
    void SetChannelCalibration(int index, double cal, std::int16_t calPattern) override;
    void AdoptChannelConditions(const ProjectDocument& from) override;

    CPreserve& Preserve() { return preserve_; }

private:
    StatsContext context_;
    CPreserve preserve_;
};

}  // namespace murtesk
