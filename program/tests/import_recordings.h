// Recordings made by the samples tool, imported through the built analysis library into the
// program's document as the import dialog's run does, for the tests of the screens together.
#pragma once

#include "analysis_binding.h"
#include "frmWavFileReadAD.h"
#include "preserve_import.h"
#include "recordings.h"
#include "status_window.h"

#include "fake_ui.h"
#include "globals.h"
#include "message_window.h"
#include "preserve_document.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace murtesk::testing {

class PumpedWindow : public import::StatusWindow {
public:
    explicit PumpedWindow(import::StatusHandler onStatus) : window(import::StatusMessageHandler(std::move(onStatus))) {}
    MurteskWindow* Handle() override { return window.Handle(); }
    platform::MessageWindow window;
};

inline std::vector<float> ReadFloats(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<float> values(bytes.size() / 4);
    std::memcpy(values.data(), bytes.data(), values.size() * 4);
    return values;
}

// Writes a calibration file and the recordings (2 channels, `seconds` each, seeds 1, 2 ...) into
// `folder` and imports them into the open document; the import's messages go to `ui`. With splitWave
// ("全出力") every recording is also split into one WAV file per channel.
inline void ImportRecordings(platform::testing::FakeUi& ui, const std::string& folder,
                             const std::vector<double>& seconds, bool splitWave = false) {
    samples::CalibrationOptions cal;
    cal.channels = 2;
    cal.seconds = 2.0;
    const std::string calPath = folder + "/cal.wav";
    ASSERT_TRUE(samples::writeCalibration(calPath, cal));
    std::vector<std::string> recordings;
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        samples::RecordingOptions rec;
        rec.channels = 2;
        rec.seconds = seconds[i];
        rec.seed = i + 1;
        recordings.push_back(folder + "/rec" + std::to_string(i + 1) + ".wav");
        ASSERT_TRUE(samples::writeRecording(recordings.back(), rec));
    }
    import::PreserveImportDocument document{static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve(), g_OriginalWs};
    AnalysisLibrary library;
    PumpedWindow* pumped = nullptr;
    import::SetStatusWindowFactory([&pumped](import::StatusHandler onStatus) {
        auto w = std::make_unique<PumpedWindow>(std::move(onStatus));
    pumped = w.get();
    return w;
});
import::frmWavFileReadAD form(ui, document, library);
ui.Load(form);
form.txtCSVPathName.Text = calPath;
form.chkWaveOut.Value = splitWave;
for (const std::string& r : recordings) {
    form.lstWaveFile.AddItem(r);
}
form.cmdNext_Click();
ASSERT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
form.cmdStart_Click();
ASSERT_NE(pumped, nullptr);
const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
while (ui.IsLoaded(form) && std::chrono::steady_clock::now() < deadline) {
    pumped->window.WaitAndDeliver(std::chrono::milliseconds(50));
}
import::SetStatusWindowFactory({});
ASSERT_FALSE(ui.IsLoaded(form)) << "the run did not end";
ui.ClearTranscript();
}  // namespace murtesk::testing

}  // namespace murtesk::testing
