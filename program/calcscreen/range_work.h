// What the range commands of the calculation screen share: new ranges, the gaps of a list, the
// busy pointer for the life of a command, and statistics recomputed together on the cores.
#pragma once

#include "model/band_recalc.h"
#include "model/scopes.h"
#include "ui_services.h"

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace murtesk::calc {

inline std::shared_ptr<CScope> NewRange(std::int32_t S, std::int32_t E) {
    return std::make_shared<CScope>(Variant(S), Variant(E));
}

// The gaps of a list within 1..n.
inline CScopes GapsWithin(const CScopes& list, std::int32_t n) {
    return list.getReverse(Variant(std::int32_t{1}), Variant(n));
}

// The busy pointer for the life of a command.
class Busy {
public:
    explicit Busy(platform::UiServices& ui) : ui_(ui) { ui_.SetBusy(true); }
    ~Busy() { ui_.SetBusy(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    platform::UiServices& ui_;
};

// Statistics to recompute over lists made for the purpose, kept until the work is done.
class Recalcs {
public:
    void Add(CLCalc& calc, CScopes scopes, const CData& levelData, std::string folder) {
        lists_.push_back(std::move(scopes));
        bands_.push_back({&calc, &lists_.back(), &levelData, std::move(folder)});
    }
    const CScopes& LastList() const { return lists_.back(); }
    void Run() { ResetNewBands(bands_); }

private:
    std::deque<CScopes> lists_;  // stable addresses
    std::vector<BandRecalc> bands_;
};

}  // namespace murtesk::calc
