#pragma once
// Whether the wizards may go on waiting for the device and sending to it.

// The main window was closed: the waits must let the main loop end the program.
bool WizardProgramEnding();

// The link to the device is open. Once it is gone (an adapter pulled), the wizard leaves:
// nothing it could queue would be taken.
bool WizardLinkUp();
