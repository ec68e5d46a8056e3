#pragma once
// Lends a control's canvas the device context of one WM_PAINT: the canvas draws on it with
// the control's font until the scope ends, and lets go of it however the paint handler
// leaves, so no canvas keeps a context that the paint has already released.

#include "platform/forms/control.h"

class TCanvasHandleScope {
public:
    TCanvasHandleScope(TControlCanvas* canvas, HDC dc, TFont* font) : canvas_(canvas) {
        canvas_->FreeHandle();
        canvas_->SetHandle(dc);
        canvas_->SetFont(font);
    }
    ~TCanvasHandleScope() { canvas_->SetHandle(nullptr); }
    TCanvasHandleScope(const TCanvasHandleScope&) = delete;
    TCanvasHandleScope& operator=(const TCanvasHandleScope&) = delete;

private:
    TControlCanvas* canvas_;
};
