// A list of day-count dates, held as a count and an array that always has at least one slot (an
// empty list has num() == 0 and one spare slot holding the zero date).
#pragma once

#include <cstdint>
#include <vector>

#include "model/record_stream.h"

namespace murtesk {

class CDatePoints {
public:
    CDatePoints() = default;

    std::int32_t num() const { return m_num; }
    // Sets the count and resizes the array (one slot below 1), keeping the dates that still fit;
    // new slots hold the zero date.
    void num(std::int32_t NewValue);

    // A copy of the whole array, the spare slot of an empty list included.
    const std::vector<Date>& Data() const { return m_Data; }
    // Replaces the array by a copy of NewValue and sets num() to its length.
    void Data(const std::vector<Date>& NewValue);

    void addData(Date NewValue);
    // The date in slot Index - 1; throws std::out_of_range outside the slots.
    Date getData(std::int32_t Index) const;

    CDatePoints MeCopy() const { return *this; }
    void MeMove(CDatePoints& cpyDatePoints) const { cpyDatePoints = *this; }
    bool IsMeEqualTo(const CDatePoints& Data) const;
    // Record: magic, 32-bit num, then num dates (none when num is 0 or below). A count larger
    // than the bytes left fails the read and leaves the list as it was.
    bool MeRead(BinaryFile& fileno);
    bool MeWrite(BinaryFile& fileno) const;

    // Keeps the dates at or after compareDate, ascending, without repeats.
    void tidyDate(Date compareDate);
    // The smallest interval in whole seconds between neighbouring dates (31536000 with fewer than
    // two dates); oIndex receives the 1-based index of the later date of that pair (1 when none).
    // A pair out of order gives a negative interval, which counts as smaller.
    std::int32_t getMinIntervalSec(std::int32_t& oIndex) const;

private:
    std::int32_t m_num = 0;
    std::vector<Date> m_Data = std::vector<Date>(1, 0.0);
};

}  // namespace murtesk
