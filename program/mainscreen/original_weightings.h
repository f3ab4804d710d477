// The user correction characteristics: CSV files "オリジナル特性1.csv", "オリジナル特性2.csv", ...
// in the program folder (CP932, CR LF, fields split at ","), read at start-up into g_OriginalWs
// until the first missing or bad file.
//   line 1: long name, short name; line 2: not read; line 3: 45 one-third-octave corrections in dB
//   from 0.8 Hz up to 20 kHz; line 4 (may be missing): 45 maxima in dB; later lines: not read.
#pragma once

#include "model/original_w.h"
#include "ui_services.h"

#include <string>

namespace murtesk {

// Appends the characteristics of the files to list, from number 1 until a file is missing or bad.
void LoadOriginalWeightings(platform::UiServices& ui, COriginalWs& list);
// Reads one file into w; false when it is not taken (a message says why, except for a file of
// fewer than three lines).
bool ReadOriginalWeightingFile(platform::UiServices& ui, const std::string& path, COriginalW& w);

}  // namespace murtesk
