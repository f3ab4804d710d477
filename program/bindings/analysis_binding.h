// The program's one binding of the analysis library (libMurtesk.so in the program's library folder):
// each export bound by its name at its first call, with the type the library's own header
// (murtesk_analysis.h) declares. It serves the screens' WAV functions (wave_library.h) and the
// import's run (import_library.h). A missing library or export makes that call fail the way the
// export reports failure (0, -1 for the output order, MURTESK_STATUS_FAILED for the last status).
#pragma once

#include "import_library.h"
#include "wave_library.h"

#include <memory>
#include <string>

namespace murtesk {

class AnalysisLibrary final : public WaveLibrary, public import::WavLibrary {
public:
    // folder: where libMurtesk.so lies; empty for the program's library folder.
    explicit AnalysisLibrary(std::string folder = {});
    ~AnalysisLibrary() override;

    // ---- WaveLibrary
    std::int32_t CALReadOfWAV(const std::string& path, WaveProbe& probe) override;
    std::int32_t CreateBigMonoWave(const std::string& output, std::int16_t bits, std::int32_t first, std::int32_t last,
                                   std::int16_t channels, std::int16_t channel, std::int32_t rate,
                                   const std::string& source) override;
    std::int32_t MergeMonoWave(const std::string& output, std::int16_t bits, std::int32_t first, std::int32_t last,
                               std::int32_t rate, const std::vector<std::string>& files) override;
    std::optional<std::int32_t> ChgHz(const std::string& output, std::span<const double> values, double inRate,
                                      double outRate, std::int32_t mode) override;

    // ---- import::WavLibrary
    std::int32_t CALReadOfWAV(const std::string& path, import::WavProbe& probe) override;
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

}  // namespace murtesk
