#pragma once
#include <string>

// Opens directory + "/" + file with the desktop's opener (ShellOpen), with `directory` as
// working folder. With `check`, a file that does not exist is reported in an error box and
// nothing is started. The opener takes a single file, so `parameters` are not passed on.
void RunProgram(const std::string& directory, const std::string& file, const std::string& parameters, bool check);
