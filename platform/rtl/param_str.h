#pragma once
// The process's command line as the class library offers it: ParamStr(0) is the program file,
// ParamStr(1..ParamCount()) the arguments.

#include <string>
#include <vector>

int ParamCount();
std::string ParamStr(int index);  // "" outside 0..ParamCount()

// Replaces the command line the process sees (argv[0] first); tests use it to run the
// start-up code on a chosen set of arguments. An empty list restores the real one.
void SetCommandLineForTesting(std::vector<std::string> argv);
