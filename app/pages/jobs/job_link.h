#pragma once
// The start of the command-line jobs that reach a device: they end the program when their
// arguments are unusable or the device cannot be reached, and say so in the exit status.

#include <cstdint>
#include <string>

struct TMainPages;

// Says on standard error why the job ends ("tovak: <job>: <why>"), sets the exit status and
// ends the program.
void EndJob(TMainPages& pages, const std::string& job, int status, const std::string& why);
// Says on standard error why the job's arguments are unusable and ends the program.
void EndJobForArguments(TMainPages& pages, const std::string& job, const std::string& error);

// Opens the link's port `port` without the link's own message: when it does not open, the
// exit status says so first, then text 1221 shows. True when it opened.
bool OpenJobPort(TMainPages& pages, int32_t port);
// Opens the link on `port` (below 1: the control road's port) and checks that the door
// terminal answered; true when it did. Otherwise the exit status says why, then the port's
// or the check's message shows and the program ends; when the program was stopped while
// the device was asked, the job ends as incomplete with `stopped` as its reason.
bool OpenJobLink(TMainPages& pages, const std::string& job, int32_t port, const std::string& stopped);
