#include "output_target.h"

#include "globals.h"

#include "model/project_parts.h"

namespace murtesk {

namespace {

constexpr const char* kOtherName = "\r\n別のファイル名を指定して下さい．";
constexpr const char* kOtherFolder = "\r\n別のフォルダを指定して下さい．";

}  // namespace

std::string OutputRefusal(const std::string& target) {
    if (!g_Preserve) return {};  // no document: no project is open
    switch (ProjectPartAt(g_Preserve->SaveFilePath(), target)) {
    case ProjectPart::kNone: return {};
    case ProjectPart::kProjectFile:
        return std::string("開いているプロジェクトファイルには出力できません．") + kOtherName;
    case ProjectPart::kLockFile:
        return std::string("開いているプロジェクトのロックファイルには出力できません．") + kOtherName;
    case ProjectPart::kLeftoverRecord:
        return std::string("開いているプロジェクトの控えファイル（.pending）には出力できません．") + kOtherName;
    case ProjectPart::kStatisticsFolder:
        return std::string("開いているプロジェクトのＬ値計算データ保存フォルダには出力できません．") + kOtherFolder;
    case ProjectPart::kLevelFolder:
        return std::string("開いているプロジェクトのレベル波形データ保存フォルダには出力できません．") + kOtherFolder;
    case ProjectPart::kRecordingFolder:
        return std::string("開いているプロジェクトの録音データ保存フォルダには出力できません．") + kOtherFolder;
    }
    return {};
}

void RefuseProjectFiles(platform::FileDialogRequest& request) { request.Refusal = OutputRefusal; }

}  // namespace murtesk
