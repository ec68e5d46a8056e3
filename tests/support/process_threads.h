#pragma once
// What the threads of a process are doing, as /proc tells it.

#include <sys/types.h>

struct ProcessThreads {
    bool any = false;      // the process still has threads (false: it is gone)
    bool busy = false;     // one runs, waits to run, or waits for the disk
    bool stopped = false;  // every one is stopped (SIGSTOP), not only the first
};

ProcessThreads ThreadsOf(pid_t pid);
