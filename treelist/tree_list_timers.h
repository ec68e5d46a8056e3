#pragma once
// The window timers of a tree list. Each id means one thing on a control's window, and
// each control starts, stops and (when it is destroyed) kills its own, so that two tree
// lists never stop or orphan each other's timers.

#include "platform/win/messages.h"

// The focus follows a held row past the rows area.
inline constexpr UINT_PTR kvxTLAutoScrollTimer = 1;
inline constexpr UINT kvxTLAutoScrollInterval = 60;
// A click on the focused cell waits the double-click time before the editor opens.
inline constexpr UINT_PTR kvxTLEditorDelayTimer = 2;
// A node held under a drag opens after WaitForExpandNodeTime.
inline constexpr UINT_PTR kvxTLDragExpandTimer = 101;
// A drag near the sides scrolls the columns, near the top or bottom the rows; the focus
// follows a node drag over the edge rows.
inline constexpr UINT_PTR kvxTLDragScrollXTimer = 120;
inline constexpr UINT_PTR kvxTLDragScrollYTimer = 121;
inline constexpr UINT_PTR kvxTLDragFocusTimer = 122;
inline constexpr UINT kvxTLDragScrollInterval = 100;
// The pointer has rested on the clear-filter button: its hint shows.
inline constexpr UINT_PTR kvxTLClearFilterHintShowTimer = 110;
inline constexpr UINT kvxTLClearFilterHintShowDelay = 1000;
// The clear-filter hint has been up long enough: it goes.
inline constexpr UINT_PTR kvxTLClearFilterHintHideTimer = 111;
inline constexpr UINT kvxTLClearFilterHintHideDelay = 5000;
// The panning mode runs a thread timer of its own (no window), one tick per step.
inline constexpr UINT kvxTLPanningTick = 20;
