#include "wave_library.h"

#include "dynamic_library.h"
#include "murtesk_analysis.h"

#include <cstdint>

namespace murtesk {

namespace {

using platform::LibraryFunction;

class AnalysisWaveLibrary final : public WaveLibrary {
public:
    std::int32_t CALReadOfWAV(const std::string& path, WaveProbe& probe) override {
        double maxima[100] = {};
        double minima[100] = {};
        return calRead_(path.c_str(), &probe.channels, &probe.rate, &probe.bits, maxima, minima, &probe.format,
                        &probe.frames);
    }

    std::int32_t CreateBigMonoWave(const std::string& output, std::int16_t bits, std::int32_t first, std::int32_t last,
                                   std::int16_t channels, std::int16_t channel, std::int32_t rate,
                                   const std::string& source) override {
        return cut_(output.c_str(), bits, first, last, channels, channel, rate, source.c_str());
    }

    std::int32_t MergeMonoWave(const std::string& output, std::int16_t bits, std::int32_t first, std::int32_t last,
                               std::int32_t rate, const std::vector<std::string>& files) override {
        std::vector<const char*> list;
        for (const std::string& f : files) {
            list.push_back(f.c_str());
        }
        list.push_back(nullptr);
        return merge_(output.c_str(), bits, first, last, static_cast<std::int32_t>(files.size()), rate, list.data());
    }

    std::optional<std::int32_t> ChgHz(const std::string& output, std::span<const double> values, double inRate,
                                      double outRate, std::int32_t mode) override {
        if (!chgHz_.available()) return std::nullopt;
        if (values.size() > static_cast<std::size_t>(INT32_MAX)) return 0;
        return chgHz_(output.c_str(), values.data(), static_cast<std::int32_t>(values.size()), inRate, outRate, mode);
    }

private:
    platform::DynamicLibrary library_{"libMurtesk.so"};
    LibraryFunction<decltype(::CALReadOfWAV)> calRead_{library_, "CALReadOfWAV", 0};
    LibraryFunction<decltype(::CreateBigMonoWave)> cut_{library_, "CreateBigMonoWave", 0};
    LibraryFunction<decltype(::MergeMonoWave)> merge_{library_, "MergeMonoWave", 0};
    LibraryFunction<decltype(::ChgHz)> chgHz_{library_, "ChgHz", 0};
};

WaveLibrary*& Chosen() {
    static WaveLibrary* chosen = nullptr;
    return chosen;
}

}  // namespace

WaveLibrary::~WaveLibrary() = default;

WaveLibrary& g_WaveLibrary() {
    if (Chosen() != nullptr) {
        return *Chosen();
    }
    static AnalysisWaveLibrary binding;
    return binding;
}

void SetWaveLibrary(WaveLibrary* library) { Chosen() = library; }

}  // namespace murtesk
