#include "video_library.h"

#include "dynamic_library.h"

namespace murtesk {

namespace {

using platform::LibraryFunction;

class KinemoVideoLibrary final : public VideoLibrary {
public:
    std::int32_t OpenAvi(const KinemoHost* host, const std::string& name) override { return open_(host, name.c_str()); }
    std::int32_t CloseAvi() override { return close_(); }

private:
    platform::DynamicLibrary library_{"libKinemo.so"};
    LibraryFunction<decltype(::OpenAvi)> open_{library_, "OpenAvi", 0};
    LibraryFunction<decltype(::CloseAvi)> close_{library_, "CloseAvi", 1};
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
