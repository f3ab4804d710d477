// Where the program finds its files.
#pragma once

#include <string>
#include <string_view>

namespace murtesk::platform {

// The folder of the running executable (no trailing "/"). The program's shared libraries are
// always loaded from here.
std::string ExecutableFolder();

// The program folder for data files ("Temp.tmp", "CMeasure.tmp", "DefaultQVD.qvd", the user
// correction files, the manual): $MURTESK_HOME when it is set and not empty, else the
// executable's folder. Read at every call, so tests can point it at a scratch folder.
std::string ProgramFolder();

// A file in the program folder.
std::string ProgramFilePath(std::string_view name);

}  // namespace murtesk::platform
