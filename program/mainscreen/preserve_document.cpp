#include "preserve_document.h"

#include "globals.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"

namespace murtesk {

StatsContext& ProgramStatsContext()
{
    static StatsContext context([] { return g_Preserve ? g_Preserve->SaveFilePath() : std::string(); },
                                [] { return platform::Now(); });
    return context;
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

void PreserveDocument::AdoptLastMeasureCondition()
{
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
    const CPreserve& other = static_cast<const PreserveDocument&>(from).Preserve();
    for (int i = 0; i < 2; ++i) {
        other.ChMeasureCondition(i).MeCopy().MeMove(preserve_.ChMeasureCondition(i));
    }
}

}  // namespace murtesk
