// Loading the program's own shared libraries (analysis, Sarnik, Kinemo) by file name from the folder they
// were installed in (LibraryFolder: beside the executable in the build tree), at the first call of one of
// their functions, and binding each function by its name. Never through the system's library path.
//
// A library is opened once with RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE and never unloaded; every function
// address is looked up once and cached. A missing library or function makes the call fail the way the
// function reports failure (LibraryFunction returns its failure value), never ends the program.
// Thread-safe: workers of the libraries call back while the user-interface thread binds other functions.
#pragma once

#include <mutex>
#include <string>
#include <unordered_map>

namespace murtesk::platform {

class DynamicLibrary {
public:
    // `fileName` is a bare file name ("libMurtesk.so"), looked up in `folder` (default: LibraryFolder()).
    explicit DynamicLibrary(std::string fileName, std::string folder = {});
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // The address of the named function, loading the library first if need be; null when either is missing.
    void* symbol(const char* name);

    template <class Fn>
    Fn* function(const char* name)
    {
        return reinterpret_cast<Fn*>(symbol(name));
    }

    // The reason of the last failure to load or bind (empty when none).
    std::string lastError() const;

private:
    bool load();

    const std::string m_fileName;
    const std::string m_folder;
    mutable std::mutex m_mutex;
    void* m_handle = nullptr;
    bool m_tried = false;
    std::unordered_map<std::string, void*> m_symbols;
    std::string m_error;
};

template <class Signature>
class LibraryFunction;

// One function of a library, bound at its first call. Calling it when the library or the function is missing
// returns the failure value the function itself uses.
template <class R, class... Args>
class LibraryFunction<R(Args...)> {
public:
    LibraryFunction(DynamicLibrary& library, const char* name, R failure)
        : m_library(library), m_name(name), m_failure(failure)
    {
    }

    R operator()(Args... args) const
    {
        auto* f = m_library.function<R(Args...)>(m_name);
        return f ? f(args...) : m_failure;
    }

    bool available() const { return m_library.symbol(m_name) != nullptr; }

private:
    DynamicLibrary& m_library;
    const char* m_name;
    R m_failure;
};

}  // namespace murtesk::platform
