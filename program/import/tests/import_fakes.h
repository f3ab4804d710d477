// Fakes for the import dialog's tests: a template measurement in memory, a scripted analysis
// library, and a scratch folder of files that exist.
#pragma once

#include "frmWavFileReadAD.h"
#include "wav_import_document.h"
#include "import_library.h"

#include "fake_ui.h"
#include "scratch_folder.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <string>
#include <vector>

namespace murtesk::import::testing {

// A measurement under construction whose level files are a map from folder and file name to values.
class FakeMeasure : public ImportMeasure {
public:
    struct Channel {
        CChMeasureCondition condition;
        std::string levelFile;
        int slotCount = 0;
        double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
        std::vector<int> statisticsSlots;  // in the order computed
    };
    std::vector<Channel> channels;
    double inHz = 48000.0;
    double start = 0.0;
    double end = 0.0;
    std::string account;
    std::map<std::string, std::vector<float>>* files = nullptr;  // shared with the document
    std::int64_t* defaultCount = nullptr;
    const std::set<std::string>* fullFolders = nullptr;  // where no statistics can be stored

    int ChannelCount() const override { return static_cast<int>(channels.size()); }
    CChMeasureCondition& ChannelCondition(int k) override { return channels.at(static_cast<std::size_t>(k) - 1).condition; }
    double InHz() const override { return inHz; }
    double StartTime() const override { return start; }
    void SetStartTime(double d) override { start = d; }
    void SetEndTime(double d) override { end = d; }
    void SetAccount(const std::string& text) override { account = text; }
    void PrepareChannel(int k, const std::string& name, int slotCount) override
    {
        Channel& c = channels.at(static_cast<std::size_t>(k) - 1);
        c.levelFile = name;
        c.slotCount = slotCount;
        c.statisticsSlots.clear();
    }
    std::string Key(int k, const std::string& folder) const
    {
        return folder + "/" + channels.at(static_cast<std::size_t>(k) - 1).levelFile;
    }
    std::int64_t LevelCount(int k, const std::string& folder) override
    {
        std::error_code error;
        const auto onDisk = std::filesystem::file_size(Key(k, folder), error);
        if (!error) {
            return static_cast<std::int64_t>(onDisk / 4);
        }
        auto it = files->find(Key(k, folder));
        return it == files->end() ? *defaultCount : static_cast<std::int64_t>(it->second.size());
    }
    bool ReadLevels(int k, const std::string& folder, std::vector<float>& values) override
    {
        auto it = files->find(Key(k, folder));
        if (it == files->end()) {
            values.assign(static_cast<std::size_t>(*defaultCount), 50.0f);
        } else {
            values = it->second;
        }
        return true;
    }
    bool WriteLevels(int k, const std::string& folder, const std::vector<float>& values) override
    {
        if (folder.find("readonly") != std::string::npos) return false;
        (*files)[Key(k, folder)] = values;
        return true;
    }
    void SetCalcXYAxis(int k, double x0, double x1, double y0, double y1) override
    {
        Channel& c = channels.at(static_cast<std::size_t>(k) - 1);
        c.xMin = x0;
        c.xMax = x1;
        c.yMin = y0;
        c.yMax = y1;
    }
    bool ComputeBandStatistics(int k, int slot, std::int64_t, const std::string& folder) override
    {
        if (fullFolders->count(folder) != 0) return false;
        channels.at(static_cast<std::size_t>(k) - 1).statisticsSlots.push_back(slot);
        return true;
    }
    void AddChannel(const CChMeasureCondition& condition) override
    {
        channels.push_back(Channel{});
        channels.back().condition = condition;
    }
};

class FakeDocument : public WavImportDocument {
public:
    std::vector<std::unique_ptr<FakeMeasure>> measures;
    CChMeasureCondition condition1;
    std::map<std::string, std::vector<float>> levelFiles;
    std::int64_t levelCount = 100;  // values of a level file the test did not write
    std::set<std::string> fullFolders;  // band folders whose statistics cannot be stored
    // User characteristic k: correction and ceiling of every band.
    std::vector<std::pair<double, double>> userCurves;
    std::string project = "/proj";

    std::unique_ptr<ImportMeasure> NewMeasureFromTemplate() override
    {
        auto m = std::make_unique<FakeMeasure>();
        m->inHz = inHz;
        for (const CChMeasureCondition& c : channels) {
            m->channels.push_back(FakeMeasure::Channel{});
            c.MeMove(m->channels.back().condition);
        }
        m->files = &levelFiles;
        m->defaultCount = &levelCount;
        m->fullFolders = &fullFolders;
        return m;
    }
    void AddMeasure(std::unique_ptr<ImportMeasure> m) override
    {
        measures.emplace_back(static_cast<FakeMeasure*>(m.release()));
    }
    CChMeasureCondition ChannelCondition1() const override { return condition1; }
    double MeasureRevise(int oct1or3, int index) const override { return oct1or3 * 100 + index; }
    bool UserCorrection(int number, int, int, double& revise, double& ceiling) const override
    {
        if (number < 1 || number > static_cast<int>(userCurves.size())) return false;
        revise = userCurves[static_cast<std::size_t>(number) - 1].first;
        ceiling = userCurves[static_cast<std::size_t>(number) - 1].second;
        return true;
    }
    std::string BandFolder(int oct1or3, int slot) const override
    {
        if (slot == 1) return FlatBandFolder();
        if (slot == 2) return project + "/W";
        return project + "/" + (oct1or3 == 3 ? "t" : "o") + std::to_string(slot);
    }
    std::string FlatBandFolder() const override { return project + "/F"; }
    std::string RecWavFolder() const override { return project + "/RecWav"; }

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
    // Every call after CALReadOfWAV, as text: "pre 9 48000", "cond 0 w3 m1", "path 0 0 /proj/F/x.lvl",
    // "start file", "stop", "split ...".
    std::vector<std::string> calls;
    std::vector<std::vector<double>> preOffsets;
    std::vector<std::vector<double>> corrections;  // of every analysed channel's condition
    std::int32_t preResult = 1, condResult = 1, pathResult = 1, startResult = 1, splitResult = 1;
    std::int16_t lastStatus = 0;
    std::int32_t secondsDone = 0;

    std::int32_t ReadPreOfWAV(std::int32_t channels, double rate, std::int32_t block, const double* offsets) override
    {
        calls.push_back("pre " + std::to_string(channels) + " " + std::to_string(block));
        preOffsets.emplace_back(offsets, offsets + channels);
        (void)rate;
        return preResult;
    }
    std::int32_t SetCalcConditionOfWAV(std::int32_t c, MurteskWindow* window, std::int32_t w, std::int32_t mode,
                                       double, double, const double* values, double, double, double low,
                                       double high) override
    {
        calls.push_back("cond " + std::to_string(c) + " w" + std::to_string(w) + " m" + std::to_string(mode) +
                        (window != nullptr ? "" : " nowindow") + (low > 0 ? " bands" : ""));
        (void)high;
        if (mode == 1 || mode == 3) corrections.emplace_back(values, values + (mode == 1 ? 15 : 45));
        return mode == -1 ? 1 : condResult;
    }
    std::int32_t SetFileOutPathOfWAV(std::int32_t c, std::int32_t output, const std::string& path) override
    {
        calls.push_back("path " + std::to_string(c) + " " + std::to_string(output) + " " + path);
        return pathResult;
    }
    std::int32_t ReadStartOfWAV(const std::string& path) override
    {
        calls.push_back("start " + path);
        return startResult;
    }
    std::int32_t DoStopOfWAV() override
    {
        calls.push_back("stop");
        return 1;
    }
    std::int16_t GethStatusOfWAV() override { return lastStatus; }
    std::int32_t GetFileOutOrderOfWAV(std::int32_t) override { return secondsDone; }
    std::int32_t StartSeparateChWaveFile(MurteskWindow*, const std::string& source, const std::string& name,
                                         const std::string& folder) override
    {
        calls.push_back("split " + source + " " + name + " " + folder);
        return splitResult;
    }
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& c : calls) {
            if (c.rfind(prefix, 0) == 0) out.push_back(c);
        }
        return out;
    }
};

// A fresh folder for one test, removed afterwards; Touch makes an empty file in it.
class ScratchFolder : public test_support::ScratchFolder {
public:
    ScratchFolder() : test_support::ScratchFolder("import") {}
    std::string Path(const std::string& name) const { return file(name); }
    std::string Touch(const std::string& name) const
    {
        std::ofstream(path() / name) << "x";
        return Path(name);
    }
    std::string Folder() const { return path().string(); }
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
