// The project document: the project's settings (default measuring condition, default analysis
// conditions of the two input channels, start mode, correction tables, calibration limits, two
// measurement templates, a comment) and its measurements. It persists in the project file the
// user chooses and in "Temp.tmp" in the program folder, with one format: a header with the
// writing program's version, then the document's records.
//
// Reading never leaves a half-read document: a file is read into a fresh document, which is
// adopted only when the whole file has read. The version from the file's header stays in the file
// version context even when the read fails later, as every following header-less read relies on it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/ch_measure_condition.h"
#include "model/measure.h"
#include "model/measure_condition.h"
#include "model/octave_band.h"
#include "model/record_stream.h"
#include "model/start_mode.h"
#include "model/stats_context.h"

namespace murtesk {

// The header of a project file.
inline constexpr char kProjectHeader[] = "Murtesk";
inline constexpr char kProjectFormat[] = "v1.0.0";
// The writing program's version that a project file records. The fields' version gates read it, so it is
// part of the stored format and stays as it is when the program's own version (kAppMajor …) moves on.
inline constexpr FileVersion kProgramVersion{7, 1, 0};
// The comment of a measurement of an old project whose channel comment matched none of its lines.
inline constexpr char kNoComment[] = "-----";

class CPreserve {
public:
    // A document with its defaults; the project file path is the first project proposed, "DefaultQVD.qvd"
    // (platform::DefaultProjectPath).
    explicit CPreserve(StatsContext& context);

    std::string SaveFilePath;
    CMeasureCondition MeasureCondition;
    CStartMode StartMode;
    CMeasures Measures;
    COctaveBand1 MeasureRevise1;
    COctaveBand3 MeasureRevise3;
    std::int16_t CalMax = 16384;
    std::int16_t CalMin = 6000;
    CMeasure CSVMeasure;
    CMeasure WAVMeasure;
    std::string Account;

    // The default analysis conditions of input channels 1 (Index 0) and 2 (Index 1); any other
    // index throws std::out_of_range.
    CChMeasureCondition& ChMeasureCondition(int Index);
    const CChMeasureCondition& ChMeasureCondition(int Index) const;
    void ChMeasureCondition(int Index, const CChMeasureCondition& vNewValue);

    // Copies take every field except the correction tables (a MeMove target keeps its own).
    CPreserve MeCopy() const;
    void MeMove(CPreserve& cpyPreserve) const;
    // Compares every field except the correction tables and Account.
    bool IsMeEqualTo(const CPreserve& toPreserve) const;

    // The whole file layout at the current position. The correction tables stored in a file are
    // passed over: the document keeps its own.
    bool MeRead(BinaryFile& fileno);
    bool MeWrite(BinaryFile& fileno) const;

    // FileRead: false, leaving the document as it was, when the file is absent or does not read
    // whole. FileWrite replaces the file only when the whole document was written; a failure
    // leaves the old file as it was.
    bool FileRead(const std::string& path);
    bool FileWrite(const std::string& path) const;

    // The names of the histogram files of every statistics object of the document, in its LCalc folder.
    std::vector<std::string> HistogramFileNames() const;

    // CalMin <= CAL <= CalMax for the channel condition Index.
    bool IsCALInRange(int Index) const;

    // The project's folders beside the project file.
    std::string RecWavFolder() const;
    std::string LCalcFolder() const;
    std::string BandFolder(std::int16_t band_mode, std::int16_t slot) const;

    StatsContext& context() const { return *context_; }

private:
    bool readFields(BinaryFile& fileno);
    void adoptReadDocument(CPreserve&& read);
    void migrateOldComments();

    StatsContext* context_;
    std::array<CChMeasureCondition, 2> m_ChMeasureCondition;
};

}  // namespace murtesk
