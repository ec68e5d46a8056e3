#pragma once
// When the display goes away for good (the X server ended), the program ends the way it
// ends when the user closes it: the main window closes, so an open port is closed and the
// STOPP line is written, and the message loop ends.

class Presenter;

void EndProgramWhenDisplayLost(Presenter& display);
