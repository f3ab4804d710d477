#include "model/ch_measure_condition.h"

#include <array>
#include <cmath>

namespace murtesk {
namespace {

struct TimeWeighting {
    double cr;
    std::int32_t listPosition;
    const char* shortName;
    const char* longName;
};

// Indexed by the code that setCR takes.
constexpr std::array<TimeWeighting, 6> kTimeWeightings = {{
    {0.125, 0, "FAST", "ＦＡＳＴ"},
    {0.63, 2, "VL", "ＶＬ"},
    {1.0, 1, "SLOW", "ＳＬＯＷ"},
    {0.035, 3, "IMPULSE", "ＩＭＰＵＬＳＥ"},
    {0.01, 4, "10mSec", "１０ｍ秒"},
    {0.001, 5, "1mSec", "１ｍ秒"},
}};

const TimeWeighting* findTimeWeighting(double cr) {
    for (const auto& t : kTimeWeightings) {
        if (t.cr == cr) return &t;
    }
    return nullptr;
}

constexpr double kSqrt2 = 1.4142135623730951;

}  // namespace

CChMeasureCondition CChMeasureCondition::MeCopy() const {
    CChMeasureCondition copy = *this;
    copy.Account.clear();
    return copy;
}

void CChMeasureCondition::MeMove(CChMeasureCondition& x) const {
    x.w = w;
    x.oct1or3 = oct1or3;
    x.StartHz = StartHz;
    x.EndHz = EndHz;
    x.CR = CR;
    x.CALPattern = CALPattern;
    x.LVL = LVL;
    x.CAL = CAL;
    x.ZeroPlus = ZeroPlus;
    x.LevelOutHz = LevelOutHz;
    x.WaveFileOut = WaveFileOut.MeCopy();
    x.Account = Account;
    x.BandIndex = BandIndex;
}

bool CChMeasureCondition::IsMeEqualTo(const CChMeasureCondition& o) const {
    return w == o.w && oct1or3 == o.oct1or3 && StartHz == o.StartHz && EndHz == o.EndHz && CR == o.CR &&
           CALPattern == o.CALPattern && LVL == o.LVL && CAL == o.CAL && ZeroPlus == o.ZeroPlus &&
           LevelOutHz == o.LevelOutHz && WaveFileOut.IsMeEqualTo(o.WaveFileOut) && BandIndex == o.BandIndex &&
           LevelXYAxis.IsMeEqualTo(o.LevelXYAxis);
}

bool CChMeasureCondition::MeRead(BinaryFile& fileno) {
    RecordReader io(fileno);
    return Fields(*this, io);
}

bool CChMeasureCondition::MeWrite(BinaryFile& fileno) const {
    RecordWriter io(fileno);
    return Fields(*this, io);
}

double CChMeasureCondition::getCALrms() const {
    switch (CALPattern) {
        case 0: return CAL / kSqrt2;
        case 1: return CAL;
        case 2: return CAL / 2.0;
        default: return (32767.0 / 2.0) / kSqrt2;
    }
}

std::int32_t CChMeasureCondition::getTRENo() const {
    const TimeWeighting* t = findTimeWeighting(CR);
    return t ? t->listPosition : -1;
}

std::string CChMeasureCondition::getTREName(bool bD) const {
    const TimeWeighting* t = findTimeWeighting(CR);
    if (!t) return {};
    return bD ? t->longName : t->shortName;
}

bool CChMeasureCondition::setCR(std::int32_t TRENo) {
    if (TRENo < 0 || TRENo >= static_cast<std::int32_t>(kTimeWeightings.size())) return false;
    CR = kTimeWeightings[static_cast<std::size_t>(TRENo)].cr;
    return true;
}

const COriginalW* CChMeasureCondition::userCharacteristic(std::int16_t code, const COriginalWs& originalWs) {
    const std::int32_t k = static_cast<std::int32_t>(code) - 5;
    if (k < 1 || k > originalWs.count()) return nullptr;
    return &originalWs.Item(k);
}

std::string CChMeasureCondition::getWName(bool bD, const COriginalWs& originalWs) const {
    switch (w) {
        case -1: return bD ? "－－－" : "---";
        case 0: return bD ? "Ｌｖｚ 鉛直振動補正特性" : "Lvz";
        case 1: return bD ? "Ｌｖｘｙ 水平振動補正特性" : "Lvxy";
        case 2: return bD ? "Ｇ特性" : "G";
        case 3: return bD ? "Ａ特性" : "A";
        case 4: return bD ? "Ｃ特性" : "C";
        default: break;
    }
    if (const COriginalW* user = userCharacteristic(w, originalWs)) {
        return bD ? user->WName : user->WNameHalfSize;
    }
    return bD ? "？特性" : "---";
}

std::int16_t CChMeasureCondition::GetSameBandIndex(std::int16_t i_oct1or3, std::int16_t i_BandIndex) const {
    if (oct1or3 != 1 && oct1or3 != 3) return -1;
    if (i_BandIndex == 1 || i_BandIndex == 2 || i_oct1or3 == oct1or3) return i_BandIndex;
    return -1;
}

void CChMeasureCondition::getWValue(COctaveBand1& wOct1, COctaveBand3& wOct3, const COriginalWs& originalWs) const {
    switch (w) {
        case 0: wOct1.SetLvz(); wOct3.SetLvz(); return;
        case 1: wOct1.SetLvxy(); wOct3.SetLvxy(); return;
        case 2: wOct1.SetG(); wOct3.SetG(); return;
        case 3: wOct1.SetA(); wOct3.SetA(); return;
        case 4: wOct1.SetC(); wOct3.SetC(); return;
        default: break;
    }
    if (const COriginalW* user = userCharacteristic(w, originalWs)) {
        user->WRevise1.MeMove(wOct1);
        user->WRevise3.MeMove(wOct3);
        return;
    }
    wOct1.SetdBZero();
    wOct3.SetdBZero();
}

}  // namespace murtesk
