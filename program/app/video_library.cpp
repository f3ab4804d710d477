#include "video_library.h"

#include "kinemo_binding.h"

namespace murtesk {

namespace {

// The calculation screen's calls on the program's one binding of the library.
class BoundVideoLibrary final : public VideoLibrary {
public:
    std::int32_t OpenAvi(const KinemoHost* host, const std::string& name) override {
        return Kinemo().OpenAvi(host, name.c_str());
    }
    std::int32_t CloseAvi() override { return Kinemo().CloseAvi(); }
    std::int32_t GetAviTime() override { return Kinemo().GetAviTime(); }
    std::int32_t GetVideoWithHeight(const std::string& name, std::int32_t& width, std::int32_t& height) override {
        return Kinemo().GetVideoWithHeight(name.c_str(), &width, &height);
    }
    std::int32_t GetVideoPictureCount(const std::string& name, std::int32_t most) override {
        return Kinemo().GetVideoPictureCount(name.c_str(), most);
    }
    std::int32_t ExtractAvi(const std::string& source, const std::string& target, std::int32_t startMs,
                            std::int32_t endMs) override {
        return Kinemo().ExtractAvi(source.c_str(), target.c_str(), startMs, endMs);
    }
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
    static BoundVideoLibrary bound;
    return bound;
}

void SetVideoLibrary(VideoLibrary* library) { Chosen() = library; }

}  // namespace murtesk
