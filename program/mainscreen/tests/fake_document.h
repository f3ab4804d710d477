// A project document for form tests: a small line-based file written through the platform's
// atomic file replacement (whose write limit makes saves fail in tests), and fields the
// tests can see: path, memo, measurements, the channel conditions' calibration and a tag
// that tells whose channel conditions a document holds.
#pragma once

#include "project_document.h"

#include <memory>
#include <string>
#include <vector>

namespace murtesk::testing {

class FakeDocument : public ProjectDocument {
public:
    struct Measure {
        std::string file;
        std::string start;
        std::string comment;
        std::string condition;  // stands for the measurement's MeasureCondition
    };
    struct Channel {
        double cal = 5000.0;
        int calPattern = 1;
        std::string tag = "file";
    };

    static inline int writes = 0;
    // Opened without saving: whether a folder of the program's own could take its statistics.
    static inline bool ownStatistics = true;
    // Every write ("write <path>", also when it fails) and file deletion ("delete <file>") in order.
    static inline std::vector<std::string> log;

    explicit FakeDocument(std::string defaultPath) : path(std::move(defaultPath)) {}

    bool FileRead(const std::string& file) override;
    bool FileWrite(const std::string& file) override;
    std::string SaveFilePath() const override { return path; }
    void SetSaveFilePath(const std::string& p) override { path = p; }
    std::string Memo() const override { return memo; }
    void SetMemo(const std::string& m) override { memo = m; }
    std::int32_t MeasureCount() const override { return static_cast<std::int32_t>(measures.size()); }
    void AllDeleteMeasures() override { measures.clear(); }
    std::vector<std::string> MeasureListTexts(std::int32_t index) const override;
    std::vector<std::int32_t> MeasuresOfSameStart(std::int32_t index) const override;
    void AdoptLastMeasureCondition() override { condition = measures.back().condition; }
    void AdoptMeasureCondition(std::int32_t index) override { condition = measures.at(static_cast<std::size_t>(index - 1)).condition; }
    std::unique_ptr<RemovedMeasure> TakeMeasure(std::int32_t index) override;
    void SwapMeasures(std::int32_t a, std::int32_t b) override;
    std::unique_ptr<MeasureListCopy> CopyMeasureList() const override;
    void RestoreMeasureList(const MeasureListCopy& copy) override;
    void UpdateEndTimeFromLevels(std::int32_t index) override { endTimeUpdates.push_back(index); }
    void SetChannelCalibration(int index, double cal, std::int16_t calPattern) override;
    void AdoptChannelConditions(const ProjectDocument& from) override;
    bool BeginProjectWithoutSaving() override { return ownStatistics; }

    std::string path;
    std::string memo;
    std::string condition = "default";
    std::vector<Measure> measures;
    Channel channels[2];
    std::vector<std::int32_t> endTimeUpdates;
};

}  // namespace murtesk::testing
