#pragma once
// The program start: the ten windows in their fixed order, kept for the program's life, the
// device session connected to the protocol window's port, the message box and the text
// catalogue put in reach of the device link, then the message loop until the main window
// closes.

// Creates Form1, FormCustMsg, Form2..Form5, FormSercom, FormCompLst, FormMsg, FormTxtCom
// through the application (which must exist) and wires them. Nothing is shown yet.
void CreateProgramForms();

// Shows the main window and runs the message loop until it closes.
void RunProgramLoop();

// Frees the windows and takes the link's hooks back (tests start afresh with it).
void DestroyProgramForms();
