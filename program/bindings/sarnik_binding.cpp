#include "sarnik_binding.h"

#include "Sarnik.h"
#include "dynamic_library.h"

namespace murtesk {

namespace {

platform::DynamicLibrary& SarnikLibrary() {
    static platform::DynamicLibrary library("libSarnik.so");
    return library;
}

}  // namespace

RESearchFunction SarnikRESearch() {
    return [](const char* text, const char* pattern, std::int32_t* length) {
        auto* search = SarnikLibrary().function<decltype(::RESearch)>("RESearch");
        if (search == nullptr) throw SarnikUnavailable("RESearch: " + SarnikLibrary().lastError());
        return search(text, pattern, length);
    };
}

}  // namespace murtesk
