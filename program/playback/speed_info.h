// Speed measurements of one video: each measured vehicle (CSpeedInfo: direction, lane, the two video times at
// which it passed two marks, the distance between the marks and its kind; the speed is computed, never stored)
// and the list of them (CSpeedInfos), kept as six parallel arrays with a filter record; the list lives in the
// ".kmh" side file beside the video. Direction, lane and kind codes are those of the vehicle counts.
//
// Side file (little-endian, N the allocated slots, 34 + 18N bytes): magic 19660126, N, count, the Course and
// RoadNo arrays (2N bytes each), SaveTime1 and SaveTime2 (4N each), Distance (4N, IEEE single), CarKind (2N),
// then the 22-byte NowSpeedInfo record. Every slot is written, used or not; written by atomic replacement.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "model/record_stream.h"

namespace murtesk::playback {

class CSpeedInfo : public Record<CSpeedInfo> {
public:
    std::int16_t Course = 0;
    std::int16_t RoadNo = 0;     // 0 in a filter: every lane
    std::int32_t SaveTime1 = 0;  // ms
    std::int32_t SaveTime2 = 0;  // ms
    float Distance = 0.0f;       // m
    std::int16_t CarKind = 0;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.Course) && io(self.RoadNo) && io(self.SaveTime1) && io(self.SaveTime2) &&
               io(self.Distance) && io(self.CarKind);
    }
    static auto Compared(const CSpeedInfo& r) {
        return std::tie(r.Course, r.RoadNo, r.SaveTime1, r.SaveTime2, r.Distance, r.CarKind);
    }

    bool IsSameCondition(const CSpeedInfo& filter) const;
    // km/h from the distance and the two times in either order (their difference taken in 64 bits); -1 when
    // the times are equal.
    float GetSpeedKmH() const;
    std::string GetCarKindName() const;
};

class CSpeedInfos {
public:
    static constexpr std::int32_t kInitialSlots = 100;
    static constexpr std::int32_t kGrowthSlots = 100;

    CSpeedInfos();

    // The filter of the list shown (Course, RoadNo) and the template of a new record.
    CSpeedInfo& NowSpeedInfo() { return now_; }
    const CSpeedInfo& NowSpeedInfo() const { return now_; }
    void SetNowSpeedInfo(const CSpeedInfo& value) { now_ = value; }

    // Appends a copy, growing every array by 100 slots when full; returns its argument.
    const CSpeedInfo& Add(const CSpeedInfo& speedInfo);
    std::int32_t count() const { return count_; }
    // Count 0, 100 cleared slots; NowSpeedInfo stays.
    void AllDelete();
    // A copy of record `index` (1..count); std::out_of_range otherwise.
    CSpeedInfo Item(std::int32_t index) const;
    // std::invalid_argument unless 0 <= count <= N.
    void ArrayReDim(std::int32_t aryAllNum, std::int32_t countNum);
    std::int32_t AllocatedLength() const { return allocated_; }

    CSpeedInfos MeCopy() const { return *this; }
    void MeMove(CSpeedInfos& target) const { target = *this; }
    // Equal counts, records in order and NowSpeedInfo; N is not compared.
    bool IsMeEqualTo(const CSpeedInfos& other) const;
    // Reading checks N and the count against the file before it allocates (slot_arrays.h).
    bool MeRead(platform::BinaryFile& fileno);
    bool MeWrite(platform::BinaryFile& fileno) const;

    // Scope 0: every record matching NowSpeedInfo (IsSameCondition); 1: every record of its direction; 2: all;
    // any other value empties the list. The order stays, the list is rebuilt.
    void KindDelete(std::int32_t delKbn);
    // Removes the records whose 1-based numbers appear in `dellIndex` (other numbers remove nothing); the
    // survivors keep their order and are numbered from 1 again.
    void SelectDelete(std::span<const std::int32_t> dellIndex);

    bool FileRead(const std::string& path);
    bool FileWrite(const std::string& path) const;
    // The mean speed of the records matching NowSpeedInfo; 0 when none matches.
    double GetAverageSpeedKmH() const;
    // A new list with this one's NowSpeedInfo and copies of the records that match it and have kind `kind`.
    CSpeedInfos SelectCarKind(std::int16_t kind) const;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io);

private:
    template <class Keep>
    void Rebuild(Keep keep);

    std::int32_t allocated_ = 0;
    std::int32_t count_ = 0;
    std::vector<std::int16_t> course_, roadNo_;
    std::vector<std::int32_t> saveTime1_, saveTime2_;
    std::vector<float> distance_;
    std::vector<std::int16_t> carKind_;
    CSpeedInfo now_;
};

}  // namespace murtesk::playback
