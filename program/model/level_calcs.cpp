#include "model/level_calcs.h"

#include <cmath>
#include <numeric>
#include <stdexcept>

#include "model/standard_collection.h"

namespace murtesk {

std::shared_ptr<CLCalc> CLCalcs::Add(std::shared_ptr<CLCalc> LCalc) {
    if (!LCalc) throw std::invalid_argument("CLCalcs::Add: no statistics object");
    items_.push_back(LCalc);
    return LCalc;
}

const std::shared_ptr<CLCalc>& CLCalcs::ItemShared(std::int32_t Index) const {
    if (Index < 1 || Index > count()) throw std::out_of_range("CLCalcs index outside 1..count");
    return items_[static_cast<std::size_t>(Index - 1)];
}

void CLCalcs::Delete(std::int32_t Index) {
    ItemShared(Index)->DeleteFile();
    items_.erase(items_.begin() + (Index - 1));
}

void CLCalcs::AllDelete() {
    while (!items_.empty()) Delete(1);
}

void CLCalcs::MeMove(CLCalcs& cpyLCalcs) const {
    if (&cpyLCalcs == this) return;
    cpyLCalcs.AllDelete();
    for (const auto& item : items_) cpyLCalcs.Add(std::make_shared<CLCalc>(item->MeCopy()));
}

CLCalcs CLCalcs::MeCopy() const {
    CLCalcs copy(*context_);
    MeMove(copy);
    return copy;
}

bool CLCalcs::IsMeEqualTo(const CLCalcs& LCalcs) const {
    if (count() != LCalcs.count()) return false;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (!items_[i]->IsMeEqualTo(*LCalcs.items_[i])) return false;
    return true;
}

bool CLCalcs::MeRead(BinaryFile& fileno) {
    return ReadCountedList(fileno, *this, [this](BinaryFile& file) {
        auto item = std::make_shared<CLCalc>(*context_);
        return item->MeRead(file) ? item : nullptr;
    });
}

bool CLCalcs::MeWrite(BinaryFile& fileno) const {
    if (!WriteMagic(fileno) || !WriteField(fileno, count())) return false;
    for (const auto& item : items_)
        if (!item->MeWrite(fileno)) return false;
    return true;
}

double CLCalcs::getLx(std::int32_t X) const {
    if (items_.empty()) return kNoLevel;
    const std::string folder = context_->LCalcFolder();
    LevelCounts combined{};
    for (const auto& item : items_) {
        const LevelHistogram counts = item->LxData.getData(folder);
        for (int k = 0; k < kHistogramBins; ++k) combined[k] += counts[k];
    }
    if (std::accumulate(combined.begin(), combined.end(), std::int64_t{0}) < 1) return kNoLevel;
    return HistogramPercentile(combined, X);
}

std::int64_t CLCalcs::ValueCount() const {
    std::int64_t n = 0;
    for (const auto& item : items_) n += item->ValueCount();
    return n;
}

std::int32_t CLCalcs::getLevelNum() const {
    return static_cast<std::int32_t>(std::min<std::int64_t>(ValueCount(), INT32_MAX));
}

double CLCalcs::getLeq() const {
    CompensatedSum energy;
    for (const auto& item : items_)
        if (item->m_dBSum >= kNoLevel) energy.Add(std::pow(10.0, item->m_dBSum / 10.0));
    const std::int64_t n = ValueCount();
    if (n <= 0 || !(energy.Value() > 0.0)) return kNoLevel;
    return 10.0 * std::log10(energy.Value()) - 10.0 * std::log10(static_cast<double>(n));
}

double CLCalcs::getLmax() const {
    double lmax = kNoLevel;
    for (const auto& item : items_)
        if (item->Lmax > lmax) lmax = item->Lmax;
    return lmax;
}

std::int32_t CLCalcs::getLmaxPos() const {
    double lmax = kNoLevel;
    std::int32_t pos = 1;
    for (const auto& item : items_) {
        if (item->Lmax > lmax) {
            lmax = item->Lmax;
            pos = item->getLmaxPos();
        }
    }
    return pos;
}

}  // namespace murtesk
