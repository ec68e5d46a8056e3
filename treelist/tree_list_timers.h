#pragma once
// The window timers of a tree list. Each id means one thing on a control's window, and
// each control starts, stops and (when it is destroyed) kills its own, so that two tree
// lists never stop or orphan each other's timers.

#include "platform/win/messages.h"

// The focus follows a held row past the rows area, or a drag over the edge rows.
inline constexpr UINT_PTR kvxTLAutoScrollTimer = 1;
inline constexpr UINT kvxTLAutoScrollInterval = 60;
// A click on the focused cell waits the double-click time before the editor opens.
inline constexpr UINT_PTR kvxTLEditorDelayTimer = 2;
// The columns scroll sideways under a header, band or node drag near the sides.
inline constexpr UINT_PTR kvxTLDragScrollTimer = 3;
// A node held under a drag opens after WaitForExpandNodeTime.
inline constexpr UINT_PTR kvxTLDragExpandTimer = 101;
// The pointer has rested on the clear-filter button: its hint shows.
inline constexpr UINT_PTR kvxTLClearFilterHintShowTimer = 110;
inline constexpr UINT kvxTLClearFilterHintShowDelay = 1000;
// The clear-filter hint has been up long enough: it goes.
inline constexpr UINT_PTR kvxTLClearFilterHintHideTimer = 111;
inline constexpr UINT kvxTLClearFilterHintHideDelay = 5000;
// The panning mode runs a thread timer of its own (no window), one tick per step.
inline constexpr UINT kvxTLPanningTick = 20;
