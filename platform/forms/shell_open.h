#pragma once
// Opening a document or address with the desktop's opener (xdg-open, or $TOVAK_OPENER), the
// stand-in for the shell's "open" verb. The target is passed as the opener's one argument,
// never through a shell command line, so no character in it is interpreted; a target that
// starts with "-" would be read as one of the opener's options and is refused. Tests replace
// the launcher.

#include <functional>
#include <string>
#include <vector>

// Starts a program with the given arguments (argv[0] is the program name) in the working
// folder `Directory` (empty: the program's own) and does not wait for it. Answers false when
// it could not be started.
using TShellLauncher = std::function<bool(const std::vector<std::string>& Argv, const std::string& Directory)>;

// The launcher in use; passing an empty function restores the default (posix_spawnp).
void SetShellLauncher(TShellLauncher Launcher);

// Runs the opener with `Target` in the working folder `Directory`. Answers false when the
// target was refused or the launcher could not start the opener.
bool ShellOpen(const std::string& Target, const std::string& Directory = {});
