#include "model/stats_context.h"

#include "model/shared_procedures.h"
#include "platform/dates.h"

namespace murtesk {

std::string StatsContext::LCalcFolder() const {
    if (std::optional<std::string> own = histograms_.OwnFolder()) return *std::move(own);
    return GetLCalcFolder(ProjectFilePath());
}

std::string StatsContext::NewLdtFileName() {
    std::lock_guard lock(nameMutex_);
    std::string name = platform::FormatFileNameDate(Now()) + "_" + std::to_string(g_LdtFileNo) + ".ldt";
    g_LdtFileNo = g_LdtFileNo >= 1'999'999'999 ? 0 : g_LdtFileNo + 1;
    return name;
}

}  // namespace murtesk
