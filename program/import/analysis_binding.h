// The analysis library (libMurtesk.so in the program's library folder) as the import calls it: each export
// bound by its name at its first call, with the type its own header (murtesk_analysis.h) declares. A
// missing library or export makes that call fail the way the export reports failure (0, or -9811 for
// the last status).
#pragma once

#include "wav_library.h"

#include <memory>
#include <string>

namespace murtesk::import {

class AnalysisLibrary final : public WavLibrary {
public:
    // folder: where libMurtesk.so lies; empty for the program's library folder.
    explicit AnalysisLibrary(std::string folder = {});
    ~AnalysisLibrary() override;

    std::int32_t CALReadOfWAV(const std::string& path, WavProbe& probe) override;
    std::int32_t ReadPreOfWAV(std::int32_t channels, double rate, std::int32_t samplesPerBlock,
                              const double* zeroOffsets) override;
    std::int32_t SetCalcConditionOfWAV(std::int32_t channel, MurteskWindow* window, std::int32_t w,
                                       std::int32_t oct1or3, double cr, double levelOutHz, const double* corrections,
                                       double lvl, double calRms, double lowHz, double highHz) override;
    std::int32_t SetFileOutPathOfWAV(std::int32_t channel, std::int32_t output, const std::string& path) override;
    std::int32_t ReadStartOfWAV(const std::string& path) override;
    std::int32_t DoStopOfWAV() override;
    std::int16_t GethStatusOfWAV() override;
    std::int32_t GetFileOutOrderOfWAV(std::int32_t channel) override;
    std::int32_t StartSeparateChWaveFile(MurteskWindow* window, const std::string& source, const std::string& name,
                                         const std::string& folder) override;

private:
    struct Exports;
    std::unique_ptr<Exports> exports_;
};

}  // namespace murtesk::import
