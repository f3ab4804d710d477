// The readers of the vehicle count and speed side files on arbitrary bytes: no crash, no allocation beyond what
// the bytes can hold, and whatever reads back writes the same record again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/binary_file.h"
#include "playback/car_count.h"
#include "playback/speed_info.h"

namespace {

template <class List>
void RoundTrip(const std::string& bytes) {
    auto file = murtesk::platform::BinaryFile::FromBytes(bytes);
    List list;
    if (!list.MeRead(file)) return;
    auto written = murtesk::platform::BinaryFile::InMemory();
    if (!list.MeWrite(written)) std::abort();
    auto again = murtesk::platform::BinaryFile::FromBytes(written.Bytes());
    List reread;
    if (!reread.MeRead(again) || !reread.IsMeEqualTo(list)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    RoundTrip<murtesk::playback::CCarCounts>(bytes);
    RoundTrip<murtesk::playback::CSpeedInfos>(bytes);
    return 0;
}
