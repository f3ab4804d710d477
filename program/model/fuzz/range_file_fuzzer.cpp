// Feeds arbitrary bytes to the range-file and statistics-record readers, then works the ranges
// read (merging, sorting, complement, positions): any number a variant can hold, dates, NaN and
// reversed ranges included, must neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/level_calcs.h"
#include "model/scopes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace murtesk;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        BinaryFile file = BinaryFile::FromBytes(bytes);
        Date start = 0;
        double period = 0;
        CScopes scopes;
        if (ReadField(file, start) && ReadField(file, period)) scopes.MeRead(file);
        for (const auto& r : scopes) {
            (void)ScopePosition(r->S);
            (void)r->isScope(r->E.AsDouble());
        }
        const CScopes gaps = scopes.getReverse(std::int32_t{1}, std::int32_t{100000});
        CScopes merged = scopes.MeCopy();
        merged.ResetScopes();
        (void)merged.getReverse(std::int32_t{1}, std::int32_t{100000}).isScopes(50.0);
        (void)gaps.count();
    }
    {
        // Histogram names read here are never used on disk: the context points nowhere.
        StatsContext context([] { return std::string("/nonexistent/p.qvd"); }, [] { return 45356.5; });
        BinaryFile file = BinaryFile::FromBytes(bytes);
        CLCalcs calcs(context);
        calcs.MeRead(file);
        for (const auto& calc : calcs) (void)calc->getLmaxPos();
    }
    return 0;
}
