#include "app/common/start_options.h"

#include "program/command_line.h"
#include "program/program_context.h"

TFirstPass CommandLineFirstPass() {
    TFirstPass r;
    for (int i = 1; i <= Program().ParamPairCount; ++i) {
        const std::string& key = Program().ParamKeys[static_cast<size_t>(i)];
        const std::string& value = Program().ParamValues[static_cast<size_t>(i)];
        if (key == "/TEST")
            r.Page = kPageTest;
        else if (key == "/PWD" && value == kTestPagePassWord)
            r.TestPageUnlocked = true;
        else if (key == "/CONFIG" || key == "/1")
            r.Page = kPageControlRoad;
        else if (key == "/TESSEL" || key == "/2")
            r.Page = kPageConfigRoad;
    }
    return r;
}

TSecondPass CommandLineSecondPass(bool testPageUnlocked) {
    TSecondPass r;
    for (int i = 1; i <= Program().ParamPairCount; ++i) {
        const std::string& key = Program().ParamKeys[static_cast<size_t>(i)];
        if (key.compare(0, 8, "/NETINFO") == 0 || key.compare(0, 7, "/READOD") == 0 || key == "/LOADIOCFG" ||
            key == "/SAVEIOCFG")
            r.JobNoted = true;
        else if (key == "/TEST" && !testPageUnlocked)
            r.Page = kPagePassWord;
    }
    return r;
}

TStartJobs CommandLineJobs() {
    TStartJobs r;
    for (int i = 1; i <= Program().ParamPairCount; ++i) {
        const std::string& key = Program().ParamKeys[static_cast<size_t>(i)];
        if (key.compare(0, 8, "/NETINFO") == 0) {
            r.Job = TStartJob::NetInfo;
            r.Argument = key;
        } else if (key.compare(0, 7, "/READOD") == 0) {
            r.Job = TStartJob::ReadOd;
            r.Argument = key;
        } else if (key == "/LOADIOCFG") {
            r.Job = TStartJob::LoadIoConfig;
        } else if (key == "/SAVEIOCFG") {
            r.Job = TStartJob::SaveIoConfig;
        } else if (key == "/FILENAME") {
            r.FileName = Program().ParamValues[static_cast<size_t>(i)];
        }
    }
    return r;
}
