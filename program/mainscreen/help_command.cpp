#include "help_command.h"

#include "platform/program_folder.h"

#include <filesystem>

namespace murtesk {

namespace {

constexpr const char* kReadMeNotOpened = "説明ファイルを開けませんでした.";

// xdg-open's exit codes.
constexpr int kXdgFileNotFound = 2;
constexpr int kXdgToolNotFound = 3;
constexpr int kXdgActionFailed = 4;

}  // namespace

std::int32_t ShellOpenFile(ProcessRunner& runner, const std::string& path)
{
    const ProcessOutcome outcome = runner.Run({"xdg-open", path});
    switch (outcome.kind) {
    case ProcessOutcome::Kind::NotStarted:
        return kShellNoAssociation;  // without xdg-open nothing opens documents
    case ProcessOutcome::Kind::StillRunning:
        return kShellOk;
    case ProcessOutcome::Kind::Signalled:
        return kShellUnknownFailure;
    case ProcessOutcome::Kind::Exited:
        break;
    }
    switch (outcome.exitCode) {
    case 0:
        return kShellOk;
    case kXdgFileNotFound:
        return kShellFileNotFound;
    case kXdgToolNotFound:
    case kXdgActionFailed:
        return kShellNoAssociation;
    default:
        return kShellUnknownFailure;
    }
}

std::string ShellErrorText(std::int32_t code)
{
    switch (code) {
    case 2: return "File not found";
    case 3: return "Path not found";
    case 5: return "Access denied";
    case 8: return "Out of memory";
    case 11: return "Invalid EXE file or error in EXE image";
    case 26: return "A sharing violation occurred";
    case 27:
    case 31:
        return "ヘルプはPDFファイルで作成しております。\r\n"
               "Adobe社サイトより Acrobat Reader をダウンロードしてください。\r\n"
               "Acrobat Reader はAdobe社サイトで無償提供・配布されています。";
    case 28: return "DDE Time out";
    case 29: return "DDE transaction failed";
    case 30: return "DDE busy";
    case 32: return "DLL not found";
    default: return "Unknown error";
    }
}

void OpenManual(platform::UiServices& ui, ProcessRunner& runner)
{
    // A manual in the program folder comes first; an installed program also has the one it was shipped with.
    std::string folder = platform::ProgramFolder();
    const auto has = [](const std::string& in, const char* name) {
        std::error_code error;
        return std::filesystem::exists(in + "/" + name, error);
    };
    const std::string shipped = platform::DataFolder();
    if (!has(folder, "Murtesk.pdf") && !has(folder, "ReadMe.txt") && !shipped.empty() &&
        (has(shipped, "Murtesk.pdf") || has(shipped, "ReadMe.txt")))
        folder = shipped;
    const bool haveManual = has(folder, "Murtesk.pdf");
    const std::string path = folder + (haveManual ? "/Murtesk.pdf" : "/ReadMe.txt");
    const std::int32_t code = ShellOpenFile(runner, path);
    if (code > 32) return;
    // The read-me file has no message of the table: it is named, so the user can open it another way.
    ui.MsgBox(haveManual ? ShellErrorText(code) : std::string(kReadMeNotOpened) + "\r\n" + path);
}

}  // namespace murtesk
