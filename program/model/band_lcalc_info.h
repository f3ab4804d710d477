// The statistics record of one band slot of a channel: the range lists set on the band's level
// series (excluded, LE, level-over and mark ranges), the level-over threshold and the statistics
// over the whole series and over the ranges that take part in the calculation. The list of them is
// indexed by band slot.
//
// Statistics objects take a histogram file name from the statistics context when they are made,
// so both classes are made with that context.
#pragma once

#include <memory>
#include <tuple>

#include "model/level_calc.h"
#include "model/record_stream.h"
#include "model/scopes.h"
#include "model/standard_collection.h"
#include "model/stats_context.h"

namespace murtesk {

class CBandLCalcInfo : public Record<CBandLCalcInfo> {
public:
    explicit CBandLCalcInfo(StatsContext& context) : AllLCalc(context), LCalc(context) {}

    CScopes Scopes;           // excluded from the calculation
    CScopes LEScopes;         // ranges of the exposure level
    CLCalc AllLCalc;          // over the whole series
    CLCalc LCalc;             // over the ranges that take part
    CScopes LevelOverScopes;  // where the level exceeds OverLevel
    double OverLevel = 75.0;  // dB
    CScopes MarkScopes;       // marked by the user

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.Scopes) && io(self.LEScopes) && io(self.AllLCalc) && io(self.LCalc) &&
               io(self.LevelOverScopes) && io(self.OverLevel) && io(self.MarkScopes);
    }
    static auto Compared(const CBandLCalcInfo& r) {
        return std::tie(r.Scopes, r.LEScopes, r.AllLCalc, r.LCalc, r.LevelOverScopes, r.OverLevel, r.MarkScopes);
    }
};

// Slot 1 first. Read items are made with the list's statistics context.
class CBandLCalcInfos : public StandardCollection<CBandLCalcInfo, CBandLCalcInfos> {
public:
    explicit CBandLCalcInfos(StatsContext& context) : context_(&context) {}

    StatsContext& context() const { return *context_; }
    // A new record with its defaults, appended.
    CBandLCalcInfo& AddNew() { return *Add(std::make_shared<CBandLCalcInfo>(*context_)); }

    CBandLCalcInfos MeCopy() const { return *this; }
    bool MeRead(BinaryFile& fileno) {
        return ReadCountedList(fileno, *this, [this](BinaryFile& file) {
            auto item = std::make_shared<CBandLCalcInfo>(*context_);
            return item->MeRead(file) ? item : nullptr;
        });
    }

private:
    StatsContext* context_;
};

}  // namespace murtesk
