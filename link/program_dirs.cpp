#include "link/program_dirs.h"

#include <cstdlib>

#include <unistd.h>

#include "link/command_line.h"
#include "platform/rtl/param_str.h"

std::string BaseDir;
std::string DataDir;
std::string ProtDir;
std::string ComdDir;
std::string BookDir;
std::string SdefDir;
std::string TempDir;
std::string ProgramName;

namespace {

// An installed program's folder is read-only; its data then lives with the user.
std::string WritableProgramFolder(const std::string& program_folder) {
    if (!program_folder.empty() && access(program_folder.c_str(), W_OK) == 0) return program_folder;
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
    ProgramName = dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);

    BaseDir = WritableProgramFolder(folder);
    DataDir = BaseDir + "DATA/";
    ProtDir = BaseDir + "PROT/";
    ComdDir = BaseDir + "COMD/";
    BookDir = BaseDir + "BOOK/";
    SdefDir = BaseDir + "SDEF/";
    TempDir = BaseDir + "TEMP/";

    ParseParams();
    for (int i = 1; i <= ParamPairCount; ++i) {
        const std::string& key = ParamKeys[static_cast<size_t>(i)];
        const std::string& value = ParamValues[static_cast<size_t>(i)];
        if (key == "/BASEDIR")
            BaseDir = value;
        else if (key == "/DATADIR")
            DataDir = value;
        else if (key == "/PROTDIR")
            ProtDir = value;
        else if (key == "/COMDDIR")
            ComdDir = value;
        else if (key == "/BOOKDIR")
            BookDir = value;
    }
}
