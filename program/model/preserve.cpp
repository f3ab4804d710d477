#include "model/preserve.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "model/shared_procedures.h"
#include "platform/atomic_file.h"
#include "platform/program_folder.h"

namespace murtesk {

namespace {

constexpr double kTemplateInHz = 48000.0;

std::size_t checkedIndex(int Index) {
    if (Index != 0 && Index != 1) throw std::out_of_range("channel condition index must be 0 or 1");
    return static_cast<std::size_t>(Index);
}

}  // namespace

CPreserve::CPreserve(StatsContext& context)
    : SaveFilePath(platform::DefaultProjectPath()),
      Measures(context),
      CSVMeasure(context),
      WAVMeasure(context),
      context_(&context) {
    CSVMeasure.MeasureCondition.InHz = kTemplateInHz;
    WAVMeasure.MeasureCondition.InHz = kTemplateInHz;
}

CChMeasureCondition& CPreserve::ChMeasureCondition(int Index) { return m_ChMeasureCondition[checkedIndex(Index)]; }

const CChMeasureCondition& CPreserve::ChMeasureCondition(int Index) const {
    return m_ChMeasureCondition[checkedIndex(Index)];
}

void CPreserve::ChMeasureCondition(int Index, const CChMeasureCondition& vNewValue) {
    m_ChMeasureCondition[checkedIndex(Index)] = vNewValue;
}

CPreserve CPreserve::MeCopy() const {
    CPreserve copy(*context_);
    MeMove(copy);
    return copy;
}

void CPreserve::MeMove(CPreserve& x) const {
    if (&x == this) return;
    x.SaveFilePath = SaveFilePath;
    x.MeasureCondition = MeasureCondition.MeCopy();
    for (std::size_t i = 0; i < m_ChMeasureCondition.size(); ++i) {
        // A whole copy: the document's conditions keep their comments and axes.
        x.m_ChMeasureCondition[i] = m_ChMeasureCondition[i];
    }
    x.StartMode = StartMode.MeCopy();
    Measures.MeMove(x.Measures);
    x.CalMax = CalMax;
    x.CalMin = CalMin;
    x.CSVMeasure = CSVMeasure.MeCopy();
    x.WAVMeasure = WAVMeasure.MeCopy();
    x.Account = Account;
}

bool CPreserve::IsMeEqualTo(const CPreserve& o) const {
    return SaveFilePath == o.SaveFilePath && MeasureCondition.IsMeEqualTo(o.MeasureCondition) &&
           m_ChMeasureCondition[0].IsMeEqualTo(o.m_ChMeasureCondition[0]) &&
           m_ChMeasureCondition[1].IsMeEqualTo(o.m_ChMeasureCondition[1]) && StartMode.IsMeEqualTo(o.StartMode) &&
           Measures.IsMeEqualTo(o.Measures) && CalMax == o.CalMax && CalMin == o.CalMin &&
           CSVMeasure.IsMeEqualTo(o.CSVMeasure) && WAVMeasure.IsMeEqualTo(o.WAVMeasure);
}

bool CPreserve::MeWrite(BinaryFile& fileno) const {
    RecordWriter io(fileno);
    return io(kProjectHeader) && io(kProjectFormat) && io(kProgramVersion.Major) && io(kProgramVersion.Minor) &&
           io(kProgramVersion.Revision) && io.Magic() && io(SaveFilePath) && io(MeasureCondition) &&
           io(m_ChMeasureCondition[0]) && io(m_ChMeasureCondition[1]) && io(StartMode) && io(Measures) &&
           io(MeasureRevise1) && io(MeasureRevise3) && io(CalMax) && io(CalMin) && io(CSVMeasure) &&
           io(WAVMeasure) && io(Account);
}

bool CPreserve::MeRead(BinaryFile& fileno) {
    CPreserve read(*context_);
    if (!read.readFields(fileno)) return false;
    adoptReadDocument(std::move(read));
    return true;
}

bool CPreserve::readFields(BinaryFile& fileno) {
    RecordReader io(fileno);
    std::string header;
    if (!io(header) || header != kProjectHeader) return false;
    std::string format;
    if (!io(format)) return false;
    FileVersion version;
    if (!io(version.Major) || !io(version.Minor) || !io(version.Revision)) return false;
    SetFileVersion(version);

    if (!io.Magic() || !io(SaveFilePath) || !io(MeasureCondition) || !io(m_ChMeasureCondition[0]) ||
        !io(m_ChMeasureCondition[1]) || !io(StartMode) || !io(Measures)) {
        return false;
    }
    if (!FileVersionFrom({2, 0, 0})) migrateOldComments();
    // The stored correction tables are passed over; the document keeps its own.
    COctaveBand1 storedRevise1;
    COctaveBand3 storedRevise3;
    return io(storedRevise1) && io(storedRevise3) && io(CalMax) && io(CalMin) && io(CSVMeasure) &&
           io(WAVMeasure) && io(Account);
}

void CPreserve::adoptReadDocument(CPreserve&& read) {
    SaveFilePath = std::move(read.SaveFilePath);
    MeasureCondition = std::move(read.MeasureCondition);
    m_ChMeasureCondition = std::move(read.m_ChMeasureCondition);
    StartMode = std::move(read.StartMode);
    Measures = std::move(read.Measures);
    CalMax = read.CalMax;
    CalMin = read.CalMin;
    CSVMeasure = std::move(read.CSVMeasure);
    WAVMeasure = std::move(read.WAVMeasure);
    Account = std::move(read.Account);
}

// Before 2.0.0 a measurement's comment held several lines separated by NUL characters; the one
// that begins its first channel's comment is kept.
void CPreserve::migrateOldComments() {
    for (const auto& measure : Measures) {
        std::string comment = kNoComment;
        if (measure->ChMeasures.count() >= 1) {
            const std::vector<std::string> lines = SplitByNull(measure->MeasureCondition.Account);
            const std::vector<std::string> channel =
                SplitByCrLf(measure->ChMeasures.Item(1).ChMeasureCondition.Account);
            for (const std::string& line : lines) {
                if (line == channel.front()) {
                    comment = line;
                    break;
                }
            }
        }
        measure->MeasureCondition.Account = std::move(comment);
    }
}

bool CPreserve::FileRead(const std::string& path) {
    BinaryFile file;
    if (!file.OpenRead(path)) return false;
    return MeRead(file);
}

bool CPreserve::FileWrite(const std::string& path) const {
    return platform::ReplaceFile(path, [this](BinaryFile& file) { return MeWrite(file); });
}

std::vector<std::string> CPreserve::HistogramFileNames() const {
    std::vector<std::string> names;
    const auto add = [&names](const CMeasure& m) {
        for (const auto& channel : m.ChMeasures) {
            for (const auto& band : channel->BandLCalcInfos) {
                names.push_back(band->AllLCalc.LxData.SaveFileName);
                names.push_back(band->LCalc.LxData.SaveFileName);
            }
        }
    };
    for (const auto& m : Measures) add(*m);
    add(CSVMeasure);
    add(WAVMeasure);
    return names;
}

bool CPreserve::IsCALInRange(int Index) const {
    const double cal = ChMeasureCondition(Index).CAL;
    return CalMin <= cal && cal <= CalMax;
}

std::string CPreserve::RecWavFolder() const { return GetRecWavFolder(SaveFilePath); }
std::string CPreserve::LCalcFolder() const { return GetLCalcFolder(SaveFilePath); }
std::string CPreserve::BandFolder(std::int16_t band_mode, std::int16_t slot) const {
    return GetBandFolder(SaveFilePath, band_mode, slot);
}

}  // namespace murtesk
