#include "model/date_points.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "platform/dates.h"

namespace murtesk {

void CDatePoints::num(std::int32_t NewValue) {
    m_num = NewValue < 1 ? 0 : NewValue;
    m_Data.resize(NewValue < 1 ? 1 : static_cast<std::size_t>(NewValue), 0.0);
}

void CDatePoints::Data(const std::vector<Date>& NewValue) {
    if (NewValue.empty()) {
        m_num = 0;
        m_Data.assign(1, 0.0);
        return;
    }
    m_Data = NewValue;
    m_num = static_cast<std::int32_t>(NewValue.size());
}

void CDatePoints::addData(Date NewValue) {
    if (m_num == 0) {
        m_Data.assign(1, NewValue);
    } else {
        m_Data.push_back(NewValue);
    }
    ++m_num;
}

Date CDatePoints::getData(std::int32_t Index) const {
    if (Index < 1 || static_cast<std::size_t>(Index) > m_Data.size()) {
        throw std::out_of_range("date index out of range");
    }
    return m_Data[static_cast<std::size_t>(Index - 1)];
}

bool CDatePoints::IsMeEqualTo(const CDatePoints& Data) const {
    if (m_num != Data.m_num) return false;
    for (std::int32_t i = 0; i < m_num; ++i) {
        if (!(m_Data[i] == Data.m_Data[i])) return false;
    }
    return true;
}

bool CDatePoints::MeRead(BinaryFile& fileno) {
    if (!ReadMagic(fileno)) return false;
    std::int32_t count = 0;
    if (!ReadField(fileno, count)) return false;
    if (count <= 0) {
        Data({});
        return true;
    }
    if (static_cast<std::uint64_t>(count) > fileno.Remaining() / sizeof(Date)) return false;
    std::vector<Date> dates(static_cast<std::size_t>(count));
    for (Date& d : dates) {
        if (!ReadField(fileno, d)) return false;
    }
    Data(dates);
    return true;
}

bool CDatePoints::MeWrite(BinaryFile& fileno) const {
    if (!WriteMagic(fileno) || !WriteField(fileno, m_num)) return false;
    for (std::int32_t i = 0; i < m_num; ++i) {
        if (!WriteField(fileno, m_Data[static_cast<std::size_t>(i)])) return false;
    }
    return true;
}

void CDatePoints::tidyDate(Date compareDate) {
    // A date without a number (only a damaged file holds one) is dropped, not kept.
    std::vector<Date> kept;
    for (std::int32_t i = 0; i < m_num; ++i) {
        if (m_Data[i] >= compareDate) kept.push_back(m_Data[i]);
    }
    // Equal dates are interchangeable, so a plain sort gives what repeated selection of the
    // smallest would give.
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    Data(kept);
}

std::int32_t CDatePoints::getMinIntervalSec(std::int32_t& oIndex) const {
    constexpr std::int32_t kYearSeconds = 31536000;
    std::int64_t result = kYearSeconds;
    oIndex = 1;
    for (std::int32_t i = 1; i < m_num; ++i) {
        const std::int64_t interval = platform::WholeSecondsBetween(m_Data[i - 1], m_Data[i]);
        if (interval < result) {
            result = interval;
            oIndex = i + 1;
        }
    }
    if (result < std::numeric_limits<std::int32_t>::min()) {
        throw std::overflow_error("date interval outside the 32-bit range");
    }
    return static_cast<std::int32_t>(result);
}

}  // namespace murtesk
