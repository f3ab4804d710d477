#include "wave_out.h"

#include <cstdlib>
#include <cstring>

namespace murtesk::platform {

WaveOut& SystemWaveOut() {
    static const std::unique_ptr<WaveOut> system = [] {
        const char* audio = std::getenv("MURTESK_AUDIO");
        return audio != nullptr && std::strcmp(audio, "null") == 0 ? MakeNullWaveOut() : MakeAlsaWaveOut();
    }();
    return *system;
}

}  // namespace murtesk::platform
