// Range files on the calculation screen: the mapping of a file's ranges onto a measurement (start
// offset, step ratio, dropping and clipping), a saved file's bytes against bytes laid out here, the
// round trip, files that are no range files, and a save that fails part-way.
#include "file_save_dialog.h"
#include "range_files.h"
#include "calc_fixture.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace murtesk::testing {
namespace {

using RangeList = std::vector<std::pair<std::int64_t, std::int64_t>>;

RangeList Ranges(const CScopes& list) {
    RangeList out;
    for (const auto& r : list) {
        out.emplace_back(*ScopePosition(r->S), *ScopePosition(r->E));
    }
    return out;
}

CScopes Make(const std::vector<std::pair<double, double>>& ranges) {
    CScopes list;
    for (const auto& [s, e] : ranges) {
        if (s == std::floor(s) && std::abs(s) < 2e9 && std::abs(e) < 2e9) {
            list.SimpleAdd(
                std::make_shared<CScope>(Variant(static_cast<std::int32_t>(s)), Variant(static_cast<std::int32_t>(e))));
        } else {
            list.SimpleAdd(std::make_shared<CScope>(Variant(s), Variant(e)));
        }
    }
    return list;
}

struct MapCase {
    const char* name;
    std::vector<std::pair<double, double>> file;
    double startOffsetSec;  // file start minus measurement start
    double filePeriod;
    double rate;
    std::int32_t n;
    std::optional<RangeList> want;
};

TEST(MapFileRanges, OffsetScaleDropAndClip) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<MapCase> cases = {
        {"same measurement", {{3, 7}, {20, 30}}, 0, 0.1, 10, 600, RangeList{{3, 7}, {20, 30}}},
        {"10 s later at 10/s", {{3, 7}}, 10, 0.1, 10, 600, RangeList{{103, 107}}},
        {"10 s earlier at 10/s", {{103, 107}}, -10, 0.1, 10, 600, RangeList{{3, 7}}},
        // A range keeps its time: 5..6 at 10/s is 0.4 s to 0.6 s, 41..60 at 100/s.
        {"0.1 s step at 100/s", {{5, 6}}, 0, 0.1, 100, 600, RangeList{{41, 60}}},
        {"0.1 s step at 20/s", {{5, 7}}, 0, 0.1, 20, 600, RangeList{{9, 14}}},
        {"0.1 s step at 20/s, 10 s later", {{5, 7}}, 10, 0.1, 20, 600, RangeList{{209, 214}}},
        // 1.5 and 2.5 steps in go to 2, the ends 3.5 and 4.5 to 4.
        {"halves to even", {{4, 7}, {6, 9}}, 0, 0.5, 1, 600, RangeList{{3, 4}, {3, 4}}},
        // 4 ms to 5 ms lies in the first step of 10 ms.
        {"shorter than a step", {{5, 5}}, 0, 0.001, 100, 600, RangeList{{1, 1}}},
        {"dropped and clipped",
         {{-20, -1}, {-5, 4}, {590, 700}, {601, 900}},
         0,
         0.1,
         10,
         600,
         RangeList{{1, 4}, {590, 600}}},
        {"beyond 32 bits: clipped or dropped",
         {{1, 5000}, {3000, 9000}},
         0,
         1000,
         1000,
         2'000'000,
         RangeList{{1, 2'000'000}}},
        {"zero step", {{1, 2}}, 0, 0, 10, 600, std::nullopt},
        {"negative step", {{1, 2}}, 0, -0.1, 10, 600, std::nullopt},
        {"an end that is no number", {{1, nan}}, 0, 0.1, 10, 600, std::nullopt},
    };
    for (const MapCase& c : cases) {
        const auto got = MapFileRanges(Make(c.file), platform::AddSeconds(kMeasureStart, c.startOffsetSec),
                                       c.filePeriod, kMeasureStart, c.rate, c.n);
        ASSERT_EQ(got.has_value(), c.want.has_value()) << c.name;
        if (got) {
            EXPECT_EQ(Ranges(*got), *c.want) << c.name;
        }
    }
}

// The screen's one dialog proposes the last name of the file's own kind (the filter's extension),
// never a file of another kind: for a kind not chosen yet, no name, in the last file's folder.
TEST(ScreenFileDialog, ProposesTheLastNameOfItsOwnKind) {
    platform::testing::FakeUi ui;
    FileSaveDialog dialog(ui);
    const std::string mrk = "MarkAreaﾌｧｲﾙ (*.mrk)|*.mrk";
    const std::string text = "テキストファイル(*.csv;*.txt)|*.csv;*.txt";
    const std::string csv = "ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv";
    const std::string wav = "Waveﾌｧｲﾙ (*.wav)|*.wav";
    struct Step {
        const std::string& filter;
        bool save;
        std::optional<std::string> chosen;  // nothing: Cancel
        std::string proposed;
        std::string folder;
    };
    const Step steps[] = {
        {mrk, true, "/w/a.mrk", "", ""},
        {text, true, "/w/out/b.csv", "", "/w"},  // not the mark file
        {csv, true, std::nullopt, "/w/out/b.csv", ""},
        {mrk, false, "/w/a.mrk", "/w/a.mrk", ""},
        {wav, true, "/w/c.wav", "", "/w"},
        {text, true, std::nullopt, "/w/out/b.csv", ""},
    };
    for (const Step& step : steps) {
        dialog.Filter = step.filter;
        ui.ChooseNext(step.chosen);
        EXPECT_EQ(step.save ? dialog.ShowSave() : dialog.ShowOpen(), step.chosen);
        const platform::FileDialogRequest& request = ui.Dialogs().back().Request;
        EXPECT_EQ(request.FileName, step.proposed) << step.filter;
        EXPECT_EQ(request.InitialDir, step.folder) << step.filter;
    }
    EXPECT_EQ(FileSaveDialog::KindOf("動画ﾌｧｲﾙ (*.*)|*.*"), "");
    EXPECT_EQ(FileSaveDialog::KindOf("Aviﾌｧｲﾙ (*.AVI)|*.AVI"), "avi");
}

class RangeFiles : public CalcScreenTest {
protected:
    RangeFiles() {
        ChannelSpec spec;
        spec.values = 600;
        AddMeasure(60, {spec});
        Show(1);
        ChooseBand(2);
        ui.ClearTranscript();
    }
    static CBandLCalcInfo& Band(std::int16_t slot) { return Channel(1, 1).BandLCalcInfos.Item(slot); }
    std::string File(const char* name) const { return (folder / name).string(); }
    static void Put(std::string& out, const void* p, std::size_t n) { out.append(static_cast<const char*>(p), n); }
    void Save(const std::string& path) {
        calc.WriteRangeFile(Band(2).Scopes, path, "計算除外範囲保存処理が失敗しました．",
                            "計算除外範囲を保存しました．");
    }
};

TEST_F(RangeFiles, SavedBytesHoldTheStartTheStepAndEachRange) {
    Band(2).Scopes = Make({{3, 5}, {8, 9}});
    Save(File("a.dla"));
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"計算除外範囲を保存しました．"});

    std::string want;
    const double start = kMeasureStart;
    const double step = 0.1;  // 1 / 10 values per second
    const std::int32_t magic = 19660126;
    const std::int32_t count = 2;
    const std::int16_t longTag = 3;
    Put(want, &start, 8);
    Put(want, &step, 8);
    Put(want, &magic, 4);
    Put(want, &count, 4);
    for (const std::int32_t end : {3, 5, 8, 9}) {
        if (end == 3 || end == 8) {
            Put(want, &magic, 4);
        }
        Put(want, &longTag, 2);
        Put(want, &end, 4);
    }
    EXPECT_EQ(Bytes(File("a.dla")), want);
}

TEST_F(RangeFiles, ReadingBackOnTheSameBandChangesNothingAndAllBandsTakeTheList) {
    Band(2).Scopes = Make({{3, 5}, {8, 9}});
    Save(File("a.dla"));
    Band(1).Scopes = Make({{100, 200}});
    ASSERT_TRUE(calc.ReadDeleteAreaFrom(File("a.dla")));
    EXPECT_EQ(Ranges(Band(2).Scopes), (RangeList{{3, 5}, {8, 9}}));
    calc.setDeleteAreaToBands();  // "全バンド共通": every band takes a copy of the shown band's list
    EXPECT_EQ(Ranges(Band(1).Scopes), (RangeList{{3, 5}, {8, 9}}));
    EXPECT_EQ(Ranges(Band(47).Scopes), (RangeList{{3, 5}, {8, 9}}));
    // Band 1's target is everything but 3..5 and 8..9 of p/10 dB: its maximum is the last value.
    EXPECT_FLOAT_EQ(static_cast<float>(Band(1).LCalc.getLmax()), 60.0f);
}

TEST_F(RangeFiles, MarksFromAFileOfAMeasurementTenSecondsLaterMoveByOneHundred) {
    CScopes marks = Make({{3, 7}});
    ASSERT_TRUE(marks.FileWrite(File("b.mrk"), platform::AddSeconds(kMeasureStart, 10.0), 0.1));
    calc.optAreaBand.Select(1);
    ASSERT_TRUE(calc.ReadMarkAreaFrom(File("b.mrk")));
    EXPECT_EQ(Ranges(Band(2).MarkScopes), (RangeList{{103, 107}}));
    EXPECT_TRUE(Band(1).MarkScopes.count() == 0);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(RangeFiles, NoRangeFileOrABadStepIsRefusedAndNothingChanges) {
    Band(2).Scopes = Make({{3, 5}});
    { std::ofstream(File("text.dla")) << "no range file at all"; }
    CScopes one = Make({{1, 2}});
    ASSERT_TRUE(one.FileWrite(File("zero.dla"), kMeasureStart, 0.0));
    ASSERT_TRUE(one.FileWrite(File("whole.dla"), kMeasureStart, 0.1));
    const std::string whole = Bytes(File("whole.dla"));
    { std::ofstream(File("cut.dla"), std::ios::binary) << whole.substr(0, whole.size() - 3); }
    for (const char* name : {"text.dla", "zero.dla", "cut.dla", "missing.dla"}) {
        ui.ClearTranscript();
        EXPECT_FALSE(calc.ReadDeleteAreaFrom(File(name))) << name;
        EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ファイルを開けませんでした．"}) << name;
        EXPECT_EQ(Ranges(Band(2).Scopes), (RangeList{{3, 5}})) << name;
        EXPECT_FALSE(ui.Busy());
    }
}

// Ranges the program never saves (reversed, or outside positions 1..2^31) mark a damaged file: it is refused as
// a whole, whichever list it is read into, and nothing changes. Each file is laid out byte by byte: a good range
// (1, 2), then the case's range, each end a 32-bit integer or an 8-byte float.
TEST_F(RangeFiles, RangesNoProgramSavesAreRefusedAndNothingChanges) {
    struct End {
        bool isDouble;
        double value;
    };
    struct Case {
        const char* name;
        End s, e;
        bool taken;
    };
    const std::vector<Case> cases = {
        {"reversed", {false, 5}, {false, 3}, false},
        {"starting at 0", {false, 0}, {false, 2}, false},
        {"negative", {false, -4}, {false, -1}, false},
        {"ending past 2^31", {false, 1}, {true, 2147483649.0}, false},
        {"starting past 2^31", {true, 2147483649.0}, {true, 2147483650.0}, false},
        {"no number", {true, std::nan("")}, {false, 3}, false},
        {"one position", {false, 7}, {false, 7}, true},
        {"ending at 2^31", {false, 590}, {true, 2147483648.0}, true},
    };
    const auto bytes = [&](const Case& c) {
        std::string out;
        const double start = kMeasureStart, step = 0.1;
        const std::int32_t magic = 19660126, count = 2, one = 1, two = 2;
        const std::int16_t longTag = 3, doubleTag = 5;
        Put(out, &start, 8);
        Put(out, &step, 8);
        Put(out, &magic, 4);
        Put(out, &count, 4);
        Put(out, &magic, 4);
        for (const std::int32_t end : {one, two}) {
            Put(out, &longTag, 2);
            Put(out, &end, 4);
        }
        Put(out, &magic, 4);
        for (const End& end : {c.s, c.e}) {
            if (end.isDouble) {
                Put(out, &doubleTag, 2);
                Put(out, &end.value, 8);
            } else {
                const auto value = static_cast<std::int32_t>(end.value);
                Put(out, &longTag, 2);
                Put(out, &value, 4);
            }
        }
        return out;
    };
    for (const Case& c : cases) {
        Band(2).Scopes = Make({{20, 30}});
        Band(2).MarkScopes = Make({{40, 50}});
        for (const char* name : {"damaged.dla", "damaged.mrk"}) {
            { std::ofstream(File(name), std::ios::binary) << bytes(c); }
            ui.ClearTranscript();
            const bool read = std::string(name).ends_with(".dla") ? calc.ReadDeleteAreaFrom(File(name))
                                                                  : calc.ReadMarkAreaFrom(File(name));
            EXPECT_EQ(read, c.taken) << c.name << " " << name;
            if (c.taken) {
                EXPECT_TRUE(ui.Messages().empty()) << c.name << " " << name;
            } else {
                EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ファイルを開けませんでした．"}) << c.name;
                EXPECT_EQ(Ranges(Band(2).Scopes), (RangeList{{20, 30}})) << c.name << " " << name;
                EXPECT_EQ(Ranges(Band(2).MarkScopes), (RangeList{{40, 50}})) << c.name << " " << name;
            }
        }
    }
}

TEST_F(RangeFiles, AFailedSaveKeepsTheOldFile) {
    { std::ofstream(File("old.dla")) << "the old file"; }
    Band(2).Scopes = Make({{3, 5}, {8, 9}});
    platform::SetWriteLimitForTests(20);
    Save(File("old.dla"));
    platform::SetWriteLimitForTests(-1);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"計算除外範囲保存処理が失敗しました．"});
    EXPECT_EQ(Bytes(File("old.dla")), "the old file");
}

// Former bug: "Save..." took the open project's file as its target and replaced the project by a
// range file. The project file under another name and a file in a level folder are refused in the
// dialog, which stays open for another name.
TEST_F(RangeFiles, TheOpenProjectsOwnFilesAreRefusedInTheDialog) {
    { std::ofstream(ProjectPath()) << "the project"; }
    fs::create_directory(folder / "elsewhere");
    fs::create_symlink(ProjectPath(), folder / "elsewhere" / "p.dla");
    Band(2).Scopes = Make({{3, 5}});
    ui.ChooseNext(File("elsewhere/p.dla"));
    ui.ChooseNext(File("F/r.dla"));
    ui.ChooseNext(File("r.dla"));
    calc.cmdDelSave_Click();
    EXPECT_EQ(ui.MessageTexts(),
              (std::vector<std::string>{
                  "p.dla\r\n開いているプロジェクトファイルには出力できません．\r\n別のファイル名を指定して下さい．",
                  "r.dla\r\n開いているプロジェクトのレベル波形データ保存フォルダには出力できません．\r\n別のフォルダを指定して下さい．",
                  "計算除外範囲を保存しました．"}));
    EXPECT_EQ(ui.Dialogs().size(), 1u);
    EXPECT_EQ(Bytes(ProjectPath()), "the project");
    EXPECT_FALSE(fs::exists(folder / "F" / "r.dla"));
    EXPECT_TRUE(fs::is_symlink(folder / "elsewhere" / "p.dla"));
    EXPECT_TRUE(fs::is_regular_file(folder / "r.dla"));
}

TEST_F(RangeFiles, CommandsAskThroughTheScreensFileDialog) {
    Band(2).Scopes = Make({{3, 5}});
    ui.ChooseNext(File("c.dla"));
    calc.cmdDelSave_Click();
    ui.ChooseNext(std::nullopt);  // Cancel: nothing read
    calc.cmdDelOpen_Click();
    ui.ChooseNext(File("c.dla"));
    calc.cmdDelOpen_Click();
    using platform::testing::DialogKind;
    ASSERT_EQ(ui.Dialogs().size(), 3u);
    EXPECT_EQ(ui.Dialogs()[0].Kind, DialogKind::Save);
    EXPECT_EQ(ui.Dialogs()[0].Request.Title, "出力するﾌｧｲﾙ名を指定して下さい．");
    EXPECT_EQ(ui.Dialogs()[0].Request.Filter, "DeleteAreaﾌｧｲﾙ (*.dla)|*.dla");
    EXPECT_TRUE(ui.Dialogs()[0].Request.OverwritePrompt);
    EXPECT_EQ(ui.Dialogs()[2].Kind, DialogKind::Open);
    EXPECT_EQ(ui.Dialogs()[2].Request.Title, "読み込むﾌｧｲﾙ名を指定して下さい．");
    EXPECT_TRUE(ui.Dialogs()[2].Request.FileMustExist);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"計算除外範囲を保存しました．"});
    EXPECT_EQ(Ranges(Band(1).Scopes), (RangeList{{3, 5}}));  // "全バンド共通": every band takes the list
}

}  // namespace
}  // namespace murtesk::testing
