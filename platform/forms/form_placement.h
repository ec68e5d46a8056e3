#pragma once
// Where a second top-level window goes when it would first show over the main window: a
// technician wants to watch both (the main window and the link's protocol, say).

#include "platform/gdi/geometry.h"

// `window` moved right of `main`, else left of it, when it fits there inside `work` (and
// kept within the work area's height); unchanged when it does not overlap `main` or fits
// on neither side.
TRect PlaceBesideMainWindow(TRect window, TRect main, TRect work);
