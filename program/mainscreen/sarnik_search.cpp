#include "sarnik_search.h"

#include "platform/dynamic_library.h"

namespace murtesk {

namespace {

platform::DynamicLibrary& SarnikLibrary()
{
    static platform::DynamicLibrary library("libSarnik.so");
    return library;
}

using RESearchExport = std::int32_t(const char*, const char*, std::int32_t*);

}  // namespace

RESearchFunction SarnikRESearch()
{
    return [](const char* text, const char* pattern, std::int32_t* length) {
        auto* search = SarnikLibrary().function<RESearchExport>("RESearch");
        if (search == nullptr) throw SarnikUnavailable("RESearch: " + SarnikLibrary().lastError());
        return search(text, pattern, length);
    };
}

}  // namespace murtesk
