#pragma once
// The program's folders, each ending in "/", and its name (kept in the program's context). Set
// once at start, before any window exists.

#include <string>

// Sets the folders and ProgramName, reads the command line, and applies the folder options:
// "/BASEDIR" moves the base folder and every sub-folder with it; "/DATADIR", "/PROTDIR",
// "/COMDDIR", "/BOOKDIR" then replace theirs (values taken as they stand).
// The base folder is the program's folder, or ~/.local/share/tovak/ for an installed program
// (its folder is not writable or is a prefix's bin folder).
void InitProgramDirs();

// Appends "/" to a non-empty path that does not end in one.
void AddBackslash(std::string& path);
