#include "WaveOut.h"

#include "globals.h"

#include "platform/numbers.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>

namespace murtesk::playback {

std::unique_ptr<CWavMono> g_WaveOutReader;
std::int32_t g_WaveOutPos = 0;
std::int32_t g_WaveOutEnd = 0;
std::int32_t g_WaveOutCount = 0;
bool g_bWaveOutX2 = false;
std::int16_t g_WaveOutState = 0;
std::int16_t g_WaveOutTurn = 0;
bool g_bWaveOutError = false;
bool g_bWaveOutStop = false;
double g_WaveOutClock = 0.0;
std::unique_ptr<platform::WaveOutDevice> g_hWaveOut;
platform::WindowTarget::WindowProc g_WaveOutOldProc;

namespace {

using platform::WaveHeader;

// The buffers and their headers, and what the refills need of the file.
struct Buffers {
    std::vector<std::byte> data[2];
    WaveHeader header[2];
    std::int32_t rate = 0;
    std::int32_t bytes = 0;
};
Buffers g_buffers;

platform::WaveOut* g_system = nullptr;
std::function<double()> g_clock;

double ClockNow() {
    if (g_clock) {
        return g_clock();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Release() {
    for (int i = 0; i < 2; ++i) {
        g_buffers.data[i] = std::vector<std::byte>();
        g_buffers.header[i] = WaveHeader{};
    }
}

void Message(platform::UiServices& ui, const std::string& text) { ui.MsgBox(text); }

// Reads the run g_WaveOutCount samples from g_WaveOutPos into `run`, cut at the span's end.
void ReadRun(std::vector<std::uint8_t>& run) {
    run = g_WaveOutReader->getWaveDataArea(g_WaveOutPos, g_WaveOutCount);
    const std::int64_t last = std::int64_t{g_WaveOutPos} + g_WaveOutCount - 1;
    if (last > g_WaveOutEnd) {
        g_WaveOutCount = static_cast<std::int32_t>(std::int64_t{g_WaveOutEnd} - g_WaveOutPos + 1);
    }
}

// Fills buffer i with the run read last: every sample, or every second one at double speed.
void Fill(int i, const std::vector<std::uint8_t>& run) {
    const auto width = static_cast<std::size_t>(g_buffers.bytes);
    const auto count = static_cast<std::size_t>(std::max(0, g_WaveOutCount));
    std::byte* out = g_buffers.data[i].data();
    if (!g_bWaveOutX2) {
        std::memcpy(out, run.data(), count * width);
        return;
    }
    for (std::size_t k = 0; k < count; k += 2) {
        std::memcpy(out + k / 2 * width, run.data() + k * width, width);
    }
}

void SetLength(int i, std::int32_t count) {
    WaveHeader& h = g_buffers.header[i];
    h.dwBufferLength = RunBytes(count, g_buffers.bytes, g_bWaveOutX2);
    h.dwBytesRecorded = h.dwBufferLength;
}

std::string Code(const char* text, std::int32_t code) { return std::string(text) + std::to_string(code); }

}  // namespace

std::int32_t OneTenth(std::int32_t rate) { return static_cast<std::int32_t>(platform::RoundHalfToEven(rate / 10.0)); }

std::uint32_t RunBytes(std::int32_t count, std::int32_t bytes, bool x2) {
    const std::int64_t samples = x2 ? (std::int64_t{count} + 1) / 2 : count;
    return static_cast<std::uint32_t>(std::max<std::int64_t>(0, samples) * bytes);
}

void SetWaveOutSystem(platform::WaveOut* system) { g_system = system; }
void SetWaveOutClock(std::function<double()> clock) { g_clock = std::move(clock); }

bool StartWaveOut(platform::UiServices& ui, platform::WindowTarget& hWnd, const std::string& path,
                  std::int32_t startSample, std::int32_t endSample, bool x2) {
    // One playback at a time: a device still open from an earlier start is stopped first.
    if (g_hWaveOut) {
        StopWaveOut(hWnd);
    }
    g_WaveOutState = 0;
    g_bWaveOutX2 = x2;
    Release();

    g_WaveOutReader = std::make_unique<CWavMono>(ui);
    if (!g_WaveOutReader->InitInfo(path)) {
        return false;
    }
    if (!g_WaveOutReader->openWaveFile()) {
        Message(ui, "Waveファイルをオープン出来ませんでした.");
        return false;
    }
    const auto rate = static_cast<std::int32_t>(g_WaveOutReader->getSampHz());
    g_buffers.rate = rate;
    g_buffers.bytes = g_WaveOutReader->getByteOneSample();
    try {
        for (auto& d : g_buffers.data) {
            d.assign(static_cast<std::size_t>(rate) * static_cast<std::size_t>(g_buffers.bytes), std::byte{0});
        }
    } catch (const std::bad_alloc&) {
        Release();
        return false;
    }

    g_WaveOutPos = startSample;
    g_WaveOutEnd = endSample;
    g_WaveOutCount = rate;
    std::vector<std::uint8_t> run;
    ReadRun(run);
    if (g_WaveOutCount < OneTenth(rate)) {
        Message(ui, "0.1秒以下なので再生しません.");
        return false;
    }
    Fill(0, run);
    const std::int32_t firstCount = g_WaveOutCount;
    std::int32_t secondCount = 0;
    if (g_WaveOutCount != rate) {
        g_WaveOutState = 2;
    } else {
        g_WaveOutPos += g_WaveOutCount;
        ReadRun(run);
        if (g_WaveOutCount <= OneTenth(rate)) {
            g_WaveOutCount = rate;
            g_WaveOutState = 2;
        } else {
            Fill(1, run);
            secondCount = g_WaveOutCount;
            if (g_WaveOutCount != rate) {
                g_WaveOutState = 3;
            }
        }
    }

    platform::WaveFormat format;
    format.nSamplesPerSec = static_cast<std::uint32_t>(rate);
    format.nBlockAlign = static_cast<std::uint16_t>(g_buffers.bytes);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    format.wBitsPerSample = static_cast<std::uint16_t>(g_WaveOutReader->getBit());
    const std::int32_t device = g_WaveOutDevice == -2 ? platform::WAVE_MAPPER : g_WaveOutDevice;
    platform::WaveOut& system = g_system != nullptr ? *g_system : platform::SystemWaveOut();
    std::int32_t r = system.Open(g_hWaveOut, device, format, hWnd.Handle());
    if (r != platform::kWaveOutOk) {
        g_hWaveOut.reset();
        g_WaveOutReader->closeWaveFile();
        Message(ui, Code("デバイスオープン失敗！r=", r));
        return false;
    }

    const bool both = g_WaveOutState == 0 || g_WaveOutState == 3;
    for (int i = 0; i < 2; ++i) {
        g_buffers.header[i].lpData = g_buffers.data[i].data();
    }
    SetLength(0, g_WaveOutState == 2 ? firstCount : rate);
    r = g_hWaveOut->PrepareHeader(g_buffers.header[0]);
    if (r != platform::kWaveOutOk) {
        g_WaveOutReader->closeWaveFile();
        Message(ui, Code("再生バッファ1登録準備失敗！r=", r));
        return false;
    }
    if (both) {
        SetLength(1, g_WaveOutState == 3 ? secondCount : rate);
        r = g_hWaveOut->PrepareHeader(g_buffers.header[1]);
        if (r != platform::kWaveOutOk) {
            g_WaveOutReader->closeWaveFile();
            Message(ui, Code("再生バッファ2登録準備失敗！r=", r));
            return false;
        }
    }

    g_WaveOutOldProc = hWnd.SetWindowProc(&WaveOutWndProc);
    r = g_hWaveOut->Write(g_buffers.header[0]);
    if (r == platform::kWaveOutOk && both) {
        r = g_hWaveOut->Write(g_buffers.header[1]);
    }
    if (r != platform::kWaveOutOk) {
        StopWaveOut(hWnd);
        Message(ui, Code("再生開始失敗！r=", r));
        return false;
    }
    g_WaveOutTurn = -2;
    g_WaveOutClock = ClockNow();
    return true;
}

std::intptr_t WaveOutWndProc(platform::WindowTarget& hWnd, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    const auto passOn = [&] {
        return platform::WindowTarget::CallWindowProc(g_WaveOutOldProc, hWnd, message, wParam, lParam);
    };
    if (message != platform::MM_WOM_DONE || !g_hWaveOut || wParam != g_hWaveOut->Handle()) {
        return passOn();
    }
    const int i = g_WaveOutTurn == 1 ? 1 : 0;  // 0 and -2: buffer 1
    WaveHeader& header = g_buffers.header[i];
    if (g_hWaveOut->UnprepareHeader(header) != platform::kWaveOutOk) {
        g_bWaveOutError = true;
        return passOn();
    }
    if (g_WaveOutState == 0) {
        g_WaveOutPos += g_WaveOutCount;
        std::vector<std::uint8_t> run;
        ReadRun(run);
        if (g_WaveOutCount > OneTenth(g_buffers.rate)) {
            Fill(i, run);
            SetLength(i, g_WaveOutCount);
            if (g_WaveOutCount != g_buffers.rate) {
                g_WaveOutState = i == 0 ? 2 : 5;
            }
            if (g_hWaveOut->PrepareHeader(header) != platform::kWaveOutOk ||
                g_hWaveOut->Write(header) != platform::kWaveOutOk) {
                g_bWaveOutError = true;
                return passOn();
            }
        } else {
            g_WaveOutState = i == 0 ? 4 : 6;
        }
    } else if ((i == 0 && (g_WaveOutState == 2 || g_WaveOutState == 6)) ||
               (i == 1 && (g_WaveOutState == 3 || g_WaveOutState == 4 || g_WaveOutState == 5))) {
        g_WaveOutState = 1;
    }
    g_WaveOutTurn = i == 0 ? 1 : 0;

    const double now = ClockNow();
    const double limit = g_bWaveOutX2 ? 1.0 : 2.0;
    if (now - g_WaveOutClock > limit) {
        g_bWaveOutError = true;
    } else {
        g_WaveOutClock = now;
    }
    return passOn();
}

void StopWaveOut(platform::WindowTarget& hWnd) {
    if (g_hWaveOut) {
        g_hWaveOut->Reset();
        g_hWaveOut->UnprepareHeader(g_buffers.header[0]);
        g_hWaveOut->UnprepareHeader(g_buffers.header[1]);
        g_hWaveOut->Close();
        g_hWaveOut.reset();
    }
    Release();
    if (g_WaveOutOldProc) {
        hWnd.SetWindowProc(std::move(g_WaveOutOldProc));
        g_WaveOutOldProc = nullptr;
    }
    if (g_WaveOutReader) {
        g_WaveOutReader->closeWaveFile();
        g_WaveOutReader->InitInfo("");
    }
}

}  // namespace murtesk::playback
