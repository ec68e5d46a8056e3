#pragma once
#include <functional>
#include <string>

// Opens directory + "/" + file with the desktop's opener (xdg-open, or $TOVAK_OPENER), with the
// file as one argument and `directory` as working folder; never through a shell. With `check`,
// a file that does not exist is reported in an error box and nothing is started.
// The opener takes a single file, so `parameters` are not passed on.
void RunProgram(const std::string& directory, const std::string& file, const std::string& parameters, bool check);

// Tests put their own opener in place of the desktop's: it gets the path (after the existence
// check) instead of a started program. An empty function puts the desktop's opener back.
void SetProgramOpener(std::function<void(const std::string& path)> opener);
