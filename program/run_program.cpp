#include "program/run_program.h"

#include <sys/stat.h>

#include "platform/forms/shell_open.h"
#include "program/message_dialog.h"

void RunProgram(const std::string& directory, const std::string& file, const std::string& /*parameters*/, bool check) {
    const std::string path = directory.empty() ? file : directory + (directory.back() == '/' ? "" : "/") + file;
    if (check) {
        struct stat info;
        if (stat(path.c_str(), &info) != 0) {
            ShowMessageDialog("Programm/Modul \"" + path + "\" nicht vorhanden !", 1, 4);
            return;
        }
    }
    // No opener on this machine: as with the shell, nothing happens.
    ShellOpen(path, directory);
}
