#pragma once
// SIGTERM and SIGINT end the program the way closing its main window does: the window
// closes (an open link is closed, the STOPP line is written) and every loop, nested waits
// included, ends.

// Keeps the two signals from every thread, so that only the watcher below takes them.
// Call first thing, before any thread starts.
void BlockStopSignals();

// Starts the watcher; call on the window thread once the windows exist.
void EndProgramOnStopSignals();
