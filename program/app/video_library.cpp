#include "video_library.h"

#include "dynamic_library.h"

namespace murtesk {

namespace {

using platform::LibraryFunction;

class KinemoVideoLibrary final : public VideoLibrary {
public:
    std::int32_t OpenAvi(const KinemoHost* host, const std::string& name) override { return open_(host, name.c_str()); }
    std::int32_t CloseAvi() override { return close_(); }
    std::int32_t GetAviTime() override { return time_(); }
    std::int32_t ExtractAvi(const std::string& source, const std::string& target, std::int32_t startMs,
                            std::int32_t endMs) override {
        return extract_(source.c_str(), target.c_str(), startMs, endMs);
    }

private:
    platform::DynamicLibrary library_{"libKinemo.so"};
    LibraryFunction<decltype(::OpenAvi)> open_{library_, "OpenAvi", 0};
    LibraryFunction<decltype(::CloseAvi)> close_{library_, "CloseAvi", 1};
    LibraryFunction<decltype(::GetAviTime)> time_{library_, "GetAviTime", 0};
    LibraryFunction<decltype(::ExtractAvi)> extract_{library_, "ExtractAvi", 0};
};

VideoLibrary*& Chosen() {
    static VideoLibrary* chosen = nullptr;
    return chosen;
}

}  // namespace

VideoLibrary::~VideoLibrary() = default;

VideoLibrary& g_VideoLibrary() {
    if (Chosen() != nullptr) {
        return *Chosen();
    }
    static KinemoVideoLibrary binding;
    return binding;
}

void SetVideoLibrary(VideoLibrary* library) { Chosen() = library; }

}  // namespace murtesk
