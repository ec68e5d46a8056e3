#pragma once
// The window timers of the calendar pop-up and of its month list. Each id means one thing
// on its control's window; each control kills its own when it stops tracking or is destroyed.

#include "platform/win/messages.h"

// The mouse is held on the previous or the next month's arrow: the month goes on turning.
inline constexpr UINT_PTR kvxCalPrevArrowTimer = 1;
inline constexpr UINT_PTR kvxCalNextArrowTimer = 2;
inline constexpr UINT kvxCalArrowInterval = 170;
// The mouse is held above or below the month list: the list scrolls, faster further away.
inline constexpr UINT_PTR kvxCalMonthListTimer = 1;
