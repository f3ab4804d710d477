// What start-up, shutdown and the project file commands need of the project document: its
// file, its path and memo, its measurement list as the main screen lists it, the calibration of
// the two channel conditions.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace murtesk {

// A measurement taken out of the list whose files are still on disk.
class RemovedMeasure {
public:
    virtual ~RemovedMeasure() = default;
    // Deletes the measurement's files in the folders beside the project file projectPath.
    virtual void DeleteFiles(const std::string& projectPath) = 0;
};

// The measurement list as it stood: the same measurement objects in the same order.
class MeasureListCopy {
public:
    virtual ~MeasureListCopy() = default;
};

class ProjectDocument {
public:
    virtual ~ProjectDocument() = default;

    // Reads a project file (or "Temp.tmp") into this document; on failure the document is as it was.
    virtual bool FileRead(const std::string& path) = 0;
    // Writes the document; a failure leaves any old file of that path as it was.
    virtual bool FileWrite(const std::string& path) = 0;

    // The project file SaveFilePath() was just read into this document or written from it: it is
    // the open project from now on, and the files it names beside it stay as they are until the
    // next SaveProject (a crash in between finds the project whole as it was saved).
    virtual void BeginProject() {}
    // This program holds the lock of the open project (opened or created to be saved): it keeps the
    // project's leftover record from now on ("<project file>.pending", model/leftover_record.h) and
    // deletes what earlier runs left listed there that the project file does not name.
    virtual void HoldProject() {}
    // The same for a project opened without saving, which another program holds: the statistics its
    // file names are taken now into a folder of this program's own, where they stay while it is open,
    // and nothing is written or deleted beside the project file. False when no folder of its own could
    // hold them: they are then read where they lie, where the holder's saves may delete them.
    virtual bool BeginProjectWithoutSaving() { return true; }
    // Writes the open project to SaveFilePath(), with the files beside it that it names.
    virtual bool SaveProject() { return FileWrite(SaveFilePath()); }
    // The open project is closed with nothing more saved: what was written for it since its last
    // save, which its project file does not name, goes.
    virtual void EndProject() {}

    virtual std::string SaveFilePath() const = 0;
    virtual void SetSaveFilePath(const std::string& path) = 0;
    // The project memo (the document's MeasureCondition.Account).
    virtual std::string Memo() const = 0;
    virtual void SetMemo(const std::string& memo) = 0;

    virtual std::int32_t MeasureCount() const = 0;
    virtual void AllDeleteMeasures() = 0;
    // The list's texts of measurement index (1-based): file name, start date and time, channel 1 comment.
    virtual std::vector<std::string> MeasureListTexts(std::int32_t index) const = 0;
    // The other measurements (1-based, ascending) that start in the same second as measurement
    // index: they share its video and the video's vehicle and speed side files, named after the start.
    virtual std::vector<std::int32_t> MeasuresOfSameStart(std::int32_t index) const = 0;
    // The document's MeasureCondition becomes a copy of the last measurement's, the memo kept.
    virtual void AdoptLastMeasureCondition() = 0;
    // The same with measurement index (1-based).
    virtual void AdoptMeasureCondition(std::int32_t index) = 0;
    // Takes measurement index out of the list; its files stay until the caller deletes them.
    virtual std::unique_ptr<RemovedMeasure> TakeMeasure(std::int32_t index) = 0;
    // Exchanges measurements a and b (1-based); the objects move, nothing is copied.
    virtual void SwapMeasures(std::int32_t a, std::int32_t b) = 0;
    // The list as it stands, and the list put back as it stood (a change that could not be saved).
    virtual std::unique_ptr<MeasureListCopy> CopyMeasureList() const = 0;
    virtual void RestoreMeasureList(const MeasureListCopy& copy) = 0;
    // Sets the end of measurement index from the number of values in channel 1's flat level file
    // (when it holds more than 4) and channel 1's level output rate; otherwise leaves it.
    virtual void UpdateEndTimeFromLevels(std::int32_t index) = 0;

    // CAL, then CALPattern, of ChMeasureCondition(index), index 0 or 1.
    virtual void SetChannelCalibration(int index, double cal, std::int16_t calPattern) = 0;
    // ChMeasureCondition 0 and 1 become deep copies of those of another document.
    virtual void AdoptChannelConditions(const ProjectDocument& from) = 0;
};

// Measurement index as the main screen's list shows it: "No.2 rec1.wav 2024/03/05 09:07:03" (the
// number, the file name and the start).
std::string MeasureListName(const ProjectDocument& document, std::int32_t index);

// Makes a document with its defaults (the project path "DefaultQVD.qvd", platform::DefaultProjectPath).
using DocumentFactory = std::function<std::unique_ptr<ProjectDocument>()>;

}  // namespace murtesk
