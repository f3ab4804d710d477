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

bool CSpeedInfo::IsSameCondition(const CSpeedInfo& filter) const
{
    return filter.Course == Course && (filter.RoadNo == 0 || filter.RoadNo == RoadNo);
}

float CSpeedInfo::GetSpeedKmH() const
{
    const std::int64_t difference = std::int64_t{SaveTime2} - SaveTime1;
    const double hours = static_cast<double>(std::llabs(difference)) / 1000.0 / 60.0 / 60.0;
    const double km = static_cast<double>(Distance) / 1000.0;
    return hours > 0.0 ? static_cast<float>(km / hours) : -1.0f;
}

std::string CSpeedInfo::GetCarKindName() const
{
    return CarKindName(CarKind);
}

template <class Self, class Io>
bool CSpeedInfos::Fields(Self& self, Io& io)
{
    SlotCounts<Self> slots{self, kSlotBytes};
    SlotArray course{self.m_course}, roadNo{self.m_roadNo}, saveTime1{self.m_saveTime1},
        saveTime2{self.m_saveTime2}, distance{self.m_distance}, carKind{self.m_carKind};
    return io.Magic() && io(slots) && io(course) && io(roadNo) && io(saveTime1) && io(saveTime2) && io(distance) &&
           io(carKind) && io(self.m_now);
}

CSpeedInfos::CSpeedInfos()
{
    ArrayReDim(kInitialSlots, 0);
}

const CSpeedInfo& CSpeedInfos::Add(const CSpeedInfo& speedInfo)
{
    if (m_count == std::numeric_limits<std::int32_t>::max())
        throw std::length_error("speed list full");
    if (m_count == m_allocated) {
        const std::int64_t grown = std::int64_t{m_allocated} + kGrowthSlots;
        m_allocated = static_cast<std::int32_t>(std::min<std::int64_t>(grown, std::numeric_limits<std::int32_t>::max()));
        GrowSlots(m_allocated, m_course, m_roadNo, m_saveTime1, m_saveTime2, m_distance, m_carKind);
    }
    const auto slot = static_cast<std::size_t>(m_count++);
    m_course[slot] = speedInfo.Course;
    m_roadNo[slot] = speedInfo.RoadNo;
    m_saveTime1[slot] = speedInfo.SaveTime1;
    m_saveTime2[slot] = speedInfo.SaveTime2;
    m_distance[slot] = speedInfo.Distance;
    m_carKind[slot] = speedInfo.CarKind;
    return speedInfo;
}

void CSpeedInfos::AllDelete()
{
    ArrayReDim(kInitialSlots, 0);
}

CSpeedInfo CSpeedInfos::Item(std::int32_t index) const
{
    if (index < 1 || index > m_count)
        throw std::out_of_range("speed record outside 1..count");
    const auto slot = static_cast<std::size_t>(index - 1);
    CSpeedInfo record;
    record.Course = m_course[slot];
    record.RoadNo = m_roadNo[slot];
    record.SaveTime1 = m_saveTime1[slot];
    record.SaveTime2 = m_saveTime2[slot];
    record.Distance = m_distance[slot];
    record.CarKind = m_carKind[slot];
    return record;
}

void CSpeedInfos::ArrayReDim(std::int32_t aryAllNum, std::int32_t countNum)
{
    if (aryAllNum < 0 || countNum < 0 || countNum > aryAllNum)
        throw std::invalid_argument("speed list of a negative size or a count above it");
    const auto slots = static_cast<std::size_t>(aryAllNum);
    m_course.assign(slots, 0);
    m_roadNo.assign(slots, 0);
    m_saveTime1.assign(slots, 0);
    m_saveTime2.assign(slots, 0);
    m_distance.assign(slots, 0.0f);
    m_carKind.assign(slots, 0);
    m_allocated = aryAllNum;
    m_count = countNum;
}

void CSpeedInfos::CopyAryCourse(const std::vector<std::int16_t>& values)
{
    CopySlots(m_course, values, m_allocated);
}

void CSpeedInfos::CopyAryRoadNo(const std::vector<std::int16_t>& values)
{
    CopySlots(m_roadNo, values, m_allocated);
}

void CSpeedInfos::CopyArySaveTime1(const std::vector<std::int32_t>& values)
{
    CopySlots(m_saveTime1, values, m_allocated);
}

void CSpeedInfos::CopyArySaveTime2(const std::vector<std::int32_t>& values)
{
    CopySlots(m_saveTime2, values, m_allocated);
}

void CSpeedInfos::CopyAryDistance(const std::vector<float>& values)
{
    CopySlots(m_distance, values, m_allocated);
}

void CSpeedInfos::CopyAryCarKind(const std::vector<std::int16_t>& values)
{
    CopySlots(m_carKind, values, m_allocated);
}

bool CSpeedInfos::IsMeEqualTo(const CSpeedInfos& other) const
{
    if (m_count != other.m_count || !m_now.IsMeEqualTo(other.m_now))
        return false;
    for (std::int32_t i = 1; i <= m_count; ++i)
        if (!Item(i).IsMeEqualTo(other.Item(i)))
            return false;
    return true;
}

bool CSpeedInfos::MeRead(platform::BinaryFile& fileno)
{
    RecordReader io(fileno);
    return Fields(*this, io);
}

bool CSpeedInfos::MeWrite(platform::BinaryFile& fileno) const
{
    RecordWriter io(fileno);
    return Fields(*this, io);
}

template <class Keep>
void CSpeedInfos::Rebuild(Keep keep)
{
    const CSpeedInfos copy = MeCopy();
    AllDelete();
    for (std::int32_t i = 1; i <= copy.m_count; ++i) {
        const CSpeedInfo record = copy.Item(i);
        if (keep(i, record))
            Add(record);
    }
}

void CSpeedInfos::KindDelete(std::int32_t delKbn)
{
    switch (delKbn) {
    case 0:
        Rebuild([&](std::int32_t, const CSpeedInfo& r) { return !r.IsSameCondition(m_now); });
        break;
    case 1:
        Rebuild([&](std::int32_t, const CSpeedInfo& r) { return r.Course != m_now.Course; });
        break;
    default:
        AllDelete();
        break;
    }
}

void CSpeedInfos::SelectDelete(std::span<const std::int32_t> dellIndex)
{
    Rebuild([&](std::int32_t i, const CSpeedInfo&) {
        return std::find(dellIndex.begin(), dellIndex.end(), i) == dellIndex.end();
    });
}

bool CSpeedInfos::FileRead(const std::string& path)
{
    return ReadRecordFile(path, *this);
}

bool CSpeedInfos::FileWrite(const std::string& path) const
{
    return WriteRecordFile(path, *this);
}

double CSpeedInfos::GetAverageSpeedKmH() const
{
    double sum = 0.0;
    std::int64_t matching = 0;
    for (std::int32_t i = 1; i <= m_count; ++i) {
        const CSpeedInfo record = Item(i);
        if (record.IsSameCondition(m_now)) {
            sum += record.GetSpeedKmH();
            ++matching;
        }
    }
    return matching > 0 ? sum / static_cast<double>(matching) : 0.0;
}

CSpeedInfos CSpeedInfos::SelectCarKind(std::int16_t kind) const
{
    CSpeedInfos selected;
    selected.m_now = m_now;
    for (std::int32_t i = 1; i <= m_count; ++i) {
        const CSpeedInfo record = Item(i);
        if (record.IsSameCondition(m_now) && record.CarKind == kind)
            selected.Add(record);
    }
    return selected;
}

}  // namespace murtesk::playback
