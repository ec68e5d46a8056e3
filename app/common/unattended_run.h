#pragma once
// A run that nobody watches (no display, TOVAK_HEADLESS=1): a message box cannot be
// answered, so its text goes to standard error instead, and a start job ends the program
// once it has done its work. The exit status tells the calling script how the job went.
// Whether the run is unattended (set by the program start before the windows exist) and the
// exit status (jeDone unless a job failed) are the program context's UnattendedRun and
// JobExitStatus.

enum TJobExit : int {
    jeDone = 0,          // the job reached the device and did its work
    jeArguments = 2,     // a port or interval that is not a number
    jeNoDevice = 3,      // the port did not open, another device answered, or the link was lost
    jeNoDeviceList = 4,  // the door terminal answered, but not with its whole device list
                         // (or, reading objects, not with every entry), or the job was
                         // stopped before it had them
    jeNothingToDo = 5,   // no entries file, or a device list nobody asked to be written
};
