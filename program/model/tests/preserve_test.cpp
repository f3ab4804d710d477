// The project document and its file: header bytes, whole-document round trips, the passed-over
// correction tables, old files with their migrations, "CMeasure.tmp" under the version of the last
// project file read, safe saving, and robustness against truncated and damaged files.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <stdexcept>

#include "model/preserve.h"
#include "old_layouts.h"
#include "platform/binary_file.h"
#include "platform/dates.h"
#include "record_bytes.h"
#include "stats_fixture.h"

namespace murtesk {
namespace {

using testing::Bytes;
using testing::WrittenBytes;

class ProjectDocument : public testing::ScratchProject {
protected:
    platform::ScopedClock clock_{testing::kFixedNow};
    ScopedFileVersion version_{{0, 0, 0}};  // puts the version context back after each test

    // A measurement with an octave and a one-third-octave channel, ranges and statistics.
    void AddMeasure(CPreserve& doc, int n, bool bothModes) const {
        CMeasure& m = doc.Measures.AddNew();
        m.StartTime = testing::kFixedNow + n;
        m.EndTime = m.StartTime + 0.5;
        m.MeasureCondition.MeasTimeMin = static_cast<std::int16_t>(10 + n);
        m.MeasureCondition.Account = "測定" + std::to_string(n);
        for (std::int16_t mode : {std::int16_t{1}, std::int16_t{3}}) {
            if (mode == 3 && !bothModes) break;
            CChMeasure& ch = m.ChMeasures.AddNew();
            ch.ChMeasureCondition.oct1or3 = mode;
            ch.ChMeasureCondition.Account = "チャンネル\r\n2行目";
            ch.LevelData.SaveFileName = "m" + std::to_string(n) + "ch" + std::to_string(mode) + ".lvl";
            CWaveFile wave;
            wave.SaveFileName = "w" + std::to_string(n) + ".wav";
            ch.RecWaveFiles.Add(wave);
            ch.HorizontalLine.OkFlg = 1;
            for (int k = 1; k <= (mode == 1 ? 17 : 47); ++k) {
                CBandLCalcInfo& band = ch.BandLCalcInfos.AddNew();
                if (k > 3) continue;
                band.Scopes = testing::MakeScopes({{1, 10 * k}});
                band.MarkScopes = testing::MakeScopes({{5, 6}, {100, 200 + k}});
                band.OverLevel = 70.0 + k;
                band.AllLCalc.Lmax = 88.5 + k;
                band.AllLCalc.LmaxPos = 33 * k;
                band.LCalc.m_Cnt = k;
            }
        }
    }

    CPreserve Sample(int measures, bool bothModes) {
        CPreserve doc(context_);
        doc.SaveFilePath = ProjectFile();
        doc.MeasureCondition.Account = "メモ";
        doc.ChMeasureCondition(0).w = 4;
        doc.ChMeasureCondition(1).oct1or3 = 3;
        doc.ChMeasureCondition(1).LevelXYAxis.Lx = 90;
        doc.StartMode.DatePoints.addData(testing::kFixedNow);
        for (int n = 0; n < measures; ++n) AddMeasure(doc, n, bothModes);
        doc.CalMax = 20000;
        doc.WAVMeasure.MeasureCondition.Account = "テンプレート";
        doc.Account = "プロジェクト";
        return doc;
    }

    std::string Bytes(const CPreserve& doc) const { return WrittenBytes(doc); }
};

TEST_F(ProjectDocument, HeaderBytesAndDefaults) {
    CPreserve doc(context_);
    const std::string bytes = Bytes(doc);
    EXPECT_EQ(bytes.substr(0, 31), testing::Bytes()
                                       .text(7, "Murtesk")
                                       .text(6, "v1.0.0")
                                       .i16(7)
                                       .i16(1)
                                       .i16(0)
                                       .magic()
                                       .str());
    EXPECT_EQ(doc.CSVMeasure.MeasureCondition.InHz, 48000.0);
    EXPECT_EQ(doc.WAVMeasure.MeasureCondition.InHz, 48000.0);
    EXPECT_EQ(doc.Measures.count(), 0);
    EXPECT_EQ(std::filesystem::path(doc.SaveFilePath).filename(), "DefaultQVD.qvd");
    EXPECT_TRUE(doc.ChMeasureCondition(0).IsMeEqualTo(CChMeasureCondition{}));
    EXPECT_THROW(doc.ChMeasureCondition(2), std::out_of_range);
    EXPECT_THROW(doc.ChMeasureCondition(-1), std::out_of_range);

    doc.ChMeasureCondition(0).CAL = 6000.0;
    doc.ChMeasureCondition(1).CAL = 16384.0;
    EXPECT_TRUE(doc.IsCALInRange(0));
    EXPECT_TRUE(doc.IsCALInRange(1));
    doc.ChMeasureCondition(0).CAL = 5999.5;
    doc.ChMeasureCondition(1).CAL = 16384.5;
    EXPECT_FALSE(doc.IsCALInRange(0));
    EXPECT_FALSE(doc.IsCALInRange(1));
}

TEST_F(ProjectDocument, WholeDocumentRoundTripsThroughItsFile) {
    const CPreserve doc = Sample(3, true);
    ASSERT_TRUE(doc.FileWrite(ProjectFile()));
    CPreserve read(context_);
    ASSERT_TRUE(read.FileRead(ProjectFile()));
    EXPECT_TRUE(read.IsMeEqualTo(doc));
    EXPECT_EQ(read.Account, "プロジェクト");
    EXPECT_EQ(read.Measures.Item(2).ChMeasures.Item(2).BandLCalcInfos.count(), 47);
    EXPECT_EQ(read.Measures.Item(3).MeasureCondition.Account, "測定2");
    EXPECT_EQ(Bytes(read), ReadBytes(ProjectFile()));
    EXPECT_EQ(CurrentFileVersion().Major, 7);

    // A difference deep in the tree is seen.
    read.Measures.Item(3).ChMeasures.Item(1).BandLCalcInfos.Item(2).MarkScopes.Delete(1);
    EXPECT_FALSE(read.IsMeEqualTo(doc));
}

TEST_F(ProjectDocument, CorrectionTablesAreStoredButPassedOver) {
    CPreserve doc = Sample(1, false);
    doc.MeasureRevise1.SetA();
    doc.MeasureRevise3.SetC();
    ASSERT_TRUE(doc.FileWrite(ProjectFile()));
    const std::string bytes = ReadBytes(ProjectFile());
    EXPECT_NE(bytes.find(WrittenBytes(doc.MeasureRevise1)), std::string::npos);

    CPreserve read(context_);
    read.MeasureRevise1.SetdBInit(3.0);
    ASSERT_TRUE(read.FileRead(ProjectFile()));
    EXPECT_EQ(read.MeasureRevise1.dB1kHz(), 3.0);
    EXPECT_EQ(read.MeasureRevise3.dB1kHz(), 0.0);
    EXPECT_TRUE(read.IsMeEqualTo(doc));  // tables and Account are not compared
    read.Account = "other";
    EXPECT_TRUE(read.IsMeEqualTo(doc));

    // Copies leave the tables behind too.
    CPreserve target(context_);
    target.MeasureRevise3.SetdBInit(-4.0);
    doc.MeMove(target);
    EXPECT_EQ(target.MeasureRevise3.dB1kHz(), -4.0);
    EXPECT_EQ(target.Account, doc.Account);
    EXPECT_TRUE(target.IsMeEqualTo(doc));
    EXPECT_EQ(doc.MeCopy().MeasureRevise1.dB1kHz(), 0.0);
    // A copied document keeps its channels' comments.
    EXPECT_EQ(target.Measures.Item(1).ChMeasures.Item(1).ChMeasureCondition.Account, "チャンネル\r\n2行目");
}

// A project file as an older version wrote it: its header version, the channel conditions and
// channels in their old layouts, and no W entries in the correction tables before 1.6.1.
std::string OldProject(const CPreserve& doc, FileVersion v) {
    ScopedFileVersion current({7, 1, 0});
    testing::Bytes b;
    b.text(7, "Murtesk").text(6, "v1.0.0").i16(v.Major).i16(v.Minor).i16(v.Revision).magic();
    b.text(static_cast<std::int32_t>(doc.SaveFilePath.size()), doc.SaveFilePath);
    b.append(WrittenBytes(doc.MeasureCondition));
    b.append(testing::OldConditionBytes(doc.ChMeasureCondition(0), v));
    b.append(testing::OldConditionBytes(doc.ChMeasureCondition(1), v));
    b.append(WrittenBytes(doc.StartMode));
    b.magic().i32(doc.Measures.count());
    for (const auto& m : doc.Measures) b.append(testing::OldMeasureBytes(*m, v));
    b.append(testing::OldBandSetBytes(doc.MeasureRevise1, v)).append(testing::OldBandSetBytes(doc.MeasureRevise3, v));
    b.i16(doc.CalMax).i16(doc.CalMin);
    b.append(testing::OldMeasureBytes(doc.CSVMeasure, v)).append(testing::OldMeasureBytes(doc.WAVMeasure, v));
    b.text(static_cast<std::int32_t>(doc.Account.size()), doc.Account);
    return b;
}

class OldProjects : public ProjectDocument, public ::testing::WithParamInterface<FileVersion> {};

TEST_P(OldProjects, MeasurementCommentsMigrateBefore200) {
    const FileVersion v = GetParam();
    const bool migrates = v.Major < 2;
    CPreserve doc(context_);
    doc.SaveFilePath = ProjectFile();
    doc.Account = "old";
    const std::string comments[] = {std::string("A\0B\0C", 5), std::string("A\0B\0C", 5), "B", "B"};
    const std::string channelComments[] = {"B\r\nx", "Z", "B"};
    for (int i = 0; i < 4; ++i) {
        CMeasure& m = doc.Measures.AddNew();
        m.MeasureCondition.Account = comments[i];
        if (i == 3) break;  // the last measurement has no channel
        CChMeasure& ch = m.ChMeasures.AddNew();
        ch.ChMeasureCondition.Account = channelComments[i];
        ch.LevelData.SaveFileName = "old" + std::to_string(i) + ".lvl";
        for (int k = 0; k < 17; ++k) ch.BandLCalcInfos.AddNew();
    }
    const std::string file = OldProject(doc, v);
    WriteBytes(dir_.string(), "old.qvd", file);

    CPreserve read(context_);
    ASSERT_TRUE(read.FileRead((dir_ / "old.qvd").string()));
    EXPECT_EQ(read.Account, "old");
    ASSERT_EQ(read.Measures.count(), 4);
    const std::string expected[] = {"B", "-----", "B", "-----"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(read.Measures.Item(i + 1).MeasureCondition.Account, migrates ? expected[i] : comments[i]) << i;
    }
    EXPECT_EQ(read.ChMeasureCondition(0).StartHz, 0.8);
    EXPECT_EQ(read.ChMeasureCondition(0).LevelOutHz, 10.0);
    EXPECT_EQ(read.Measures.Item(1).ChMeasures.Item(1).HzYAxis.YAxisMin, 30.0);
    EXPECT_EQ(CurrentFileVersion().Minor, v.Minor);

    // "CMeasure.tmp" has no header: it is read under the version of the project file read last.
    const std::string tmp = (dir_ / "CMeasure.tmp").string();
    WriteBytes(dir_.string(), "CMeasure.tmp", testing::OldMeasureBytes(doc.Measures.Item(1), v));
    CMeasure recovered(context_);
    ASSERT_TRUE(recovered.FileRead(tmp));
    EXPECT_EQ(recovered.ChMeasures.Item(1).LevelData.SaveFileName, "old0.lvl");
    EXPECT_EQ(recovered.ChMeasures.Item(1).BandLCalcInfos.count(), 17);
}

INSTANTIATE_TEST_SUITE_P(Versions, OldProjects,
                         ::testing::Values(FileVersion{1, 5, 0}, FileVersion{1, 9, 9}, FileVersion{2, 0, 0},
                                           FileVersion{4, 9, 9}),
                         [](const ::testing::TestParamInfo<FileVersion>& info) {
                             return "v" + std::to_string(info.param.Major) + "_" + std::to_string(info.param.Minor) +
                                    "_" + std::to_string(info.param.Revision);
                         });

TEST_F(ProjectDocument, AFailedReadLeavesTheDocumentButSetsTheVersion) {
    CPreserve doc = Sample(1, false);
    const std::string before = Bytes(doc);
    // A project file of 2.5.0 whose records are damaged after the header.
    testing::Bytes broken;
    broken.text(7, "Murtesk").text(6, "v1.0.0").i16(2).i16(5).i16(0).i32(12345);
    WriteBytes(dir_.string(), "broken.qvd", broken);
    EXPECT_FALSE(doc.FileRead((dir_ / "broken.qvd").string()));
    EXPECT_EQ(Bytes(doc), before);
    EXPECT_EQ(CurrentFileVersion().Major, 2);
    EXPECT_EQ(CurrentFileVersion().Minor, 5);

    // So a following "CMeasure.tmp" in the layout of 2.5.0 reads.
    const std::string tmp = (dir_ / "CMeasure.tmp").string();
    WriteBytes(dir_.string(), "CMeasure.tmp", testing::OldMeasureBytes(doc.Measures.Item(1), {2, 5, 0}));
    CMeasure recovered(context_);
    ASSERT_TRUE(recovered.FileRead(tmp));
    EXPECT_EQ(recovered.ChMeasures.Item(1).ChMeasureCondition.StartHz, 0.8);

    // Another program's file, or none at all: false, nothing changes, not even the version.
    WriteBytes(dir_.string(), "other.qvd", testing::Bytes().text(7, "Murtesx").i16(9).i16(9).i16(9));
    EXPECT_FALSE(doc.FileRead((dir_ / "other.qvd").string()));
    EXPECT_FALSE(doc.FileRead((dir_ / "missing.qvd").string()));
    EXPECT_EQ(CurrentFileVersion().Major, 2);
    EXPECT_EQ(Bytes(doc), before);
    CMeasure untouched(context_);
    EXPECT_FALSE(untouched.FileRead((dir_ / "missing.tmp").string()));
}

TEST_F(ProjectDocument, AFailedSaveLeavesTheOldFile) {
    const CPreserve doc = Sample(2, true);
    ASSERT_TRUE(doc.FileWrite(ProjectFile()));
    const std::string saved = ReadBytes(ProjectFile());
    CPreserve changed = Sample(3, true);
    platform::SetWriteLimitForTests(1000);
    const bool written = changed.FileWrite(ProjectFile());
    platform::SetWriteLimitForTests(-1);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(ProjectFile()), saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()),
              2);  // the project file and the band folder of the fixture, no temporary file left

    // The same for a measurement in a file of its own.
    const std::string tmp = (dir_ / "CMeasure.tmp").string();
    ASSERT_TRUE(doc.Measures.Item(1).FileWrite(tmp));
    const std::string measure = ReadBytes(tmp);
    platform::SetWriteLimitForTests(100);
    EXPECT_FALSE(doc.Measures.Item(2).FileWrite(tmp));
    platform::SetWriteLimitForTests(-1);
    EXPECT_EQ(ReadBytes(tmp), measure);
}

// Every truncation of a small project file fails and leaves the document as it was.
TEST_F(ProjectDocument, TruncatedFilesFailAndChangeNothing) {
    const std::string file = Bytes(Sample(1, false));
    CPreserve doc = Sample(2, false);
    const std::string before = Bytes(doc);
    for (std::size_t n = 0; n < file.size(); ++n) {
        BinaryFile f = BinaryFile::FromBytes(file.substr(0, n));
        ASSERT_FALSE(doc.MeRead(f)) << n;
    }
    EXPECT_EQ(Bytes(doc), before);
}

// A damaged file either fails, leaving the document as it was, or reads into a document that
// writes and reads back equal.
TEST_F(ProjectDocument, DamagedFilesNeverHalfRead) {
    const std::string file = Bytes(Sample(1, false));
    CPreserve doc = Sample(2, false);
    const std::string before = Bytes(doc);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::size_t> position(0, file.size() * 8 - 1);
    int succeeded = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        std::string damaged = file;
        const std::size_t bit = position(random);
        damaged[bit / 8] = static_cast<char>(damaged[bit / 8] ^ (1 << (bit % 8)));
        BinaryFile f = BinaryFile::FromBytes(damaged);
        if (!doc.MeRead(f)) {
            ASSERT_EQ(Bytes(doc), before) << "bit " << bit;
            continue;
        }
        ++succeeded;
        const std::string again = Bytes(doc);
        CPreserve reread(context_);
        BinaryFile g = BinaryFile::FromBytes(again);
        ASSERT_TRUE(reread.MeRead(g)) << "bit " << bit;
        ASSERT_EQ(Bytes(reread), again) << "bit " << bit;
        // Back to the starting document for the next trial.
        BinaryFile h = BinaryFile::FromBytes(before);
        ASSERT_TRUE(doc.MeRead(h));
    }
    EXPECT_GT(succeeded, 0);
}

}  // namespace
}  // namespace murtesk
