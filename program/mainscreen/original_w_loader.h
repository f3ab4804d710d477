// The user correction characteristics: the files "オリジナル特性1.csv", "オリジナル特性2.csv", ... of the
// program folder, read at start-up into the program's list of characteristics.
//
// A file is CP932 text. Line 1: long name, short name. Line 2: not read. Line 3: the 45
// one-third-octave corrections in dB from 0.8 Hz up to 20 kHz. Line 4 (may be missing): the 45
// maximum levels in dB. Later lines are not read. Fields are split at "," by the Sarnik library.
// Values lie within ±200 dB (beyond is the line's value error); a line of more than 8 KiB makes the
// file unreadable ("I/Oエラー") and is not read to its end. Only a regular file is read.
#pragma once

#include "awk_like.h"
#include "model/original_w.h"
#include "ui_services.h"

#include <string>

namespace murtesk {

// Appends the characteristics of the files numbered 1, 2, ... to `list`, stopping at the first file
// that is missing or not taken (its message has been shown then). `search` reaches the library.
void LoadOriginalWeightings(platform::UiServices& ui, COriginalWs& list, RESearchFunction search);

// Reads one file into `w`: true when it was taken. A refused file shows the file's path followed
// by the reason (critical icon, the program's title), except a file of fewer than three lines,
// which is refused silently. `w` may be partly filled when the result is false.
bool ReadOriginalWeightingFile(platform::UiServices& ui, AwkLike& awk, const std::string& path, COriginalW& w);

}  // namespace murtesk
