// Feeds arbitrary bytes to the project file reader: it must never crash, hang or allocate more than
// the data can hold, and whatever it accepts must write back to bytes that read to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/preserve.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static murtesk::StatsContext context([] { return std::string("/nonexistent/p.qvd"); }, [] { return 45356.5; });
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    murtesk::CPreserve doc(context);
    murtesk::BinaryFile file = murtesk::BinaryFile::FromBytes(bytes);
    if (!doc.MeRead(file)) return 0;

    murtesk::BinaryFile first = murtesk::BinaryFile::InMemory();
    if (!doc.MeWrite(first)) std::abort();
    murtesk::CPreserve reread(context);
    murtesk::BinaryFile again = murtesk::BinaryFile::FromBytes(first.Bytes());
    if (!reread.MeRead(again)) std::abort();
    murtesk::BinaryFile second = murtesk::BinaryFile::InMemory();
    if (!reread.MeWrite(second) || second.Bytes() != first.Bytes()) std::abort();
    return 0;
}
