// Field pieces for the record lists kept as parallel arrays (the vehicle count and speed lists): their stored
// form is the number of slots N and the count, then each array whole, N values one after the other with no
// length of its own. These pieces go into a list's field list like any field (record_stream.h).
//
// Reading checks before it allocates: N at least 0, the count from 0 to N, and enough bytes left in the file
// for N slots of every array; anything else fails the read with the list untouched, so a damaged or hostile
// side file can neither make the reader allocate more than the file holds nor index past an array.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "model/record_stream.h"

namespace murtesk::playback {

static_assert(std::endian::native == std::endian::little, "the side files are little-endian, as memory here");

// N and the count of `List`, which offers AllocatedLength(), count() and ArrayReDim(N, count). `slotBytes` is
// the bytes one slot takes over all the arrays.
template <class List>
struct SlotCounts {
    List& list;
    std::int64_t slotBytes;

    bool MeRead(platform::BinaryFile& file) {
        std::int32_t slots = 0, count = 0;
        if (!ReadField(file, slots) || !ReadField(file, count)) return false;
        if (slots < 0 || count < 0 || count > slots ||
            static_cast<std::uint64_t>(slots) * static_cast<std::uint64_t>(slotBytes) > file.Remaining())
            return false;
        list.ArrayReDim(slots, count);
        return true;
    }
    bool MeWrite(platform::BinaryFile& file) const {
        return WriteField(file, list.AllocatedLength()) && WriteField(file, list.count());
    }
};

// One array of the list, all its slots.
template <class Vector>
struct SlotArray {
    Vector& values;

    bool MeRead(platform::BinaryFile& file) {
        return file.Read(values.data(), values.size() * sizeof(typename Vector::value_type));
    }
    bool MeWrite(platform::BinaryFile& file) const {
        return file.Write(values.data(), values.size() * sizeof(typename Vector::value_type));
    }
};

template <class Vector>
SlotArray(Vector&) -> SlotArray<Vector>;

// The slot of one more record: when every slot is used, every array grows by `step` slots, keeping its contents
// (the new slots are 0). std::length_error when the count would pass 2^31 - 1.
template <class... Vectors>
std::size_t AppendSlot(std::int32_t& count, std::int32_t& slots, std::int32_t step, Vectors&... arrays) {
    constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
    if (count == kMost) throw std::length_error("record list full");
    if (count == slots) {
        slots = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{slots} + step, kMost));
        (arrays.resize(static_cast<std::size_t>(slots)), ...);
    }
    return static_cast<std::size_t>(count++);
}

// `slots` cleared slots in every array and a count of `count`; std::invalid_argument unless 0 <= count <= slots.
template <class... Vectors>
void ResetSlots(std::int32_t slots, std::int32_t count, std::int32_t& listSlots, std::int32_t& listCount,
                Vectors&... arrays) {
    if (slots < 0 || count < 0 || count > slots)
        throw std::invalid_argument("record list of a negative size or a count above it");
    (arrays.assign(static_cast<std::size_t>(slots), typename Vectors::value_type{}), ...);
    listSlots = slots;
    listCount = count;
}

}  // namespace murtesk::playback
