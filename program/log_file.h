#pragma once
// The program's dated log files: one file a month and channel in ProtDir, named
// prefix + "YYYYMM" + ".PRT", one line per event:
// "DD.MM.YYYY HH:MM:SS " + tag fitted to 10 characters + " " + text, ended by CR LF.

#include <string>

// Appends one line. A file that cannot be opened loses the line without a message; a missing
// log folder is created first, so a fresh installation does not lose every line. Answers
// whether the line was written; when not, `why` (if given) names the file and the reason.
bool WriteLogLine(const std::string& prefix, const std::string& tag, const std::string& text,
                  std::string* why = nullptr);

// The file WriteLogLine appends to now for `prefix`.
std::string LogFileName(const std::string& prefix);
