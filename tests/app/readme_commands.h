#pragma once
// The command lines of a README section as a reader copies them: the section's lines that
// are indented by four blanks, without the indentation.

#include <fstream>
#include <string>
#include <vector>

inline std::vector<std::string> ReadmeCommands(const std::string& section) {
    std::ifstream in(std::string(TOVAK_SOURCE_DIR) + "/README.md");
    std::vector<std::string> commands;
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("## ", 0) == 0)
            inside = line == "## " + section;
        else if (inside && line.rfind("    ", 0) == 0)
            commands.push_back(line.substr(4));
    }
    return commands;
}

// The first of them that starts with `start`, or "".
inline std::string ReadmeCommand(const std::string& section, const std::string& start) {
    for (const std::string& c : ReadmeCommands(section))
        if (c.rfind(start, 0) == 0) return c;
    return "";
}
