#include "playback/car_count.h"

#include <limits>
#include <stdexcept>

#include "playback/slot_arrays.h"

namespace murtesk::playback {

namespace {

constexpr std::int64_t kSlotBytes = 2 + 2 + 2 + 4;

// The eight counters at the end of the file. The reader does not insist on them: a file that ends inside them
// reads with the counters 0, which the window recounts anyway.
template <class Counters>
struct CounterField {
    Counters& values;

    bool MeRead(platform::BinaryFile& file) {
        Counters read{};
        if (!file.Read(read.data(), sizeof read)) read = {};
        values = read;
        return true;
    }
    bool MeWrite(platform::BinaryFile& file) const { return file.Write(values.data(), sizeof values); }
};

template <class Counters>
CounterField(Counters&) -> CounterField<Counters>;

void CheckCounter(std::int32_t index) {
    if (index < 1 || index > 8) throw std::out_of_range("vehicle counter outside 1..8");
}

}  // namespace

std::string CarKindName(std::int16_t kind) {
    switch (kind) {
    case 1: return "中型車";
    case 2: return "乗用車";
    case 4: return "大型車";
    case 5: return "小型貨物車";
    case 7: return "大型車類(2車種分類)";
    case 8: return "小型車類(2車種分類)";
    default: return "自動二輪";
    }
}

bool CCarCount::IsSameCondition(const CCarCount& filter) const {
    return filter.Course == Course && (filter.RoadNo == 0 || filter.RoadNo == RoadNo);
}

template <class Self, class Io>
bool CCarCounts::Fields(Self& self, Io& io) {
    SlotCounts<Self> slots{self, kSlotBytes};
    SlotArray course{self.course_};
    SlotArray roadNo{self.roadNo_};
    SlotArray carKind{self.carKind_};
    SlotArray posTime{self.posTime_};
    CounterField counters{self.carNum_};
    return io.Magic() && io(slots) && io(course) && io(roadNo) && io(carKind) && io(posTime) && io(self.now_) &&
           io(counters);
}

CCarCounts::CCarCounts() { ArrayReDim(kInitialSlots, 0); }

std::int32_t CCarCounts::CarNum(std::int32_t index) const {
    CheckCounter(index);
    return carNum_[static_cast<std::size_t>(index - 1)];
}

void CCarCounts::SetCarNum(std::int32_t index, std::int32_t value) {
    CheckCounter(index);
    carNum_[static_cast<std::size_t>(index - 1)] = value;
}

const CCarCount& CCarCounts::Add(const CCarCount& carCount) {
    const std::size_t slot = AppendSlot(count_, allocated_, kGrowthSlots, course_, roadNo_, carKind_, posTime_);
    course_[slot] = carCount.Course;
    roadNo_[slot] = carCount.RoadNo;
    carKind_[slot] = carCount.CarKind;
    posTime_[slot] = carCount.PosTime;
    return carCount;
}

void CCarCounts::AllDelete() { ArrayReDim(kInitialSlots, 0); }

CCarCount CCarCounts::Item(std::int32_t index) const {
    if (index < 1 || index > count_) throw std::out_of_range("vehicle count record outside 1..count");
    const auto slot = static_cast<std::size_t>(index - 1);
    CCarCount record;
    record.Course = course_[slot];
    record.RoadNo = roadNo_[slot];
    record.CarKind = carKind_[slot];
    record.PosTime = posTime_[slot];
    return record;
}

void CCarCounts::ArrayReDim(std::int32_t aryAllNum, std::int32_t countNum) {
    ResetSlots(aryAllNum, countNum, allocated_, count_, course_, roadNo_, carKind_, posTime_);
}

bool CCarCounts::IsMeEqualTo(const CCarCounts& other) const {
    if (count_ != other.count_ || !now_.IsMeEqualTo(other.now_) || carNum_ != other.carNum_) return false;
    const auto n = static_cast<std::size_t>(count_);
    return std::equal(course_.begin(), course_.begin() + n, other.course_.begin()) &&
           std::equal(roadNo_.begin(), roadNo_.begin() + n, other.roadNo_.begin()) &&
           std::equal(carKind_.begin(), carKind_.begin() + n, other.carKind_.begin()) &&
           std::equal(posTime_.begin(), posTime_.begin() + n, other.posTime_.begin());
}

bool CCarCounts::MeRead(platform::BinaryFile& fileno) {
    RecordReader io(fileno);
    return Fields(*this, io);
}

bool CCarCounts::MeWrite(platform::BinaryFile& fileno) const {
    RecordWriter io(fileno);
    return Fields(*this, io);
}

bool CCarCounts::PlusCarNum(const CCarCount& carCount) {
    const std::int16_t kind = carCount.CarKind;
    if (kind < 1 || kind > 8) return false;
    std::array<std::int64_t, 8> raised{};
    for (std::size_t i = 0; i < raised.size(); ++i) raised[i] = carNum_[i];
    ++raised[static_cast<std::size_t>(kind - 1)];
    if (kind == 1 || kind == 4) ++raised[6];
    if (kind == 2 || kind == 5) ++raised[7];
    ++raised[2];
    for (const std::int64_t value : raised)
        if (value > std::numeric_limits<std::int32_t>::max()) return false;
    for (std::size_t i = 0; i < raised.size(); ++i) carNum_[i] = static_cast<std::int32_t>(raised[i]);
    return true;
}

void CCarCounts::ReCount(const CCarCount& carCount) {
    now_ = carCount;
    carNum_ = {};
    std::int32_t latest = 0;
    for (std::int32_t i = 1; i <= count_; ++i) {
        const auto slot = static_cast<std::size_t>(i - 1);
        if (course_[slot] != now_.Course || (now_.RoadNo != 0 && roadNo_[slot] != now_.RoadNo)) continue;
        CCarCount record;
        record.CarKind = carKind_[slot];
        PlusCarNum(record);  // at most count ≤ 2^31 - 1 vehicles: no counter can pass it
        latest = std::max(latest, posTime_[slot]);
    }
    now_.PosTime = latest;
}

void CCarCounts::SelectDelete(std::int32_t delTime, std::int32_t delKbn) {
    const CCarCounts copy = MeCopy();
    AllDelete();
    for (std::int32_t i = 1; i <= copy.count_; ++i) {
        const CCarCount record = copy.Item(i);
        bool remove = false;
        if (record.PosTime >= delTime) {
            switch (delKbn) {
            case 0: remove = record.Course == now_.Course && record.RoadNo == now_.RoadNo; break;
            case 1: remove = record.Course == now_.Course; break;
            case 2: remove = true; break;
            default: break;
            }
        }
        if (!remove) Add(record);
    }
}

bool CCarCounts::FileRead(const std::string& path) { return ReadRecordFile(path, *this); }

bool CCarCounts::FileWrite(const std::string& path) const { return WriteRecordFile(path, *this); }

double CCarCounts::GetLargeCarRatio() const {
    const std::int64_t divisor = std::int64_t{carNum_[2]} - carNum_[5];
    if (divisor <= 0) return 0.0;
    return static_cast<double>(std::int64_t{carNum_[0]} + carNum_[3]) / static_cast<double>(divisor);
}

}  // namespace murtesk::playback
