// The drag manager and the drag operations of TControl.

#include "platform/forms/drag_manager.h"

#include <cstdlib>

#include "platform/forms/drag_image_list.h"
#include "platform/forms/screen.h"
#include "platform/forms/win_control.h"
#include "platform/win/input.h"
#include "platform/win/window_tree.h"

namespace {

// The class library's default: a press becomes a drag 5 pixels away from where it began.
constexpr int kDefaultDragThreshold = 5;

struct DragSession {
    TControl* source = nullptr;
    TDragObject* object = nullptr;
    std::unique_ptr<TDragObject> owned;
    TPoint start{0, 0};
    int threshold = kDefaultDragThreshold;
    bool pending = false;
    TControl* target = nullptr;
    bool accepted = false;
    bool ending = false;
};

// All drags run on the window thread, one at a time.
DragSession g_drag;

bool SendDrag(TControl* Target, TDragMessage Kind, TPoint Screen) {
    TDragRec rec;
    rec.Pos = Screen;
    rec.Source = g_drag.object;
    rec.Target = Target;
    g_drag.object->DragPos = Screen;
    g_drag.object->DragTarget = Target;
    return Target->Perform(CM_DRAG, static_cast<WPARAM>(Kind), reinterpret_cast<LPARAM>(&rec)) != 0;
}

void ShowCursor(TCursor Cursor) { SetCursor(EnsureScreen()->Cursors(Cursor)); }

void DragTo(TPoint Screen) {
    if (!g_drag.source || g_drag.ending) return;
    if (g_drag.pending) {
        if (std::abs(Screen.X - g_drag.start.X) < g_drag.threshold &&
            std::abs(Screen.Y - g_drag.start.Y) < g_drag.threshold)
            return;
        g_drag.pending = false;
        if (TDragImageList* images = g_drag.object->GetDragImages()) images->BeginDrag(nullptr, Screen.X, Screen.Y);
    }
    TControl* target = FindDragTarget(Screen);
    bool accepted = false;
    if (target != g_drag.target) {
        TControl* old = g_drag.target;
        g_drag.target = target;
        if (old) SendDrag(old, dmDragLeave, Screen);
        if (g_drag.source && target && g_drag.target == target) accepted = SendDrag(target, dmDragEnter, Screen);
    } else if (target) {
        accepted = SendDrag(target, dmDragMove, Screen);
    }
    // A handler may have ended the drag.
    if (!g_drag.source || g_drag.ending) return;
    g_drag.accepted = accepted && target;
    ShowCursor(g_drag.object->GetDragCursor(g_drag.accepted, Screen.X, Screen.Y));
    if (TDragImageList* images = g_drag.object->GetDragImages()) images->DragMove(Screen.X, Screen.Y);
}

void DragDone(bool Drop) {
    if (!g_drag.source || g_drag.ending) return;
    g_drag.ending = true;
    TControl* source = g_drag.source;
    TDragObject* object = g_drag.object;
    TPoint screen;
    GetCursorPos(&screen);
    if (TDragImageList* images = object->GetDragImages()) images->EndDrag();
    TControl* target = g_drag.target;
    const bool accepted = Drop && target && g_drag.accepted && !g_drag.pending;
    if (target) SendDrag(target, accepted ? dmDragDrop : dmDragLeave, screen);
    // The drop handler may have freed the target.
    target = g_drag.target;
    object->Dropped = accepted && target;
    source->SetControlState(source->ControlState() & ~(csLButtonDown | csClicked));
    if (GetCaptureControl() == source) SetCaptureControl(nullptr);
    std::unique_ptr<TDragObject> owned = std::move(g_drag.owned);
    g_drag = DragSession{};
    TObject* dropTarget = object->Dropped ? target : nullptr;
    const TPoint local = object->Dropped ? target->ScreenToClient(screen) : source->ScreenToClient(screen);
    object->Finished(dropTarget, local.X, local.Y, object->Dropped);
    ShowCursor(source->Cursor());
    source->DoEndDrag(dropTarget, local.X, local.Y);
}

}  // namespace

TCursor TDragControlObject::GetDragCursor(bool Accepted, int /*X*/, int /*Y*/) {
    return Accepted ? control_->DragCursor() : crNoDrop;
}

TDragObject* ActiveDragObject() { return g_drag.object; }

TControl* FindDragTarget(TPoint Screen) {
    TWinControl* control = nullptr;
    for (HWND wnd = WindowFromPoint(Screen); wnd && !control; wnd = GetParent(wnd)) control = FindControl(wnd);
    if (!control) return nullptr;
    if (TControl* child = control->ControlAtPos(control->ScreenToClient(Screen), false)) return child;
    return control;
}

bool RouteDragMessage(TControl* Control, TMessage& Message) {
    if (!g_drag.source || g_drag.source != Control || g_drag.ending) return false;
    switch (Message.Msg) {
        case WM_MOUSEMOVE:
            DragTo(Control->ClientToScreen(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)}));
            return true;
        case WM_LBUTTONUP: DragDone(true); return true;
        case WM_RBUTTONDOWN: DragDone(false); return true;
        case WM_KEYDOWN:
            if (Message.WParam != VK_ESCAPE) return false;
            DragDone(false);
            return true;
        case WM_CANCELMODE: DragDone(false); return false;
        default: return false;
    }
}

void ForgetDragControl(TControl* Control) {
    if (g_drag.target == Control) g_drag.target = nullptr;
    if (g_drag.source != Control) return;
    if (g_drag.object && g_drag.object->GetDragImages()) g_drag.object->GetDragImages()->EndDrag();
    g_drag = DragSession{};
}

// ---- The drag operations of TControl ----

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (g_drag.source) return;
    g_drag.source = this;
    TDragObject* object = nullptr;
    DoStartDrag(object);
    // The start handler may have given up the drag.
    if (g_drag.source != this) return;
    if (!object) {
        g_drag.owned = std::make_unique<TDragControlObject>(this);
        object = g_drag.owned.get();
    }
    g_drag.object = object;
    GetCursorPos(&g_drag.start);
    g_drag.threshold = Threshold < 0 ? kDefaultDragThreshold : Threshold;
    g_drag.pending = !Immediate;
    if (GetCaptureControl() != this) SetCaptureControl(this);
    if (Immediate) {
        if (TDragImageList* images = object->GetDragImages())
            images->BeginDrag(nullptr, g_drag.start.X, g_drag.start.Y);
        DragTo(g_drag.start);
    }
}

void TControl::EndDrag(bool Drop) {
    if (Dragging()) DragDone(Drop);
}

bool TControl::Dragging() const { return g_drag.source == this && !g_drag.ending; }

void TControl::DoStartDrag(TDragObject*& DragObject) {
    if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::CMDrag(TMessage& Message) {
    const auto* rec = reinterpret_cast<const TDragRec*>(Message.LParam);
    if (!rec) return;
    const TPoint p = ScreenToClient(rec->Pos);
    TObject* source = rec->Source ? rec->Source->SourceObject() : nullptr;
    bool accept = false;
    switch (static_cast<TDragMessage>(Message.WParam)) {
        case dmDragEnter: DragOver(source, p.X, p.Y, dsDragEnter, accept); break;
        case dmDragLeave: DragOver(source, p.X, p.Y, dsDragLeave, accept); break;
        case dmDragMove: DragOver(source, p.X, p.Y, dsDragMove, accept); break;
        case dmDragDrop: DragDrop(source, p.X, p.Y); break;
        default: break;
    }
    Message.Result = accept ? 1 : 0;
}
