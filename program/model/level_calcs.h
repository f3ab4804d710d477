// A list of level statistics objects that also answers as one: the statistics of all their
// values taken together, from their histograms, energy sums and maxima, without reading any
// level series again. Members are shared: Add keeps the object it is given. Removing a member
// (Delete, AllDelete, and MeRead, which first empties the list) deletes its histogram file.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/level_calc.h"
#include "model/record_stream.h"

namespace murtesk {

class CLCalcs {
public:
    explicit CLCalcs(StatsContext& context) : context_(&context) {}

    std::shared_ptr<CLCalc> Add(std::shared_ptr<CLCalc> LCalc);
    std::int32_t count() const { return static_cast<std::int32_t>(items_.size()); }
    // Deletes member Index's histogram file, then removes it (1-based; the later ones move up).
    // Index outside 1..count throws std::out_of_range.
    void Delete(std::int32_t Index);
    void AllDelete();
    CLCalc& Item(std::int32_t Index) const { return *ItemShared(Index); }
    const std::shared_ptr<CLCalc>& ItemShared(std::int32_t Index) const;

    // Empties the target (deleting its members' files), then appends a copy of each member;
    // the copies name the same histogram files.
    void MeMove(CLCalcs& cpyLCalcs) const;
    CLCalcs MeCopy() const;
    bool IsMeEqualTo(const CLCalcs& LCalcs) const;
    bool MeRead(BinaryFile& fileno);
    bool MeWrite(BinaryFile& fileno) const;

    // Combined statistics: Lx from the sum of the members' histograms; Leq from the energy sums
    // of the members that hold any (at or above -60 dB) over the total count; the first of the
    // highest maxima and its position in that member's own series (1 when none exceeds -60).
    // Counts are summed in 64 bits; getLevelNum gives the total up to INT32_MAX.
    double getLx(std::int32_t X) const;
    double getLeq() const;
    std::int32_t getLevelNum() const;
    double getLmax() const;
    std::int32_t getLmaxPos() const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::int64_t ValueCount() const;

    StatsContext* context_;
    std::vector<std::shared_ptr<CLCalc>> items_;
};

}  // namespace murtesk
