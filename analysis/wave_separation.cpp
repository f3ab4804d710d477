#include "wave_separation.h"

#include <new>
#include <vector>

#include "cal_read.h"
#include "sample_decoder.h"
#include "wav_output.h"
#include "wav_reader.h"

namespace murtesk::analysis {

namespace {

struct NameParts {
    std::string folder;  // up to and with the last '/'
    std::string stem;
    std::string extension;  // from the last '.' of the file name, with it
};

NameParts split(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    NameParts p;
    p.folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = file.find_last_of('.');
    p.stem = dot == std::string::npos ? file : file.substr(0, dot);
    p.extension = dot == std::string::npos ? std::string() : file.substr(dot);
    return p;
}

std::string channelSuffix(int channel)
{
    return "_" + std::to_string(channel) + "ch";
}

}  // namespace

std::string SeparatedFileName(const std::string& folder, const std::string& name, int channel)
{
    const NameParts p = split(folder + name);
    return p.folder + p.stem + channelSuffix(channel) + p.extension;
}

std::string PrefixedSeparatedFileName(const std::string& source, const std::string& prefix, int channel)
{
    const NameParts p = split(source);
    return prefix + p.stem + channelSuffix(channel) + p.extension;
}

SeparationResult SeparateChannels(const std::string& source, const std::function<std::string(int)>& fileOf,
                                  const std::function<bool()>& keepGoing)
{
    SeparationResult result;
    std::vector<WavOutputFile> outputs;
    bool outputsFailed = false;
    const auto finishAll = [&](SeparationEnd end) {
        for (WavOutputFile& f : outputs)
            if (!f.finish() && end == SeparationEnd::Done)
                end = SeparationEnd::Failed;
        result.end = end;
        return result;
    };

    WavReader reader;
    if (!reader.open(source))
        return finishAll(SeparationEnd::Failed);
    try {
        const WavError walk = reader.findData(
            [&] { return !outputsFailed && (!keepGoing || keepGoing()); },
            [&](const WavFormat& f) {
                if (!outputs.empty())
                    return;  // a second 'fmt ' chunk changes nothing already created
                if (f.channels > kMaxChannels) {
                    outputsFailed = true;
                    return;
                }
                outputs.reserve(f.channels);
                for (int c = 0; c < f.channels && !outputsFailed; ++c) {
                    outputs.emplace_back();
                    outputsFailed = !outputs.back().create(fileOf(c), 1, f.sampleRate, 16);
                }
            });
        if (outputsFailed)
            return finishAll(SeparationEnd::Failed);
        if (walk == WavError::Stopped)
            return finishAll(SeparationEnd::Stopped);
        if (walk == WavError::NoData)
            return finishAll(SeparationEnd::NoData);
        if (walk != WavError::None || outputs.empty())
            return finishAll(SeparationEnd::Failed);

        const WavFormat& f = reader.format();
        if (f.channels != outputs.size())
            return finishAll(SeparationEnd::Failed);
        const SampleDecoder decoder(f);
        const uint64_t blockBytes = static_cast<uint64_t>(f.sampleRate) * f.blockAlign;
        // The buffers are taken once a whole block is known to be there.
        std::vector<uint8_t> block;
        std::vector<int16_t> mono;
        while (reader.remainingBytes() >= blockBytes) {
            if (keepGoing && !keepGoing())
                return finishAll(SeparationEnd::Stopped);
            block.resize(static_cast<size_t>(blockBytes));
            mono.resize(f.sampleRate);
            if (!reader.read(block.data(), block.size()))
                return finishAll(SeparationEnd::Failed);
            for (unsigned c = 0; c < f.channels; ++c) {
                decoder.decode16(block.data(), f.sampleRate, c, mono.data());
                if (!outputs[c].write(mono.data(), mono.size() * sizeof(int16_t)))
                    return finishAll(SeparationEnd::Failed);
            }
            ++result.blocks;
        }
    } catch (const std::bad_alloc&) {
        return finishAll(SeparationEnd::Failed);
    }
    return finishAll(result.blocks > 0 ? SeparationEnd::Done : SeparationEnd::NoData);
}

}  // namespace murtesk::analysis
