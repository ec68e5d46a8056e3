#pragma once
// The two passes of the main window's first show over the command-line table, as plain
// decisions, and the start jobs the one-shot job timer runs.

#include <string>

// The test page's pass word; compared exactly.
inline constexpr const char* kTestPagePassWord = "QUARZMEN";

// Page numbers of the main window's notebook that the start can choose.
inline constexpr int kPageStart = 0;
inline constexpr int kPageConfigRoad = 1;
inline constexpr int kPageTest = 5;
inline constexpr int kPageControlRoad = 6;
inline constexpr int kPagePassWord = 19;

struct TFirstPass {
    int Page = -1;  // -1: the page stays
    bool TestPageUnlocked = false;
};
// "/TEST": test page; "/PWD" with the pass word: unlocked; "/CONFIG" or "/1": control road;
// "/TESSEL" or "/2": configuration road. Later pairs win.
TFirstPass CommandLineFirstPass();

struct TSecondPass {
    int Page = -1;  // the pass-word page when "/TEST" came without the pass word
    bool JobNoted = false;
};
TSecondPass CommandLineSecondPass(bool testPageUnlocked);

enum class TStartJob { None, NetInfo, ReadOd, LoadIoConfig, SaveIoConfig };
struct TStartJobs {
    TStartJob Job = TStartJob::None;  // the last selecting key wins
    std::string Argument;             // the whole key of "/NETINFO..." and "/READOD..."
    std::string FileName;             // the value of "/FILENAME"
};
TStartJobs CommandLineJobs();
