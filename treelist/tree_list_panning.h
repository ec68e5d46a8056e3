#pragma once
// The panning mode of the tree list: a press of the middle button leaves a round marker
// where it happened, and the further the pointer goes from it, the faster the control
// scrolls that way. Inside the marker (the dead zone) nothing moves.

#include <memory>

#include "platform/forms/control_types.h"
#include "platform/gdi/geometry.h"

class TBitmap;

enum TvxPanDirection { pdNone, pdLeft, pdUp, pdRight, pdDown };

// Which way and how fast to pan for a pointer position (screen coordinates).
class TvxPanning {
public:
    // Horizontal, Vertical: the ways the control can scroll (its scroll bars).
    TvxPanning(TPoint Start, int MarkerWidth, int MarkerHeight, bool Horizontal, bool Vertical);

    void Track(TPoint P);
    // The marker's rectangle, stretched over the whole axis the control cannot scroll along,
    // so that a move along that axis never pans.
    TRect DeadZone() const { return deadZone_; }
    TvxPanDirection Direction() const { return direction_; }
    // 1 (a step every 12th tick) to 12 (a step every tick); 0 inside the dead zone.
    int Speed() const { return speed_; }
    // The pointer has left the dead zone since the start.
    bool MovedOut() const { return movedOut_; }
    // Whether timer tick number Tick (counted from the start) makes a step.
    bool StepDue(int Tick) const;
    TCursor Cursor() const;

    static constexpr int kMaxSpeed = 12;

private:
    TPoint start_;
    int markerWidth_;
    bool horizontal_;
    bool vertical_;
    TRect deadZone_;
    TvxPanDirection direction_ = pdNone;
    int speed_ = 0;
    bool movedOut_ = false;
};

// The marker's picture: a white disc with arrows towards the ways the control can scroll.
std::unique_ptr<TBitmap> MakePanningMarker(bool Horizontal, bool Vertical);
