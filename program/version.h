#pragma once
#include <string>

// The program's version as four decimal numbers joined by "." (major, minor, release, build).
std::string GetVersionText();
