#include "dynamic_library.h"

#include <dlfcn.h>

#include "program_folder.h"

namespace murtesk::platform {

DynamicLibrary::DynamicLibrary(std::string fileName, std::string folder)
    : m_fileName(std::move(fileName)), m_folder(std::move(folder))
{
}

bool DynamicLibrary::load()
{
    if (m_tried)
        return m_handle != nullptr;
    m_tried = true;
    const std::string folder = m_folder.empty() ? LibraryFolder() : m_folder;
    if (folder.empty() || m_fileName.empty() || m_fileName.find('/') != std::string::npos) {
        m_error = "no folder for " + m_fileName;
        return false;
    }
    const std::string path = folder + "/" + m_fileName;
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!m_handle) {
        const char* why = dlerror();
        m_error = why ? why : ("cannot load " + path);
    }
    return m_handle != nullptr;
}

void* DynamicLibrary::symbol(const char* name)
{
    std::lock_guard lock(m_mutex);
    if (!name || !load())
        return nullptr;
    const auto found = m_symbols.find(name);
    if (found != m_symbols.end())
        return found->second;
    dlerror();
    void* address = dlsym(m_handle, name);
    if (!address) {
        const char* why = dlerror();
        m_error = why ? why : (std::string("no function ") + name);
    }
    m_symbols.emplace(name, address);
    return address;
}

std::string DynamicLibrary::lastError() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

}  // namespace murtesk::platform
