// The program start: folders and command line first, then the windows and the message loop.

#include <cstdio>

#include "link/log_file.h"
#include "link/program_dirs.h"
#include "link/version.h"

int main() {
    InitProgramDirs();
    WriteLogLine("TOVAK-MEN-", "START", std::string(37, '-'));
    std::printf("TOVAK %s\nBase folder: %s\nLog folder:  %s\n", GetVersionText().c_str(), BaseDir.c_str(),
                ProtDir.c_str());
    WriteLogLine("TOVAK-MEN-", "STOPP", std::string(37, '-'));
    return 0;
}
