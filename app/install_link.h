#pragma once
// Whether the wizards may go on waiting for the device and sending to it.

// The main window was closed: the waits must let the main loop end the program.
bool WizardProgramEnding();

// The link to the device is open. Once it is gone (an adapter pulled), nothing may be queued:
// the queue outlives the port, so a request would reach whichever device is opened next.
bool WizardLinkUp();
