// The document the program uses until the project file itself is part of it: it holds the
// project path, memo and channel calibration in memory and can neither read nor write a file,
// so opening reports failure and every save reports failure; nothing on disk is touched.
#pragma once

#include "project_document.h"

namespace murtesk {

class MemoryDocument final : public ProjectDocument {
public:
    explicit MemoryDocument(std::string defaultPath) : path_(std::move(defaultPath)) {}

    bool FileRead(const std::string&) override { return false; }
    bool FileWrite(const std::string&) override { return false; }
    std::string SaveFilePath() const override { return path_; }
    void SetSaveFilePath(const std::string& path) override { path_ = path; }
    std::string Memo() const override { return memo_; }
    void SetMemo(const std::string& memo) override { memo_ = memo; }
    std::int32_t MeasureCount() const override { return 0; }
    void AllDeleteMeasures() override {}
    std::vector<std::string> MeasureListTexts(std::int32_t) const override { return {}; }
    void AdoptLastMeasureCondition() override {}
    void SetChannelCalibration(int index, double cal, std::int16_t calPattern) override
    {
        cal_[index] = cal;
        calPattern_[index] = calPattern;
    }
    void AdoptChannelConditions(const ProjectDocument& from) override
    {
        const auto& other = static_cast<const MemoryDocument&>(from);
        for (int i = 0; i < 2; ++i) {
            cal_[i] = other.cal_[i];
            calPattern_[i] = other.calPattern_[i];
        }
    }

private:
    std::string path_;
    std::string memo_;
    double cal_[2] = {5000.0, 5000.0};
    std::int16_t calPattern_[2] = {0, 0};
};

}  // namespace murtesk
