// The long jobs over all measurements: the codes, the main screen's operation behind each, and
// how each reports its end.
//
// A job is an operation of the main screen that returns how it ended; the long-job window runs
// it for the code in g_JobNo and reports from that outcome. A new job plugs in by its operation
// alone: its row below names it.
#pragma once

#include <cstdint>

namespace murtesk {

class frmMeasure;

// Reported: the job has told the user why it did nothing; its end adds no message.
enum class JobOutcome { Done, Cancelled, Failed, Reported };

// How a job's end is told to the user.
enum class JobEnd {
    Message,          // the job's own text when done
    CombinedMeasure,  // the information box of the combined calculation
    TextFile,         // the text-output result
};

struct LongJob {
    std::int16_t code;
    // The main screen's operation; null while the job is not in the program (the window then
    // closes without a word, as for a code with no job).
    JobOutcome (frmMeasure::*run)();
    JobEnd end;
    const char* doneMessage;  // JobEnd::Message only
    // The job reads level files: once it is done, the user is told of those that are missing.
    bool readsLevels = false;
    // The job writes the stored statistics: once it is done, the user is told of those whose
    // histogram files are missing.
    bool readsStatistics = false;
};

// The job of a code; null for a code with none (2, 6 and anything outside 1..12).
const LongJob* FindLongJob(std::int16_t code);

}  // namespace murtesk
