// The project document of the program: CPreserve behind what start-up and the project file
// commands use of it, with the statistics context its measurements share.
#pragma once

#include "model/preserve.h"
#include "model/stats_context.h"
#include "project_document.h"

namespace murtesk {

// The program's one statistics context: its project path is that of the open document.
StatsContext& ProgramStatsContext();

// The records of the open document; null when the document is not the program's own (a test's
// stand-in with no records).
CPreserve* OpenPreserve();

class PreserveDocument final : public ProjectDocument {
public:
    PreserveDocument() : preserve_(ProgramStatsContext()) {}

    CPreserve& Preserve() { return preserve_; }
    const CPreserve& Preserve() const { return preserve_; }

    bool FileRead(const std::string& path) override { return preserve_.FileRead(path); }
    bool FileWrite(const std::string& path) override { return preserve_.FileWrite(path); }
    void BeginProject() override;
    void HoldProject() override;
    bool BeginProjectWithoutSaving() override;
    bool SaveProject() override;
    void EndProject() override;
    std::string SaveFilePath() const override { return preserve_.SaveFilePath; }
    void SetSaveFilePath(const std::string& path) override { preserve_.SaveFilePath = path; }
    std::string Memo() const override { return preserve_.MeasureCondition.Account; }
    void SetMemo(const std::string& memo) override { preserve_.MeasureCondition.Account = memo; }
    std::int32_t MeasureCount() const override { return preserve_.Measures.count(); }
    void AllDeleteMeasures() override { preserve_.Measures.AllDelete(); }
    std::vector<std::string> MeasureListTexts(std::int32_t index) const override;
    std::vector<std::int32_t> MeasuresOfSameStart(std::int32_t index) const override;
    void AdoptLastMeasureCondition() override;
    void AdoptMeasureCondition(std::int32_t index) override;
    std::unique_ptr<RemovedMeasure> TakeMeasure(std::int32_t index) override;
    void SwapMeasures(std::int32_t a, std::int32_t b) override;
    std::unique_ptr<MeasureListCopy> CopyMeasureList() const override;
    void RestoreMeasureList(const MeasureListCopy& copy) override;
    void UpdateEndTimeFromLevels(std::int32_t index) override;
    void SetChannelCalibration(int index, double cal, std::int16_t calPattern) override;
    void AdoptChannelConditions(const ProjectDocument& from) override;

private:
    CPreserve preserve_;
};

}  // namespace murtesk
