#include "analysis_binding.h"

#include "dynamic_library.h"
#include "murtesk_analysis.h"

#include <cstdint>

namespace murtesk {

using platform::LibraryFunction;

struct AnalysisLibrary::Exports {
    explicit Exports(std::string folder) : library("libMurtesk.so", std::move(folder)) {}

    platform::DynamicLibrary library;
    LibraryFunction<decltype(::CALReadOfWAV)> calRead{library, "CALReadOfWAV", 0};
    LibraryFunction<decltype(::CreateBigMonoWave)> cut{library, "CreateBigMonoWave", 0};
    LibraryFunction<decltype(::MergeMonoWave)> merge{library, "MergeMonoWave", 0};
    LibraryFunction<decltype(::ChgHz)> chgHz{library, "ChgHz", 0};
    LibraryFunction<decltype(::ReadPreOfWAV)> readPre{library, "ReadPreOfWAV", 0};
    LibraryFunction<decltype(::SetCalcConditionOfWAV)> setCalcCondition{library, "SetCalcConditionOfWAV", 0};
    LibraryFunction<decltype(::SetFileOutPathOfWAV)> setFileOutPath{library, "SetFileOutPathOfWAV", 0};
    LibraryFunction<decltype(::ReadStartOfWAV)> readStart{library, "ReadStartOfWAV", 0};
    LibraryFunction<decltype(::DoStopOfWAV)> doStop{library, "DoStopOfWAV", 0};
    LibraryFunction<decltype(::GethStatusOfWAV)> getStatus{library, "GethStatusOfWAV", MURTESK_STATUS_FAILED};
    LibraryFunction<decltype(::GetFileOutOrderOfWAV)> getFileOutOrder{library, "GetFileOutOrderOfWAV", -1};
    LibraryFunction<decltype(::StartSeparateChWaveFile)> startSeparate{library, "StartSeparateChWaveFile", 0};
};

AnalysisLibrary::AnalysisLibrary(std::string folder) : exports_(std::make_unique<Exports>(std::move(folder))) {}
AnalysisLibrary::~AnalysisLibrary() = default;

// ---- WaveLibrary

std::int32_t AnalysisLibrary::CALReadOfWAV(const std::string& path, WaveProbe& probe) {
    double maxima[100] = {};
    double minima[100] = {};
    return exports_->calRead(path.c_str(), &probe.channels, &probe.rate, &probe.bits, maxima, minima, &probe.format,
                             &probe.frames);
}

std::int32_t AnalysisLibrary::CreateBigMonoWave(const std::string& output, std::int16_t bits, std::int32_t first,
                                                std::int32_t last, std::int16_t channels, std::int16_t channel,
                                                std::int32_t rate, const std::string& source) {
    return exports_->cut(output.c_str(), bits, first, last, channels, channel, rate, source.c_str());
}

std::int32_t AnalysisLibrary::MergeMonoWave(const std::string& output, std::int16_t bits, std::int32_t first,
                                            std::int32_t last, std::int32_t rate, const std::vector<std::string>& files) {
    std::vector<const char*> list;
    for (const std::string& f : files) {
        list.push_back(f.c_str());
    }
    list.push_back(nullptr);
    return exports_->merge(output.c_str(), bits, first, last, static_cast<std::int32_t>(files.size()), rate,
                           list.data());
}

std::optional<std::int32_t> AnalysisLibrary::ChgHz(const std::string& output, std::span<const double> values,
                                                   double inRate, double outRate, std::int32_t mode) {
    if (!exports_->chgHz.available()) return std::nullopt;
    if (values.size() > static_cast<std::size_t>(INT32_MAX)) return 0;
    return exports_->chgHz(output.c_str(), values.data(), static_cast<std::int32_t>(values.size()), inRate, outRate,
                           mode);
}

WaveLibrary::~WaveLibrary() = default;

WaveLibrary& g_WaveLibrary() {
    static AnalysisLibrary binding;
    return binding;
}

// ---- import::WavLibrary

std::int32_t AnalysisLibrary::CALReadOfWAV(const std::string& path, import::WavProbe& probe) {
    std::int32_t frames = 0;
    const std::int32_t result = exports_->calRead(path.c_str(), &probe.channels, &probe.rate, &probe.bits,
                                                  probe.maxima, probe.minima, &probe.format, &frames);
    // The count crosses as 32 bits; files of 2^31 frames or more come back negative.
    probe.frames = static_cast<std::uint32_t>(frames);
    return result;
}

std::int32_t AnalysisLibrary::ReadPreOfWAV(std::int32_t channels, double rate, std::int32_t samplesPerBlock,
                                           const double* zeroOffsets) {
    return exports_->readPre(channels, rate, samplesPerBlock, zeroOffsets);
}

std::int32_t AnalysisLibrary::SetCalcConditionOfWAV(std::int32_t channel, MurteskWindow* window, std::int32_t w,
                                                    std::int32_t oct1or3, double cr, double levelOutHz,
                                                    const double* corrections, double lvl, double calRms, double lowHz,
                                                    double highHz) {
    return exports_->setCalcCondition(channel, window, w, oct1or3, cr, levelOutHz, corrections, lvl, calRms, lowHz,
                                      highHz);
}

std::int32_t AnalysisLibrary::SetFileOutPathOfWAV(std::int32_t channel, std::int32_t output, const std::string& path) {
    return exports_->setFileOutPath(channel, output, path.c_str());
}

std::int32_t AnalysisLibrary::ReadStartOfWAV(const std::string& path) { return exports_->readStart(path.c_str()); }
std::int32_t AnalysisLibrary::DoStopOfWAV() { return exports_->doStop(); }
std::int16_t AnalysisLibrary::GethStatusOfWAV() { return exports_->getStatus(); }
std::int32_t AnalysisLibrary::GetFileOutOrderOfWAV(std::int32_t channel) { return exports_->getFileOutOrder(channel); }

std::int32_t AnalysisLibrary::StartSeparateChWaveFile(MurteskWindow* window, const std::string& source,
                                                      const std::string& name, const std::string& folder) {
    return exports_->startSeparate(window, source.c_str(), name.c_str(), folder.c_str());
}

}  // namespace murtesk
