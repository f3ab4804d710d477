// Vehicle counts of one video: each counted vehicle (CCarCount: direction, lane, kind and the video position at
// which it was counted) and the list of them (CCarCounts), kept as four parallel arrays with the eight per-kind
// counters of the direction and lane chosen; the list lives in the ".car" side file beside the video.
//
// Kind codes: 1 "中型車", 2 "乗用車", 4 "大型車", 5 "小型貨物車", 6 "自動二輪" (five classes) and 7
// "大型車類(2車種分類)", 8 "小型車類(2車種分類)" (two classes, which also collect the five-class kinds: 1 and 4 count
// in 7, 2 and 5 in 8); 3 is the total counter and no record's kind. Counting one vehicle raises its kind's counter, its
// two-class counter and the total.
//
// Side file (little-endian, N the allocated slots, 58 + 10N bytes): magic 19660126, N, count, the Course,
// RoadNo and CarKind arrays (2N bytes each), the PosTime array (4N), the 14-byte NowCarCount record, the eight
// counters (32 bytes). Every slot is written, used or not. It is written by atomic replacement: a failed write
// leaves the old file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "model/record_stream.h"

namespace murtesk::playback {

// The name of a vehicle kind; code 6 and every code outside the table (3 included) give "自動二輪".
std::string CarKindName(std::int16_t kind);

class CCarCount : public Record<CCarCount> {
public:
    std::int16_t Course = 0;  // 0 "上り", any other value "下り"
    std::int16_t RoadNo = 0;  // lane 0..10, 1 the innermost; 0: lanes not told apart
    std::int16_t CarKind = 4;
    std::int32_t PosTime = 0;  // video position in ms

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.Course) && io(self.RoadNo) && io(self.CarKind) && io(self.PosTime);
    }
    static auto Compared(const CCarCount& r) { return std::tie(r.Course, r.RoadNo, r.CarKind, r.PosTime); }

    // `filter` chooses: the same direction, and its lane or every lane when the filter's lane is 0.
    bool IsSameCondition(const CCarCount& filter) const;
    std::string GetCarKindName() const { return CarKindName(CarKind); }
};

class CCarCounts {
public:
    static constexpr std::int32_t kInitialSlots = 2000;
    static constexpr std::int32_t kGrowthSlots = 1000;

    CCarCounts();

    // The filter (its Course and RoadNo choose the counters' direction and lane) and the last counted vehicle.
    CCarCount& NowCarCount() { return now_; }
    const CCarCount& NowCarCount() const { return now_; }
    void SetNowCarCount(const CCarCount& value) { now_ = value; }

    // Counter `index` (1..8); std::out_of_range for another index.
    std::int32_t CarNum(std::int32_t index) const;
    void SetCarNum(std::int32_t index, std::int32_t value);

    // Appends a copy of the record, growing every array by 1000 slots when full; returns its argument. The
    // counters are not touched. std::length_error when the count would pass 2^31 - 1.
    const CCarCount& Add(const CCarCount& carCount);
    std::int32_t count() const { return count_; }
    // Count 0, 2000 cleared slots; NowCarCount and the counters stay.
    void AllDelete();
    // A copy of record `index` (1..count); std::out_of_range otherwise.
    CCarCount Item(std::int32_t index) const;
    // Sets N and the count and allocates every array anew, cleared; std::invalid_argument unless 0 <= count <= N.
    void ArrayReDim(std::int32_t aryAllNum, std::int32_t countNum);
    std::int32_t AllocatedLength() const { return allocated_; }

    CCarCounts MeCopy() const { return *this; }
    void MeMove(CCarCounts& target) const { target = *this; }
    // Equal counts, records field by field in order, NowCarCount and counters; N is not compared.
    bool IsMeEqualTo(const CCarCounts& other) const;
    // Reading checks N and the count against the file before it allocates (slot_arrays.h); a file that ends
    // inside the eight counters reads true with the counters 0 (the window recounts).
    bool MeRead(platform::BinaryFile& fileno);
    bool MeWrite(platform::BinaryFile& fileno) const;

    // Counts one vehicle by the kind table; false, counting nothing, for a kind outside 1..8 or a counter that
    // would pass 2^31 - 1.
    bool PlusCarNum(const CCarCount& carCount);
    // Takes the filter's four fields into NowCarCount, counts every matching record anew and sets
    // NowCarCount.PosTime to the latest matching position (0 when none).
    void ReCount(const CCarCount& carCount);
    // Removes the records at or after `delTime` of scope 0 (NowCarCount's direction and lane, the lane compared
    // literally), 1 (its direction) or 2 (all); keeps the order, rebuilds the list (N back to 2000 or as the
    // survivors need); NowCarCount and the counters stay.
    void SelectDelete(std::int32_t delTime, std::int32_t delKbn);

    // False, the list untouched, when no such file exists; else MeRead's answer.
    bool FileRead(const std::string& path);
    bool FileWrite(const std::string& path) const;
    // (CarNum(1) + CarNum(4)) / (CarNum(3) - CarNum(6)); 0 when the divisor is 0 or below.
    double GetLargeCarRatio() const;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io);

private:
    std::int32_t allocated_ = 0;
    std::int32_t count_ = 0;
    std::vector<std::int16_t> course_, roadNo_, carKind_;
    std::vector<std::int32_t> posTime_;
    CCarCount now_;
    std::array<std::int32_t, 8> carNum_{};
};

}  // namespace murtesk::playback
