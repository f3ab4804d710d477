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

    bool MeRead(platform::BinaryFile& file)
    {
        Counters read{};
        if (!file.Read(read.data(), sizeof read))
            read = {};
        values = read;
        return true;
    }
    bool MeWrite(platform::BinaryFile& file) const { return file.Write(values.data(), sizeof values); }
};

template <class Counters>
CounterField(Counters&) -> CounterField<Counters>;

void CheckCounter(std::int32_t index)
{
    if (index < 1 || index > 8)
        throw std::out_of_range("vehicle counter outside 1..8");
}

}  // namespace

std::string CarKindName(std::int16_t kind)
{
    switch (kind) {
    case 1:
        return "中型車";
    case 2:
        return "乗用車";
    case 4:
        return "大型車";
    case 5:
        return "小型貨物車";
    case 7:
        return "大型車類(2車種分類)";
    case 8:
        return "小型車類(2車種分類)";
    default:
        return "自動二輪";
    }
}

bool CCarCount::IsSameCondition(const CCarCount& filter) const
{
    return filter.Course == Course && (filter.RoadNo == 0 || filter.RoadNo == RoadNo);
}

template <class Self, class Io>
bool CCarCounts::Fields(Self& self, Io& io)
{
    SlotCounts<Self> slots{self, kSlotBytes};
    SlotArray course{self.m_course}, roadNo{self.m_roadNo}, carKind{self.m_carKind}, posTime{self.m_posTime};
    CounterField counters{self.m_carNum};
    return io.Magic() && io(slots) && io(course) && io(roadNo) && io(carKind) && io(posTime) && io(self.m_now) &&
           io(counters);
}

CCarCounts::CCarCounts()
{
    ArrayReDim(kInitialSlots, 0);
}

std::int32_t CCarCounts::CarNum(std::int32_t index) const
{
    CheckCounter(index);
    return m_carNum[static_cast<std::size_t>(index - 1)];
}

void CCarCounts::SetCarNum(std::int32_t index, std::int32_t value)
{
    CheckCounter(index);
    m_carNum[static_cast<std::size_t>(index - 1)] = value;
}

const CCarCount& CCarCounts::Add(const CCarCount& carCount)
{
    if (m_count == std::numeric_limits<std::int32_t>::max())
        throw std::length_error("vehicle count list full");
    if (m_count == m_allocated) {
        const std::int64_t grown = std::int64_t{m_allocated} + kGrowthSlots;
        m_allocated = static_cast<std::int32_t>(std::min<std::int64_t>(grown, std::numeric_limits<std::int32_t>::max()));
        GrowSlots(m_allocated, m_course, m_roadNo, m_carKind, m_posTime);
    }
    const auto slot = static_cast<std::size_t>(m_count++);
    m_course[slot] = carCount.Course;
    m_roadNo[slot] = carCount.RoadNo;
    m_carKind[slot] = carCount.CarKind;
    m_posTime[slot] = carCount.PosTime;
    return carCount;
}

void CCarCounts::AllDelete()
{
    ArrayReDim(kInitialSlots, 0);
}

CCarCount CCarCounts::Item(std::int32_t index) const
{
    if (index < 1 || index > m_count)
        throw std::out_of_range("vehicle count record outside 1..count");
    const auto slot = static_cast<std::size_t>(index - 1);
    CCarCount record;
    record.Course = m_course[slot];
    record.RoadNo = m_roadNo[slot];
    record.CarKind = m_carKind[slot];
    record.PosTime = m_posTime[slot];
    return record;
}

void CCarCounts::ArrayReDim(std::int32_t aryAllNum, std::int32_t countNum)
{
    if (aryAllNum < 0 || countNum < 0 || countNum > aryAllNum)
        throw std::invalid_argument("vehicle count list of a negative size or a count above it");
    const auto slots = static_cast<std::size_t>(aryAllNum);
    m_course.assign(slots, 0);
    m_roadNo.assign(slots, 0);
    m_carKind.assign(slots, 0);
    m_posTime.assign(slots, 0);
    m_allocated = aryAllNum;
    m_count = countNum;
}

void CCarCounts::CopyAryCourse(const std::vector<std::int16_t>& values)
{
    CopySlots(m_course, values, m_allocated);
}

void CCarCounts::CopyAryRoadNo(const std::vector<std::int16_t>& values)
{
    CopySlots(m_roadNo, values, m_allocated);
}

void CCarCounts::CopyAryCarKind(const std::vector<std::int16_t>& values)
{
    CopySlots(m_carKind, values, m_allocated);
}

void CCarCounts::CopyAryPosTime(const std::vector<std::int32_t>& values)
{
    CopySlots(m_posTime, values, m_allocated);
}

bool CCarCounts::IsMeEqualTo(const CCarCounts& other) const
{
    if (m_count != other.m_count || !m_now.IsMeEqualTo(other.m_now) || m_carNum != other.m_carNum)
        return false;
    const auto n = static_cast<std::size_t>(m_count);
    return std::equal(m_course.begin(), m_course.begin() + n, other.m_course.begin()) &&
           std::equal(m_roadNo.begin(), m_roadNo.begin() + n, other.m_roadNo.begin()) &&
           std::equal(m_carKind.begin(), m_carKind.begin() + n, other.m_carKind.begin()) &&
           std::equal(m_posTime.begin(), m_posTime.begin() + n, other.m_posTime.begin());
}

bool CCarCounts::MeRead(platform::BinaryFile& fileno)
{
    RecordReader io(fileno);
    return Fields(*this, io);
}

bool CCarCounts::MeWrite(platform::BinaryFile& fileno) const
{
    RecordWriter io(fileno);
    return Fields(*this, io);
}

bool CCarCounts::PlusCarNum(const CCarCount& carCount)
{
    const std::int16_t kind = carCount.CarKind;
    if (kind < 1 || kind > 8)
        return false;
    std::array<std::int64_t, 8> raised{};
    for (std::size_t i = 0; i < raised.size(); ++i)
        raised[i] = m_carNum[i];
    ++raised[static_cast<std::size_t>(kind - 1)];
    if (kind == 1 || kind == 4)
        ++raised[6];
    if (kind == 2 || kind == 5)
        ++raised[7];
    ++raised[2];
    for (const std::int64_t value : raised)
        if (value > std::numeric_limits<std::int32_t>::max())
            return false;
    for (std::size_t i = 0; i < raised.size(); ++i)
        m_carNum[i] = static_cast<std::int32_t>(raised[i]);
    return true;
}

void CCarCounts::ReCount(const CCarCount& carCount)
{
    m_now = carCount;
    m_carNum = {};
    std::int32_t latest = 0;
    for (std::int32_t i = 1; i <= m_count; ++i) {
        const auto slot = static_cast<std::size_t>(i - 1);
        if (m_course[slot] != m_now.Course || (m_now.RoadNo != 0 && m_roadNo[slot] != m_now.RoadNo))
            continue;
        CCarCount record;
        record.CarKind = m_carKind[slot];
        PlusCarNum(record);  // at most count ≤ 2^31 - 1 vehicles: no counter can pass it
        latest = std::max(latest, m_posTime[slot]);
    }
    m_now.PosTime = latest;
}

void CCarCounts::SelectDelete(std::int32_t delTime, std::int32_t delKbn)
{
    const CCarCounts copy = MeCopy();
    AllDelete();
    for (std::int32_t i = 1; i <= copy.m_count; ++i) {
        const CCarCount record = copy.Item(i);
        bool remove = false;
        if (record.PosTime >= delTime) {
            switch (delKbn) {
            case 0:
                remove = record.Course == m_now.Course && record.RoadNo == m_now.RoadNo;
                break;
            case 1:
                remove = record.Course == m_now.Course;
                break;
            case 2:
                remove = true;
                break;
            default:
                break;
            }
        }
        if (!remove)
            Add(record);
    }
}

bool CCarCounts::FileRead(const std::string& path)
{
    return ReadRecordFile(path, *this);
}

bool CCarCounts::FileWrite(const std::string& path) const
{
    return WriteRecordFile(path, *this);
}

double CCarCounts::GetLargeCarRatio() const
{
    const std::int64_t divisor = std::int64_t{m_carNum[2]} - m_carNum[5];
    if (divisor <= 0)
        return 0.0;
    return static_cast<double>(std::int64_t{m_carNum[0]} + m_carNum[3]) / static_cast<double>(divisor);
}

}  // namespace murtesk::playback
