#pragma once
// The pictures of the installation wizard, drawn rather than loaded so that they need no
// files: the three jumper pictures and the tick of a configuration step that is done.

#include "app/config/install_jumpers.h"

class TBitmap;

inline constexpr int kJumperPictureWidth = 20;
inline constexpr int kJumperPictureHeight = 32;

// Three pins with the cap on the upper pair (set), the lower pair (open), or no cap and a red
// cross (the jumper's two contacts disagree).
void DrawJumperPicture(TBitmap* bmp, TJumperPicture picture);
// A green tick, 16 x 16.
void DrawStepTick(TBitmap* bmp);
