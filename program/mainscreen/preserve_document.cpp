#include "preserve_document.h"

#include "model/shared_procedures.h"
#include "platform/dates.h"

namespace murtesk {

PreserveDocument::PreserveDocument(std::string defaultPath)
    : context_([this] { return preserve_.SaveFilePath; }, [] { return platform::Now(); }), preserve_(context_)
{
    preserve_.SaveFilePath = std::move(defaultPath);
}

bool PreserveDocument::FileRead(const std::string& path) { return preserve_.FileRead(path); }

bool PreserveDocument::FileWrite(const std::string& path) { return preserve_.FileWrite(path); }

std::vector<std::string> PreserveDocument::MeasureListTexts(std::int32_t index) const
{
    const CMeasure& m = preserve_.Measures.Item(index);
    std::string comment;
    if (m.ChMeasures.count() > 0) {
        comment = m.ChMeasures.Item(1).ChMeasureCondition.Account;
    }
    return {GetFileName(m.MeasureCondition.Account), platform::FormatDisplayDate(m.StartTime), comment};
}

void PreserveDocument::AdoptLastMeasureCondition()
{
    if (preserve_.Measures.count() == 0) {
        return;
    }
    const std::string memo = preserve_.MeasureCondition.Account;
    preserve_.Measures.Item(preserve_.Measures.count()).MeasureCondition.MeMove(preserve_.MeasureCondition);
    preserve_.MeasureCondition.Account = memo;
}

void PreserveDocument::SetChannelCalibration(int index, double cal, std::int16_t calPattern)
{
    CChMeasureCondition& condition = preserve_.ChMeasureCondition(index);
    condition.CAL = cal;
    condition.CALPattern = calPattern;
}

void PreserveDocument::AdoptChannelConditions(const ProjectDocument& from)
{
    const auto& other = static_cast<const PreserveDocument&>(from);
    for (int i = 0; i < 2; ++i) {
        preserve_.ChMeasureCondition(i, other.preserve_.ChMeasureCondition(i));
    }
}

}  // namespace murtesk
