// Where the program finds its files.
//
// The install rules put the program in <prefix>/bin, its libraries in <prefix>/lib/murtesk and what it
// reads but never writes (the manual) in <prefix>/share/murtesk. An executable without "../lib/murtesk"
// beside its folder runs from the build tree or a copy of it, with its libraries beside it.
#pragma once

#include <string>
#include <string_view>

namespace murtesk::platform {

// The folder of the running executable (no trailing "/").
std::string ExecutableFolder();

// Where the files of a program whose executable lies in `executableFolder` are.
struct ProgramLayout {
    bool installed = false;
    std::string libraries;  // the program's own shared libraries
    std::string data;       // the installed data folder; empty in the build tree
};
ProgramLayout LayoutOf(const std::string& executableFolder);

// The folder the program's shared libraries are always loaded from.
std::string LibraryFolder();
// The install's data folder (the manual shipped with the program); empty when not installed.
std::string DataFolder();

// What decides the program folder.
struct ProgramFolderInputs {
    std::string murteskHome;  // $MURTESK_HOME
    std::string xdgDataHome;  // $XDG_DATA_HOME
    std::string home;         // the user's home folder
    std::string executableFolder;
    bool installed = false;
    bool executableFolderWritable = false;
    std::string documents;  // the user's documents folder (DocumentsFolder); read for an installed program
};

// The program folder for the user's files ("Temp.tmp", "CMeasure.tmp", the user correction files, a
// manual of the user's own): $MURTESK_HOME when set; else the executable's folder when the program is
// not installed and may write there (the build tree, a portable copy); else the user's own folder,
// $XDG_DATA_HOME/murtesk (~/.local/share/murtesk when that is unset or relative).
std::string ChooseProgramFolder(const ProgramFolderInputs& inputs);

// The project proposed on the first start, "DefaultQVD.qvd": for an installed program without
// $MURTESK_HOME in a folder of its own, "Murtesk", in the user's documents folder, where the user finds
// it and the folders of its levels; else in the program folder.
std::string ChooseDefaultProject(const ProgramFolderInputs& inputs);

// The documents folder that the "XDG_DOCUMENTS_DIR" line of a user-dirs.dirs text names ("$HOME/..." or
// an absolute path, as `xdg-user-dir DOCUMENTS` reads it); `home` when the text names none.
std::string DocumentsFolderIn(std::string_view userDirs, const std::string& home);
// The user's documents folder: what $XDG_CONFIG_HOME/user-dirs.dirs (~/.config/user-dirs.dirs) names
// when that folder exists, else the home folder.
std::string DocumentsFolder();

// ChooseProgramFolder for this process. Read at every call, so tests can point it at a scratch folder.
std::string ProgramFolder();

// A file in the program folder.
std::string ProgramFilePath(std::string_view name);

// ChooseDefaultProject for this process.
std::string DefaultProjectPath();

// Creates the program folder when it is missing (the user's folder on the first start of an installed
// program). False, with the reason in `error`, when it neither exists nor can be made.
bool CreateProgramFolder(std::string& error);

}  // namespace murtesk::platform
