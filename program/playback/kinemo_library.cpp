#include "playback/kinemo_library.h"

#include "dynamic_library.h"

namespace murtesk::playback {

using platform::LibraryFunction;

struct KinemoLibrary::Exports {
    explicit Exports(std::string folder) : library("libKinemo.so", std::move(folder)) {}

    platform::DynamicLibrary library;
    LibraryFunction<decltype(::OpenAvi)> openAvi{library, "OpenAvi", 0};
    LibraryFunction<decltype(::CloseAvi)> closeAvi{library, "CloseAvi", 1};
    LibraryFunction<decltype(::GetAviTime)> getAviTime{library, "GetAviTime", 0};
    LibraryFunction<decltype(::GetAviPosition)> getAviPosition{library, "GetAviPosition", -1};
    LibraryFunction<decltype(::SetAviPosition)> setAviPosition{library, "SetAviPosition", 0};
    LibraryFunction<decltype(::SetAviRange)> setAviRange{library, "SetAviRange", 0};
    LibraryFunction<decltype(::AviStart)> aviStart{library, "AviStart", 0};
    LibraryFunction<decltype(::AviPause)> aviPause{library, "AviPause", 0};
    LibraryFunction<decltype(::AviIsCanSeek)> aviIsCanSeek{library, "AviIsCanSeek", 0};
    LibraryFunction<decltype(::AviGraphEvent)> aviGraphEvent{library, "AviGraphEvent", 0};
    LibraryFunction<decltype(::ReSizeWindow)> reSizeWindow{library, "ReSizeWindow", 0};
};

KinemoLibrary::KinemoLibrary(std::string folder) : m_exports(std::make_unique<Exports>(std::move(folder))) {}
KinemoLibrary::~KinemoLibrary() = default;

std::int32_t KinemoLibrary::OpenAvi(const KinemoHost* host, const char* name)
{
    return m_exports->openAvi(host, name);
}

std::int32_t KinemoLibrary::CloseAvi()
{
    return m_exports->closeAvi();
}

std::int32_t KinemoLibrary::GetAviTime()
{
    return m_exports->getAviTime();
}

std::int32_t KinemoLibrary::GetAviPosition()
{
    return m_exports->getAviPosition();
}

std::int32_t KinemoLibrary::SetAviPosition(std::int32_t ms)
{
    return m_exports->setAviPosition(ms);
}

std::int32_t KinemoLibrary::SetAviRange(std::int32_t startMs, std::int32_t stopMs)
{
    return m_exports->setAviRange(startMs, stopMs);
}

std::int32_t KinemoLibrary::AviStart()
{
    return m_exports->aviStart();
}

std::int32_t KinemoLibrary::AviPause()
{
    return m_exports->aviPause();
}

void KinemoLibrary::AviStop()
{
    if (auto* stop = m_exports->library.function<decltype(::AviStop)>("AviStop"))
        stop();
}

std::int32_t KinemoLibrary::AviIsCanSeek()
{
    return m_exports->aviIsCanSeek();
}

std::int32_t KinemoLibrary::AviGraphEvent()
{
    return m_exports->aviGraphEvent();
}

std::int32_t KinemoLibrary::ReSizeWindow()
{
    return m_exports->reSizeWindow();
}

}  // namespace murtesk::playback
