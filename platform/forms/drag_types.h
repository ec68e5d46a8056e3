#pragma once
// The class library's drag-and-drop vocabulary: drag modes, the CM_DRAG message that asks
// a target about a drag, and the drag events of a control.

#include <functional>

#include "platform/forms/control_messages.h"

class TObject;
class TDragObject;

// dmAutomatic: a left press starts a drag by itself; dmManual: the control calls BeginDrag.
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragKind { dkDrag, dkDock };

// WParam: a TDragMessage; LParam: a TDragRec*. Enter and move answer non-zero to accept.
inline constexpr UINT CM_DRAG = CM_BASE + 47;
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };
struct TDragRec {
    TPoint Pos;  // screen coordinates
    TDragObject* Source = nullptr;
    TObject* Target = nullptr;
};

using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
// Target is null when the drag ended without a drop.
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDockEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDockEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
