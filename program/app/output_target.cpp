#include "output_target.h"

#include "globals.h"

#include "model/project_parts.h"
#include "model/shared_procedures.h"

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

std::string OutputRefusal(const std::string& chosen, const MadeNames& made) {
    std::vector<std::string> names{chosen};
    if (made) {
        std::vector<std::string> formed = made(chosen);
        names.insert(names.end(), formed.begin(), formed.end());
    }
    for (const std::string& name : names) {
        if (const std::string refusal = OutputRefusal(name); !refusal.empty()) {
            return GetFileName(name) + "\r\n" + refusal;
        }
    }
    return {};
}

void RefuseProjectFiles(platform::FileDialogRequest& request, MadeNames made) {
    request.Refusal = [made = std::move(made)](const std::string& chosen) { return OutputRefusal(chosen, made); };
}

}  // namespace murtesk
