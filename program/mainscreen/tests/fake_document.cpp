#include "fake_document.h"

#include "platform/atomic_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace murtesk::testing {

bool FakeDocument::FileRead(const std::string& file)
{
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line) || line != "FAKE-PROJECT") {
        return false;
    }
    FakeDocument read(path);
    std::size_t count = 0;
    if (!std::getline(in, read.path) || !std::getline(in, read.memo) || !std::getline(in, read.condition)) {
        return false;
    }
    for (Channel& c : read.channels) {
        if (!(in >> c.cal >> c.calPattern >> c.tag)) {
            return false;
        }
    }
    if (!(in >> count) || count > 1000) {
        return false;
    }
    std::getline(in, line);
    for (std::size_t i = 0; i < count; ++i) {
        Measure m;
        if (!std::getline(in, m.file) || !std::getline(in, m.start) || !std::getline(in, m.comment) ||
            !std::getline(in, m.condition)) {
            return false;
        }
        read.measures.push_back(m);
    }
    if (!std::getline(in, line) || line != "END") {
        return false;
    }
    path = read.path;
    memo = read.memo;
    condition = read.condition;
    measures = read.measures;
    channels[0] = read.channels[0];
    channels[1] = read.channels[1];
    return true;
}

bool FakeDocument::FileWrite(const std::string& file)
{
    ++writes;
    log.push_back("write " + file);
    std::ostringstream out;
    out << "FAKE-PROJECT\n" << path << "\n" << memo << "\n" << condition << "\n";
    for (const Channel& c : channels) {
        out << c.cal << " " << c.calPattern << " " << c.tag << "\n";
    }
    out << measures.size() << "\n";
    for (const Measure& m : measures) {
        out << m.file << "\n" << m.start << "\n" << m.comment << "\n" << m.condition << "\n";
    }
    out << "END\n";
    const std::string text = out.str();
    return platform::ReplaceFile(file, [&](platform::BinaryFile& f) { return f.Write(text.data(), text.size()); });
}

namespace {

class FakeRemoved final : public RemovedMeasure {
public:
    explicit FakeRemoved(std::string file) : file_(std::move(file)) {}
    void DeleteFiles(const std::string&) override { FakeDocument::log.push_back("delete " + file_); }

private:
    std::string file_;
};

}  // namespace

std::unique_ptr<RemovedMeasure> FakeDocument::TakeMeasure(std::int32_t index)
{
    const auto at = measures.begin() + (index - 1);
    auto removed = std::make_unique<FakeRemoved>(at->file);
    measures.erase(at);
    return removed;
}

void FakeDocument::SwapMeasures(std::int32_t a, std::int32_t b)
{
    std::swap(measures.at(static_cast<std::size_t>(a - 1)), measures.at(static_cast<std::size_t>(b - 1)));
}

namespace {

struct FakeListCopy final : MeasureListCopy {
    std::vector<FakeDocument::Measure> measures;
};

}  // namespace

std::unique_ptr<MeasureListCopy> FakeDocument::CopyMeasureList() const {
    auto copy = std::make_unique<FakeListCopy>();
    copy->measures = measures;
    return copy;
}

void FakeDocument::RestoreMeasureList(const MeasureListCopy& copy) {
    measures = static_cast<const FakeListCopy&>(copy).measures;
}

std::vector<std::string> FakeDocument::MeasureListTexts(std::int32_t index) const
{
    const Measure& m = measures.at(static_cast<std::size_t>(index - 1));
    return {m.file, m.start, m.comment};
}

// The start as the list shows it stands for the start's second.
std::vector<std::int32_t> FakeDocument::MeasuresOfSameStart(std::int32_t index) const
{
    const std::string& start = measures.at(static_cast<std::size_t>(index - 1)).start;
    std::vector<std::int32_t> same;
    for (std::size_t i = 0; i < measures.size(); ++i) {
        if (static_cast<std::int32_t>(i + 1) != index && measures[i].start == start) {
            same.push_back(static_cast<std::int32_t>(i + 1));
        }
    }
    return same;
}

void FakeDocument::SetChannelCalibration(int index, double cal, std::int16_t calPattern)
{
    channels[index].cal = cal;
    channels[index].calPattern = calPattern;
}

void FakeDocument::AdoptChannelConditions(const ProjectDocument& from)
{
    const auto& other = static_cast<const FakeDocument&>(from);
    channels[0] = other.channels[0];
    channels[1] = other.channels[1];
}

}  // namespace murtesk::testing
