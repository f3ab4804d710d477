#include "wav_mono.h"

#include "wave_library.h"

#include "platform/binary_file.h"
#include "platform/numbers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

namespace murtesk {

static_assert(std::endian::native == std::endian::little, "samples are handed on as the file stores them");

namespace {

constexpr std::int32_t kMinOpenSamples16 = 22050;

std::uint32_t Le32(const unsigned char* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Whole samples of `bytes` bytes each that the chunk holds, at most 2^31 - 1; -1 above that.
std::int64_t WholeSamples(const WaveDataChunk& chunk, std::uint32_t bytes) {
    const std::uint64_t n = chunk.bytes / bytes;
    return n > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) ? -1 : static_cast<std::int64_t>(n);
}

}  // namespace

std::int32_t SampleOfMs(std::int32_t ms, double rate, std::int32_t count) {
    const double sample = platform::RoundHalfToEven(static_cast<double>(ms) * rate / 1000.0);
    return static_cast<std::int32_t>(std::clamp(sample, 1.0, std::max(1.0, static_cast<double>(count))));
}

bool FindWaveData(const std::string& path, WaveDataChunk& chunk) {
    ReaderFile file;
    struct stat st {};
    if (!file.Open(path) || ::stat(path.c_str(), &st) != 0) {
        return false;
    }
    const auto size = static_cast<std::uint64_t>(st.st_size);
    unsigned char head[12];
    if (file.ReadAt(head, 12, 0) != 12 || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) {
        return false;
    }
    chunk = WaveDataChunk{};
    for (std::uint64_t at = 12; at + 8 <= size;) {
        unsigned char h[16];
        if (file.ReadAt(h, 8, at) != 8) {
            return false;
        }
        const std::uint64_t length = Le32(h + 4);
        const std::uint64_t body = at + 8;
        if (std::memcmp(h, "data", 4) == 0) {
            chunk.offset = body;
            chunk.bytes = std::min(length, size - body);
            return true;
        }
        if (std::memcmp(h, "fmt ", 4) == 0 && length >= 14 && file.ReadAt(h, 14, body) == 14) {
            chunk.blockAlign = static_cast<std::uint16_t>(h[12] | h[13] << 8);
        }
        at = body + length + (length & 1);
    }
    return false;
}

bool ReaderFile::Open(const std::string& path) {
    Close();
    fd_ = platform::OpenRegularFile(path);
    return fd_ >= 0;
}

void ReaderFile::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::size_t ReaderFile::ReadAt(void* destination, std::size_t size, std::uint64_t offset) const {
    std::size_t done = 0;
    while (fd_ >= 0 && done < size) {
        const ssize_t n =
            ::pread(fd_, static_cast<char*>(destination) + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

// ---- CWavMono

void CWavMono::Refuse(const char* text, const char* title, const std::string& path) {
    ui_.MsgBox(std::string(text) + "\r\n" + path, platform::MsgButtons::OK, platform::MsgIcon::Information, title);
}

bool CWavMono::InitInfo(const std::string& iWaveFilePath) {
    file_.Close();
    path_.clear();
    count_ = 0;
    if (iWaveFilePath.empty()) {
        return false;
    }
    constexpr const char* kCorrect = "入力訂正情報";
    if (!IsFile(iWaveFilePath)) {
        Refuse("Waveファイルが存在しません。", "エラー", iWaveFilePath);
        return false;
    }
    WaveProbe probe;
    if (g_WaveLibrary().CALReadOfWAV(iWaveFilePath, probe) == 0) {
        Refuse("Waveファイルを読めません。", kCorrect, iWaveFilePath);
        return false;
    }
    if (probe.channels != 1) {
        Refuse("モノラルWaveファイルでありません。", kCorrect, iWaveFilePath);
        return false;
    }
    if (probe.format != 1) {
        Refuse("PCM形式でありません。", kCorrect, iWaveFilePath);
        return false;
    }
    const bool bits = probe.bits == 8 || probe.bits == 16 || probe.bits == 24 || probe.bits == 32 || probe.bits == 64;
    WaveDataChunk chunk;
    const bool found = FindWaveData(iWaveFilePath, chunk);
    // A sample in a wider container than its bits (24 in 4 bytes) is not laid out as this reader reads.
    if (!bits || (found && chunk.blockAlign != 0 && chunk.blockAlign != probe.bits / 8)) {
        Refuse("量子化ビット数が不正です。", kCorrect, iWaveFilePath);
        return false;
    }
    const std::int64_t count = found ? WholeSamples(chunk, static_cast<std::uint32_t>(probe.bits / 8)) : -1;
    if (count < 0) {
        Refuse("Waveファイルを読めません。", kCorrect, iWaveFilePath);
        return false;
    }
    path_ = iWaveFilePath;
    channels_ = probe.channels;
    rate_ = probe.rate;
    bits_ = probe.bits;
    count_ = static_cast<std::int32_t>(count);
    dataOffset_ = chunk.offset;
    return true;
}

double CWavMono::getMaxV() const { return std::ldexp(1.0, getBit() - 1) - 1.0; }
double CWavMono::getMinV() const { return -std::ldexp(1.0, getBit() - 1); }

std::vector<std::uint8_t> CWavMono::getData() const {
    ReaderFile own;
    const std::size_t bytes = static_cast<std::size_t>(getDataNum()) * static_cast<std::size_t>(getByteOneSample());
    if (bytes == 0 || !own.Open(path_)) {
        return std::vector<std::uint8_t>(1);
    }
    std::vector<std::uint8_t> data(bytes);
    if (own.ReadAt(data.data(), bytes, dataOffset_) != bytes) {
        return std::vector<std::uint8_t>(1);
    }
    return data;
}

bool CWavMono::openWaveFile() { return !path_.empty() && file_.Open(path_); }

bool CWavMono::closeWaveFile() {
    file_.Close();
    return true;
}

std::vector<std::uint8_t> CWavMono::getWaveDataArea(std::int32_t iStartNum, std::int32_t& ioNum) {
    const std::int64_t available = std::int64_t{count_} - iStartNum + 1;
    const std::int64_t n = std::min<std::int64_t>(ioNum, available);
    ioNum = 0;
    if (path_.empty() || iStartNum < 1 || n < 1 || !file_.IsOpen()) {
        return std::vector<std::uint8_t>(1);
    }
    const auto width = static_cast<std::size_t>(getByteOneSample());
    std::vector<std::uint8_t> data(static_cast<std::size_t>(n) * width);
    const std::size_t read =
        file_.ReadAt(data.data(), data.size(), dataOffset_ + static_cast<std::uint64_t>(iStartNum - 1) * width);
    // A file cut short since it was checked delivers the whole samples it still holds.
    const std::size_t whole = read / width;
    if (whole == 0) {
        return std::vector<std::uint8_t>(1);
    }
    data.resize(whole * width);
    ioNum = static_cast<std::int32_t>(whole);
    return data;
}

// ---- CWavMono16Bit44_1kHz

std::int32_t CWavMono16Bit44_1kHz::getDataNum() const {
    WaveDataChunk chunk;
    if (!FindWaveData(WaveFilePath, chunk)) {
        return 0;
    }
    const std::int64_t n = WholeSamples(chunk, 2);
    return n < 0 ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(n);
}

std::vector<std::int16_t> CWavMono16Bit44_1kHz::getData() const {
    WaveDataChunk chunk;
    ReaderFile own;
    const std::int32_t count = getDataNum();
    if (count < kMinOpenSamples16 || !FindWaveData(WaveFilePath, chunk) || !own.Open(WaveFilePath)) {
        return std::vector<std::int16_t>(1);
    }
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    const std::size_t bytes = samples.size() * 2;
    if (own.ReadAt(samples.data(), bytes, chunk.offset) != bytes) {
        return std::vector<std::int16_t>(1);
    }
    return samples;
}

bool CWavMono16Bit44_1kHz::openWaveFile() {
    WaveDataChunk chunk;
    openCount_ = getDataNum();
    if (openCount_ < kMinOpenSamples16 || !FindWaveData(WaveFilePath, chunk) || !file_.Open(WaveFilePath)) {
        closeWaveFile();
        return false;
    }
    openOffset_ = chunk.offset;
    return true;
}

bool CWavMono16Bit44_1kHz::closeWaveFile() {
    file_.Close();
    openCount_ = 0;
    return true;
}

std::vector<std::int16_t> CWavMono16Bit44_1kHz::getWaveDataArea(std::int32_t iStartNum, std::int32_t& ioNum) {
    const std::int64_t n = std::min<std::int64_t>(ioNum, std::int64_t{openCount_} - iStartNum + 1);
    ioNum = 0;
    if (iStartNum < 1 || n < 1 || !file_.IsOpen()) {
        return std::vector<std::int16_t>(1);
    }
    std::vector<std::int16_t> samples(static_cast<std::size_t>(n));
    const std::size_t read =
        file_.ReadAt(samples.data(), samples.size() * 2, openOffset_ + static_cast<std::uint64_t>(iStartNum - 1) * 2);
    if (read / 2 == 0) {
        return std::vector<std::int16_t>(1);
    }
    samples.resize(read / 2);
    ioNum = static_cast<std::int32_t>(read / 2);
    return samples;
}

}  // namespace murtesk
