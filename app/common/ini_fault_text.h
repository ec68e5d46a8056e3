#pragma once
// What kept a settings file from being read or written, said as the program says it, in the
// manner of the configuration save's refusals: "Datei "<file>" ist schreibgeschützt; es
// wurde nichts gespeichert".

#include <string>

#include "platform/classes/custom_ini_file.h"

// A write refused or failed; the file is as it was.
std::string IniWriteFaultText(const std::string& fileName, const TIniFault& fault);
// A file that exists but read as empty, every setting of it taking its default.
std::string IniReadFaultText(const std::string& fileName, const TIniFault& fault);
