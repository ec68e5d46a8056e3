#include "program/program_dirs.h"

#include <cstdlib>

#include <unistd.h>

#include "platform/classes/file_utils.h"
#include "platform/rtl/param_str.h"
#include "program/command_line.h"
#include "program/program_context.h"

namespace {

bool IsInstalledFolder(const std::string& folder) {
    return folder.size() >= 5 && folder.compare(folder.size() - 5, 5, "/bin/") == 0;
}

// An installed program (read-only, or in a bin folder of a prefix) keeps its data with the
// user; a program run where it was built or unpacked keeps it beside itself.
std::string WritableProgramFolder(const std::string& program_folder) {
    if (!program_folder.empty() && !IsInstalledFolder(program_folder) && access(program_folder.c_str(), W_OK) == 0)
        return program_folder;
    const char* data_home = std::getenv("XDG_DATA_HOME");
    std::string folder;
    if (data_home && *data_home) {
        folder = data_home;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home && *home ? home : "/tmp") + "/.local/share";
    }
    folder += "/tovak/";
    return folder;
}

// The folder option i names. "_" stands for a blank in an option's value, but it is common in
// the folders of this system ("/home/j_smith/"), where an argument carries its blanks itself:
// a folder that exists as written and not with blanks is taken as written.
std::string FolderOption(int i) {
    const std::string& value = Program().ParamValues[static_cast<size_t>(i)];
    const std::string argument = ParamStr(i);
    const size_t equals = argument.find('=');
    const std::string written = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
    if (written != value && !DirectoryExists(value) && DirectoryExists(written)) return written;
    return value;
}

}  // namespace

void AddBackslash(std::string& path) {
    if (!path.empty() && path.back() != '/') path += '/';
}

void InitProgramDirs() {
    std::string program = ParamStr(0);
    size_t slash = program.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
    std::string file = slash == std::string::npos ? program : program.substr(slash + 1);
    size_t dot = file.rfind('.');
    Program().ProgramName = dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);

    Program().BaseDir = WritableProgramFolder(folder);
    ParseParams();
    // The base folder first: the sub-folders follow it (settings and logs stay together)
    // unless an option names them itself.
    for (int i = 1; i <= Program().ParamPairCount; ++i)
        if (Program().ParamKeys[static_cast<size_t>(i)] == "/BASEDIR" &&
            !Program().ParamValues[static_cast<size_t>(i)].empty()) {
            Program().BaseDir = FolderOption(i);
            AddBackslash(Program().BaseDir);
        }
    Program().DataDir = Program().BaseDir + "DATA/";
    Program().ProtDir = Program().BaseDir + "PROT/";
    Program().ComdDir = Program().BaseDir + "COMD/";
    Program().BookDir = Program().BaseDir + "BOOK/";
    Program().SdefDir = Program().BaseDir + "SDEF/";
    Program().TempDir = Program().BaseDir + "TEMP/";
    for (int i = 1; i <= Program().ParamPairCount; ++i) {
        const std::string& key = Program().ParamKeys[static_cast<size_t>(i)];
        std::string* folder = key == "/DATADIR"   ? &Program().DataDir
                              : key == "/PROTDIR" ? &Program().ProtDir
                              : key == "/COMDDIR" ? &Program().ComdDir
                              : key == "/BOOKDIR" ? &Program().BookDir
                                                  : nullptr;
        if (folder) *folder = FolderOption(i);
    }
}
