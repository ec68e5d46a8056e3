#pragma once
// The program's folders, each ending in "/", and its name. Set once at start, before any
// window exists.

#include <string>

// The program's folder, or ~/.local/share/tovak/ for an installed program (its folder is not
// writable or is a prefix's bin folder).
extern std::string BaseDir;
extern std::string DataDir;  // BaseDir + "DATA/"
extern std::string ProtDir;  // BaseDir + "PROT/": the log files
extern std::string ComdDir;  // BaseDir + "COMD/"
extern std::string BookDir;  // BaseDir + "BOOK/"
extern std::string SdefDir;  // BaseDir + "SDEF/"
extern std::string TempDir;  // BaseDir + "TEMP/"
extern std::string ProgramName;  // the program file's name without folder and extension

// Sets the folders and ProgramName, reads the command line, and applies the folder options:
// "/BASEDIR" moves the base folder and every sub-folder with it; "/DATADIR", "/PROTDIR",
// "/COMDDIR", "/BOOKDIR" then replace theirs (values taken as they stand).
void InitProgramDirs();

// Appends "/" to a non-empty path that does not end in one.
void AddBackslash(std::string& path);
