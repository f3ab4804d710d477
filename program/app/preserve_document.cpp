#include "preserve_document.h"

#include "globals.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/own_folder.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace murtesk {

StatsContext& ProgramStatsContext()
{
    static StatsContext context([] { return g_Preserve ? g_Preserve->SaveFilePath() : std::string(); },
                                [] { return platform::Now(); });
    return context;
}

CPreserve* OpenPreserve()
{
    auto* document = dynamic_cast<PreserveDocument*>(&g_PreserveDoc());
    return document == nullptr ? nullptr : &document->Preserve();
}

void PreserveDocument::BeginProject()
{
    preserve_.context().Histograms().BeginProject(preserve_.LCalcFolder(), preserve_.HistogramFileNames());
}

void PreserveDocument::HoldProject()
{
    preserve_.context().Histograms().Hold(LeftoverRecord::PathOf(preserve_.SaveFilePath));
}

bool PreserveDocument::BeginProjectWithoutSaving()
{
    HistogramFiles& histograms = preserve_.context().Histograms();
    const std::string folder = preserve_.LCalcFolder();
    const std::vector<std::string> names = preserve_.HistogramFileNames();
    // The first folder of the run's own that holds every copy; where none does, the statistics are read
    // where they lie, rather than shown as missing beside the project's files.
    for (const std::string& parent : platform::OwnFoldersParents()) {
        std::unique_ptr<platform::OwnFolder> own = platform::OwnFolder::Make(parent);
        if (own && histograms.BeginProjectWithoutSaving(folder, names, std::move(own))) {
            return true;
        }
    }
    histograms.BeginProjectWithoutSaving(folder, names, nullptr);
    return false;
}

bool PreserveDocument::SaveProject()
{
    HistogramFiles& histograms = preserve_.context().Histograms();
    // A project file naming counts that may not be on the disk is no save.
    if (!histograms.BeforeSave() || !preserve_.FileWrite(preserve_.SaveFilePath)) {
        return false;
    }
    histograms.Saved(preserve_.HistogramFileNames());
    return true;
}

void PreserveDocument::EndProject()
{
    preserve_.context().Histograms().EndProject();
}

std::vector<std::string> PreserveDocument::MeasureListTexts(std::int32_t index) const
{
    const CMeasure& m = preserve_.Measures.Item(index);
    std::string comment;
    if (m.ChMeasures.count() >= 1) {
        comment = m.ChMeasures.Item(1).ChMeasureCondition.Account;
    }
    return {GetFileName(m.MeasureCondition.Account), platform::FormatDisplayDate(m.StartTime), comment};
}

std::vector<std::int32_t> PreserveDocument::MeasuresOfSameStart(std::int32_t index) const
{
    const CMeasure& m = preserve_.Measures.Item(index);
    return murtesk::MeasuresOfSameStart(preserve_.Measures, m.StartTime, &m);
}

void PreserveDocument::AdoptLastMeasureCondition()
{
    const std::string memo = preserve_.MeasureCondition.Account;
    preserve_.Measures.Item(preserve_.Measures.count()).MeasureCondition.MeMove(preserve_.MeasureCondition);
    preserve_.MeasureCondition.Account = memo;
}

void PreserveDocument::AdoptMeasureCondition(std::int32_t index)
{
    const std::string memo = preserve_.MeasureCondition.Account;
    preserve_.Measures.Item(index).MeasureCondition.MeMove(preserve_.MeasureCondition);
    preserve_.MeasureCondition.Account = memo;
}

namespace {

// The video files are named after the start: they stay while a measurement left in the list has
// a start of the same name (the same recording imported twice), which still shows them.
class RemovedCMeasure final : public RemovedMeasure {
public:
    RemovedCMeasure(std::shared_ptr<CMeasure> measure, const CPreserve& left)
        : measure_(std::move(measure)), left_(left) {}
    void DeleteFiles(const std::string& projectPath) override {
        measure_->DeleteFiles(projectPath, MeasuresOfSameStart(left_.Measures, measure_->StartTime).empty());
    }

private:
    std::shared_ptr<CMeasure> measure_;
    const CPreserve& left_;
};

}  // namespace

std::unique_ptr<RemovedMeasure> PreserveDocument::TakeMeasure(std::int32_t index)
{
    std::shared_ptr<CMeasure> measure = preserve_.Measures.ItemShared(index);
    preserve_.Measures.Delete(index);
    return std::make_unique<RemovedCMeasure>(std::move(measure), preserve_);
}

namespace {

struct CMeasureListCopy final : MeasureListCopy {
    std::vector<std::shared_ptr<CMeasure>> order;
};

void SetOrder(CMeasures& list, const std::vector<std::shared_ptr<CMeasure>>& order) {
    list.AllDelete();
    for (const std::shared_ptr<CMeasure>& m : order) {
        list.Add(m);
    }
}

}  // namespace

void PreserveDocument::SwapMeasures(std::int32_t a, std::int32_t b)
{
    CMeasures& list = preserve_.Measures;
    std::vector<std::shared_ptr<CMeasure>> order(list.begin(), list.end());
    std::swap(order.at(static_cast<std::size_t>(a - 1)), order.at(static_cast<std::size_t>(b - 1)));
    SetOrder(list, order);
}

std::unique_ptr<MeasureListCopy> PreserveDocument::CopyMeasureList() const {
    auto copy = std::make_unique<CMeasureListCopy>();
    copy->order.assign(preserve_.Measures.begin(), preserve_.Measures.end());
    return copy;
}

void PreserveDocument::RestoreMeasureList(const MeasureListCopy& copy) {
    SetOrder(preserve_.Measures, static_cast<const CMeasureListCopy&>(copy).order);
}

void PreserveDocument::UpdateEndTimeFromLevels(std::int32_t index)
{
    CMeasure& m = preserve_.Measures.Item(index);
    if (m.ChMeasures.count() < 1) {
        return;
    }
    const CChMeasure& ch1 = m.ChMeasures.Item(1);
    const double rate = ch1.ChMeasureCondition.LevelOutHz;
    // A rate of 0 (or a damaged one) gives no duration: the end stays as recorded.
    if (!(rate > 0.0) || !std::isfinite(rate)) {
        return;
    }
    const std::int32_t n = ch1.LevelData.getDataNumNoWait(GetFlatBandFolder(preserve_.SaveFilePath));
    if (n > 4) {
        // The end lies on a whole second, as the start does.
        const double seconds = std::round(static_cast<double>(n) / rate);
        m.EndTime = m.StartTime + seconds / 86400.0;
    }
}

void PreserveDocument::SetChannelCalibration(int index, double cal, std::int16_t calPattern)
{
    CChMeasureCondition& condition = preserve_.ChMeasureCondition(index);
    condition.CAL = cal;
    condition.CALPattern = calPattern;
}

void PreserveDocument::AdoptChannelConditions(const ProjectDocument& from)
{
    const CPreserve& other = static_cast<const PreserveDocument&>(from).Preserve();
    for (int i = 0; i < 2; ++i) {
        other.ChMeasureCondition(i).MeCopy().MeMove(preserve_.ChMeasureCondition(i));
    }
}

}  // namespace murtesk
