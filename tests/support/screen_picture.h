#pragma once
// What a person sees of a form with windows over it. Pop-ups and drag feedback are top-level
// windows with back buffers of their own, so a picture of the form alone misses them: each
// window of Above that is shown is laid over the form where it stands, a shaped one only
// inside its shape. What is pending is painted first.

#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"
#include "platform/gdi/geometry.h"
#include "platform/win/window_record.h"

class TCustomForm;

// False when the form is not shown.
bool CaptureScreenOf(TCustomForm* Form, const std::vector<HWND>& Above, TBitmap& Out);
// The same as a PNG file; false when nothing was written.
bool SaveScreenOf(TCustomForm* Form, const std::vector<HWND>& Above, const std::string& FileName);
// The colour a top-level window shows at a point of the screen, as last painted (paint what
// is pending first where that matters); CLR_INVALID outside the window or before its first
// painting.
COLORREF ShownPixel(HWND TopLevel, TPoint Screen);
