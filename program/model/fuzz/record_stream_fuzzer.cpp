// Feeds arbitrary bytes to the text, variant and counted-list readers: none may crash, hang, read
// past the data or allocate more than the data can hold.
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/standard_collection.h"

namespace {

class Item : public murtesk::Record<Item> {
public:
    std::string Name;
    murtesk::Variant Value;
    bool Flag = false;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.Name) && io(self.Value) && io(self.Flag);
    }
    static auto Compared(const Item& i) { return std::tie(i.Name, i.Value, i.Flag); }
};

class Items : public murtesk::StandardCollection<Item, Items> {};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        murtesk::BinaryFile file = murtesk::BinaryFile::FromBytes(bytes);
        std::string text;
        while (murtesk::ReadField(file, text)) {
        }
    }
    murtesk::BinaryFile file = murtesk::BinaryFile::FromBytes(bytes);
    Items items;
    if (items.MeRead(file)) {
        // What was read writes back, and reading that back and writing it again gives the same
        // bytes (the first writing may differ from the input: any non-zero Boolean reads as true,
        // invalid CP932 is replaced).
        murtesk::BinaryFile out = murtesk::BinaryFile::InMemory();
        if (!items.MeWrite(out)) __builtin_trap();
        murtesk::BinaryFile again = murtesk::BinaryFile::FromBytes(out.Bytes());
        Items back;
        if (!back.MeRead(again) || back.count() != items.count()) __builtin_trap();
        murtesk::BinaryFile out2 = murtesk::BinaryFile::InMemory();
        if (!back.MeWrite(out2) || out2.Bytes() != out.Bytes()) __builtin_trap();
    }
    return 0;
}
