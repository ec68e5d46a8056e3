#pragma once
// The program's folders, each ending in "/", and its name. Set once at start, before any
// window exists.

#include <string>

extern std::string BaseDir;  // the program's folder, or ~/.local/share/tovak/ when that is not writable
extern std::string DataDir;  // BaseDir + "DATA/"
extern std::string ProtDir;  // BaseDir + "PROT/": the log files
extern std::string ComdDir;  // BaseDir + "COMD/"
extern std::string BookDir;  // BaseDir + "BOOK/"
extern std::string SdefDir;  // BaseDir + "SDEF/"
extern std::string TempDir;  // BaseDir + "TEMP/"
extern std::string ProgramName;  // the program file's name without folder and extension

// Sets the folders and ProgramName, reads the command line, and applies the folder options
// "/BASEDIR", "/DATADIR", "/PROTDIR", "/COMDDIR", "/BOOKDIR" (values taken as they stand).
void InitProgramDirs();

// Appends "/" to a non-empty path that does not end in one.
void AddBackslash(std::string& path);
