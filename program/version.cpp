#include "program/version.h"

#ifndef TOVAK_VERSION_TEXT
#define TOVAK_VERSION_TEXT "0.0.0.0"
#endif

std::string GetVersionText() { return TOVAK_VERSION_TEXT; }
