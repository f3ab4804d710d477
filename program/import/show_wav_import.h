// The WAV import dialog over the program's open document: what the main screen's import command
// shows (the program puts it in g_ShowWavImport).
#pragma once

#include "ui_services.h"

namespace murtesk::import {

// Shows the dialog modally, keeping it in g_frmWavFileReadAD while it is shown, and leaves its
// result in g_bDialogOk.
void ShowWavImport(platform::UiServices& ui);

}  // namespace murtesk::import
