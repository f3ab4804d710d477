#include "playback/speed_info.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "playback/car_count.h"
#include "playback/slot_arrays.h"

namespace murtesk::playback {

namespace {

constexpr std::int64_t kSlotBytes = 2 + 2 + 4 + 4 + 4 + 2;

}  // namespace

bool CSpeedInfo::IsSameCondition(const CSpeedInfo& filter) const {
    return filter.Course == Course && (filter.RoadNo == 0 || filter.RoadNo == RoadNo);
}

float CSpeedInfo::GetSpeedKmH() const {
    const std::int64_t difference = std::int64_t{SaveTime2} - SaveTime1;
    const double hours = static_cast<double>(std::llabs(difference)) / 1000.0 / 60.0 / 60.0;
    const double km = static_cast<double>(Distance) / 1000.0;
    return hours > 0.0 ? static_cast<float>(km / hours) : -1.0f;
}

std::string CSpeedInfo::GetCarKindName() const { return CarKindName(CarKind); }

template <class Self, class Io>
bool CSpeedInfos::Fields(Self& self, Io& io) {
    SlotCounts<Self> slots{self, kSlotBytes};
    SlotArray course{self.course_};
    SlotArray roadNo{self.roadNo_};
    SlotArray saveTime1{self.saveTime1_};
    SlotArray saveTime2{self.saveTime2_};
    SlotArray distance{self.distance_};
    SlotArray carKind{self.carKind_};
    return io.Magic() && io(slots) && io(course) && io(roadNo) && io(saveTime1) && io(saveTime2) && io(distance) &&
           io(carKind) && io(self.now_);
}

CSpeedInfos::CSpeedInfos() { ArrayReDim(kInitialSlots, 0); }

const CSpeedInfo& CSpeedInfos::Add(const CSpeedInfo& speedInfo) {
    const std::size_t slot =
        AppendSlot(count_, allocated_, kGrowthSlots, course_, roadNo_, saveTime1_, saveTime2_, distance_, carKind_);
    course_[slot] = speedInfo.Course;
    roadNo_[slot] = speedInfo.RoadNo;
    saveTime1_[slot] = speedInfo.SaveTime1;
    saveTime2_[slot] = speedInfo.SaveTime2;
    distance_[slot] = speedInfo.Distance;
    carKind_[slot] = speedInfo.CarKind;
    return speedInfo;
}

void CSpeedInfos::AllDelete() { ArrayReDim(kInitialSlots, 0); }

CSpeedInfo CSpeedInfos::Item(std::int32_t index) const {
    if (index < 1 || index > count_) throw std::out_of_range("speed record outside 1..count");
    const auto slot = static_cast<std::size_t>(index - 1);
    CSpeedInfo record;
    record.Course = course_[slot];
    record.RoadNo = roadNo_[slot];
    record.SaveTime1 = saveTime1_[slot];
    record.SaveTime2 = saveTime2_[slot];
    record.Distance = distance_[slot];
    record.CarKind = carKind_[slot];
    return record;
}

void CSpeedInfos::ArrayReDim(std::int32_t aryAllNum, std::int32_t countNum) {
    ResetSlots(aryAllNum, countNum, allocated_, count_, course_, roadNo_, saveTime1_, saveTime2_, distance_, carKind_);
}

bool CSpeedInfos::IsMeEqualTo(const CSpeedInfos& other) const {
    if (count_ != other.count_ || !now_.IsMeEqualTo(other.now_)) return false;
    for (std::int32_t i = 1; i <= count_; ++i)
        if (!Item(i).IsMeEqualTo(other.Item(i))) return false;
    return true;
}

bool CSpeedInfos::MeRead(platform::BinaryFile& fileno) {
    RecordReader io(fileno);
    return Fields(*this, io);
}

bool CSpeedInfos::MeWrite(platform::BinaryFile& fileno) const {
    RecordWriter io(fileno);
    return Fields(*this, io);
}

template <class Keep>
void CSpeedInfos::Rebuild(Keep keep) {
    const CSpeedInfos copy = MeCopy();
    AllDelete();
    for (std::int32_t i = 1; i <= copy.count_; ++i) {
        const CSpeedInfo record = copy.Item(i);
        if (keep(i, record)) Add(record);
    }
}

void CSpeedInfos::KindDelete(std::int32_t delKbn) {
    switch (delKbn) {
    case 0: Rebuild([&](std::int32_t, const CSpeedInfo& r) { return !r.IsSameCondition(now_); }); break;
    case 1: Rebuild([&](std::int32_t, const CSpeedInfo& r) { return r.Course != now_.Course; }); break;
    default: AllDelete(); break;
    }
}

void CSpeedInfos::SelectDelete(std::span<const std::int32_t> dellIndex) {
    Rebuild([&](std::int32_t i, const CSpeedInfo&) {
        return std::find(dellIndex.begin(), dellIndex.end(), i) == dellIndex.end();
    });
}

bool CSpeedInfos::FileRead(const std::string& path) { return ReadRecordFile(path, *this); }

bool CSpeedInfos::FileWrite(const std::string& path) const { return WriteRecordFile(path, *this); }

double CSpeedInfos::GetAverageSpeedKmH() const {
    double sum = 0.0;
    std::int64_t matching = 0;
    for (std::int32_t i = 1; i <= count_; ++i) {
        const CSpeedInfo record = Item(i);
        if (record.IsSameCondition(now_)) {
            sum += record.GetSpeedKmH();
            ++matching;
        }
    }
    return matching > 0 ? sum / static_cast<double>(matching) : 0.0;
}

CSpeedInfos CSpeedInfos::SelectCarKind(std::int16_t kind) const {
    CSpeedInfos selected;
    selected.now_ = now_;
    for (std::int32_t i = 1; i <= count_; ++i) {
        const CSpeedInfo record = Item(i);
        if (record.IsSameCondition(now_) && record.CarKind == kind) selected.Add(record);
    }
    return selected;
}

}  // namespace murtesk::playback
