#pragma once
// Opening a document or address with the desktop's opener (xdg-open), the stand-in for the
// shell's "open" verb. The target is passed as the opener's one argument, never through a
// shell command line, so no character in it is interpreted. Tests replace the launcher.

#include <functional>
#include <string>
#include <vector>

// Starts a program with the given arguments (argv[0] is the program name) and does not
// wait for it. Answers false when it could not be started.
using TShellLauncher = std::function<bool(const std::vector<std::string>& Argv)>;

// The launcher in use; passing an empty function restores the default (posix_spawnp).
void SetShellLauncher(TShellLauncher Launcher);

// Runs "xdg-open Target". Answers false when the launcher could not start it.
bool ShellOpen(const std::string& Target);
