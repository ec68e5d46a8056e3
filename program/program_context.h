#pragma once
// What the whole program shares, in one value: the folders and the name it runs with, its
// command line, the settings in force, how an unattended run ends, and what one page of the
// installation leaves for the next. Set at start (folders and command line before any window
// exists, settings at the main window's first show); window thread only. Starting afresh is
// assigning a fresh TProgramContext.

#include <array>
#include <cstdint>
#include <string>

// The command line's pairs at most.
constexpr int kMaxParamPairs = 50;
// The inputs of the installation record code (see BuildSystemCode).
using TSystemCodeInputs = std::array<int32_t, 24>;

struct TProgramContext {
    // The program's folders, each ending in "/", and its name (see InitProgramDirs).
    std::string BaseDir;
    std::string DataDir;      // BaseDir + "DATA/"
    std::string ProtDir;      // BaseDir + "PROT/": the log files
    std::string ComdDir;      // BaseDir + "COMD/"
    std::string BookDir;      // BaseDir + "BOOK/"
    std::string SdefDir;      // BaseDir + "SDEF/"
    std::string TempDir;      // BaseDir + "TEMP/"
    std::string ProgramName;  // the program file's name without folder and extension

    // The command-line table (see ParseParams), indexed 1..ParamPairCount as the program's
    // options are numbered; element 0 stays empty.
    int32_t ParamPairCount = 0;
    std::array<std::string, kMaxParamPairs + 1> ParamKeys;
    std::array<std::string, kMaxParamPairs + 1> ParamValues;

    // The settings of "TOVAK.INI", section "MAIN", in force (the link keeps PrtShow and PrtProt).
    int32_t ComPort = 1;
    int32_t CocPort = 1;
    int32_t CotPort = 1;
    int32_t KeyEnd = 2;
    bool PxtShow = false;
    bool PxtProt = false;  // the text channel's trace also goes to the "TOVAK-TSC-" log
    int32_t InstMode = 0;
    int32_t InstStepMode = 1;
    bool DbBridgeHex = false;
    bool DbProtNetInfo = false;
    std::string Language;
    bool CmrRm = true;
    bool MProtRdOd = false;

    // A run that nobody watches (no display, TOVAK_HEADLESS=1), and what its process answers
    // when it ends (see app/common/unattended_run.h).
    bool UnattendedRun = false;
    int JobExitStatus = 0;

    // The information window's shaded background (vertical stripes getting lighter to the
    // right): on when the program starts, switched off by the main window at its creation.
    bool InfoMsgShaded = true;
    // The jumpers the installation wizard found on the door terminal's slots.
    bool InstallJumperJ1 = false;
    bool InstallJumperJ2 = false;
    bool InstallJumperJ3 = false;
    // The installation record code's inputs, set by the installation wizard.
    TSystemCodeInputs SystemCodeInputs{};
    // What GetToken leaves after the token it took.
    std::string TokenRest;
};

// The program's one context.
TProgramContext& Program();
