// The readers of the vehicle count and speed side files on arbitrary bytes: no crash, no allocation beyond what
// the bytes can hold, and whatever reads writes bytes that read and write again to the same bytes (compared as
// bytes: a distance may be a NaN, which equals nothing).
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
    auto rewritten = murtesk::platform::BinaryFile::InMemory();
    if (!reread.MeRead(again) || !reread.MeWrite(rewritten) || rewritten.Bytes() != written.Bytes()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    RoundTrip<murtesk::playback::CCarCounts>(bytes);
    RoundTrip<murtesk::playback::CSpeedInfos>(bytes);
    return 0;
}
