// The search of the built libSarnik.so, loaded from the test's own folder as the program does.
#pragma once

#include "awk_like.h"

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>

namespace murtesk::testing {

inline RESearchFunction LoadedRESearch()
{
    using Export = std::int32_t(const char*, const char*, std::int32_t*);
    static void* const library = [] {
        const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "libSarnik.so";
        return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }();
    auto* search = library ? reinterpret_cast<Export*>(dlsym(library, "RESearch")) : nullptr;
    if (search == nullptr) throw std::runtime_error("libSarnik.so not loadable");
    return search;
}

}  // namespace murtesk::testing
