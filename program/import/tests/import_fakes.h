// Fakes for the import dialog's tests: a template measurement in memory, a scripted analysis
// library, and a scratch folder of files that exist.
#pragma once

#include "frmWavFileReadAD.h"
#include "wav_import_document.h"
#include "wav_library.h"

#include "fake_ui.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace murtesk::import::testing {

class FakeDocument : public WavImportDocument {
public:
    std::string targets;
    std::string calibration;
    double inHz = 0.0;
    std::vector<CChMeasureCondition> channels;
    std::vector<std::string> userNames;

    std::string TargetPaths() const override { return targets; }
    std::string CalibrationPath() const override { return calibration; }
    void SetPaths(const std::string& t, const std::string& c) override
    {
        targets = t;
        calibration = c;
    }
    void SetInHz(double hz) override { inHz = hz; }
    int ChannelCount() const override { return static_cast<int>(channels.size()); }
    void SetChannelCount(int count) override { channels.resize(static_cast<std::size_t>(count)); }
    CChMeasureCondition& ChannelCondition(int channel) override { return channels.at(static_cast<std::size_t>(channel) - 1); }
    std::vector<std::string> UserCharacteristicNames() const override { return userNames; }
    std::string BandName(int oct1or3, int slot) const override
    {
        return (oct1or3 == 3 ? "t" : "o") + std::to_string(slot);
    }
};

// Answers CALReadOfWAV from a table of paths and remembers which paths were read.
class FakeLibrary : public WavLibrary {
public:
    struct File {
        std::int32_t result = 1;
        WavProbe probe;
    };
    std::map<std::string, File> files;
    std::vector<std::string> calReads;

    // A readable file of this format whose channels all swing between +amplitude and -amplitude.
    File& Add(const std::string& path, int channels, int rate = 48000, int bits = 16, int format = 1,
              double amplitude = 16000.0)
    {
        File& f = files[path];
        f.probe.channels = channels;
        f.probe.rate = rate;
        f.probe.bits = bits;
        f.probe.format = format;
        f.probe.frames = static_cast<std::uint32_t>(rate) * 10;
        for (int c = 0; c < channels; ++c) {
            f.probe.maxima[c] = amplitude;
            f.probe.minima[c] = -amplitude;
        }
        return f;
    }

    std::int32_t CALReadOfWAV(const std::string& path, WavProbe& probe) override
    {
        calReads.push_back(path);
        auto it = files.find(path);
        if (it == files.end()) {
            return 0;
        }
        probe = it->second.probe;
        return it->second.result;
    }
    std::int32_t ReadPreOfWAV(std::int32_t, double, std::int32_t, const double*) override { return 1; }
    std::int32_t SetCalcConditionOfWAV(std::int32_t, MurteskWindow*, std::int32_t, std::int32_t, double, double,
                                       const double*, double, double, double, double) override
    {
        return 1;
    }
    std::int32_t SetFileOutPathOfWAV(std::int32_t, std::int32_t, const std::string&) override { return 1; }
    std::int32_t ReadStartOfWAV(const std::string&) override { return 1; }
    std::int32_t DoStopOfWAV() override { return 1; }
    std::int16_t GethStatusOfWAV() override { return 0; }
    std::int32_t GetFileOutOrderOfWAV(std::int32_t) override { return 0; }
    std::int32_t StartSeparateChWaveFile(MurteskWindow*, const std::string&, const std::string&,
                                         const std::string&) override
    {
        return 1;
    }
};

// A fresh folder for one test, removed afterwards; Touch makes an empty file in it.
class ScratchFolder {
public:
    ScratchFolder()
    {
        static int serial = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("murtesk_import_" + std::to_string(::getpid()) + "_" + std::to_string(serial++));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    std::string Touch(const std::string& name) const
    {
        std::ofstream(path_ / name) << "x";
        return Path(name);
    }
    std::string Folder() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// The dialog loaded on fake services over a fake document and library.
struct DialogFixture {
    platform::testing::FakeUi ui;
    FakeDocument document;
    FakeLibrary library;
    ScratchFolder folder;
    std::unique_ptr<frmWavFileReadAD> form;

    frmWavFileReadAD& Open()
    {
        form = std::make_unique<frmWavFileReadAD>(ui, document, library);
        ui.Load(*form);
        return *form;
    }
    std::vector<std::string> Entries() const { return form->lstWaveFile.Items; }
    std::vector<int> SelectedEntries() const
    {
        std::vector<int> selected;
        for (int i = 0; i < form->lstWaveFile.ListCount(); ++i) {
            if (form->lstWaveFile.IsSelected(i)) selected.push_back(i);
        }
        return selected;
    }
};

}  // namespace murtesk::import::testing
