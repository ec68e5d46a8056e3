// The drag manager between two controls: the automatic start, the threshold, what targets
// are asked, the drop, the ways a drag ends without one, and the drag image's window.

#include <algorithm>
#include <functional>

#include "platform/forms/drag_image_list.h"
#include "platform/forms/drag_manager.h"
#include "platform/win/input.h"
#include "platform/win/window_tree.h"
#include "tests/platform/forms/forms_test_support.h"

namespace {

// Logs what a drag tells it; accepts drops on its left half when asked to.
class TDragBox : public TTestBox {
public:
    explicit TDragBox(TComponent* owner) : TTestBox(owner) {
        OnDragOver = [this](TObject*, TObject*, int X, int, TDragState State, bool& Accept) {
            static const char* names[] = {"drag-enter", "drag-leave", "drag-move"};
            log.push_back(names[State]);
            Accept = accepting && X < Width() / 2;
        };
        OnDragDrop = [this](TObject*, TObject* source, int, int) {
            log.push_back("drop");
            droppedFrom = source;
        };
        OnStartDrag = [this](TObject*, TDragObject*&) { log.push_back("start"); };
        OnEndDrag = [this](TObject*, TObject* target, int, int) {
            log.push_back("end");
            endedOn = target;
        };
    }
    bool accepting = false;
    TObject* droppedFrom = nullptr;
    TObject* endedOn = this;
};

class DragManager : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form = MakeForm("DragForm");
        source = Add<TDragBox>(form, "Source", 8, 8);
        target = Add<TDragBox>(form, "Target", 8, 80);
        target->accepting = true;
        source->SetDragMode(dmAutomatic);
        form->Show();
        Driver().Pump();
        source->SetFocus();
        Driver().Pump();
    }
    void Press() {
        Driver().MouseDown(source, TPoint{10, 10});
        Driver().Pump();
    }
    void MoveOver(TControl* c, TPoint local) {
        Driver().MoveTo(c, local);
        Driver().Pump();
    }
    static int Count(const std::vector<std::string>& log, const std::string& what) {
        return static_cast<int>(std::count(log.begin(), log.end(), what));
    }
    TForm* form = nullptr;
    TDragBox* source = nullptr;
    TDragBox* target = nullptr;
};

TEST_F(DragManager, TargetsAreAskedPastTheThresholdAndTheDropLandsWhereAccepted) {
    Press();
    EXPECT_TRUE(source->Dragging());
    EXPECT_EQ(Count(source->log, "start"), 1);
    MoveOver(source, TPoint{14, 10});
    EXPECT_EQ(Count(source->log, "drag-enter"), 0) << "no target is asked within the threshold";
    MoveOver(source, TPoint{15, 10});
    EXPECT_EQ(Count(source->log, "drag-enter"), 1);
    EXPECT_EQ(GetCursor(), EnsureScreen()->Cursors(crNoDrop)) << "the source itself takes nothing";
    MoveOver(target, TPoint{5, 5});
    EXPECT_EQ(Count(source->log, "drag-leave"), 1);
    EXPECT_EQ(Count(target->log, "drag-enter"), 1);
    EXPECT_EQ(GetCursor(), EnsureScreen()->Cursors(crDrag));
    MoveOver(target, TPoint{50, 5});
    EXPECT_EQ(Count(target->log, "drag-move"), 1);
    EXPECT_EQ(GetCursor(), EnsureScreen()->Cursors(crNoDrop));
    MoveOver(target, TPoint{6, 5});
    Driver().MouseUp(target, TPoint{6, 5});
    Driver().Pump();
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(Count(target->log, "drop"), 1);
    EXPECT_EQ(target->droppedFrom, source);
    EXPECT_EQ(source->endedOn, target);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(ActiveDragObject(), nullptr);
}

TEST_F(DragManager, RefusedReleaseEscAndRightButtonEndWithoutADrop) {
    auto endsWithoutDrop = [&](const std::function<void()>& finish) {
        source->endedOn = source;
        const int leaves = Count(target->log, "drag-leave");
        Press();
        MoveOver(target, TPoint{5, 5});
        finish();
        Driver().Pump();
        EXPECT_FALSE(source->Dragging());
        EXPECT_EQ(source->endedOn, nullptr);
        EXPECT_EQ(Count(target->log, "drag-leave"), leaves + 1);
        EXPECT_EQ(Count(target->log, "drop"), 0);
    };
    endsWithoutDrop([&] {
        MoveOver(target, TPoint{50, 5});
        Driver().MouseUp(target, TPoint{50, 5});
    });
    endsWithoutDrop([&] { Driver().Escape(); });
    endsWithoutDrop([&] {
        Driver().MouseDown(target, TPoint{5, 5}, MouseButton::Right);
        Driver().MouseUp(target, TPoint{5, 5}, MouseButton::Right);
    });
    // A target freed in the middle of a drag is not asked again.
    Press();
    MoveOver(target, TPoint{5, 5});
    delete target;
    target = nullptr;
    Driver().MouseUp(form, TPoint{20, 90});
    Driver().Pump();
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(source->endedOn, nullptr);
}

TEST_F(DragManager, DragImageFollowsThePointerInAWindowTheMouseGoesThrough) {
    TDragImageList images(10, 10);
    TBitmap picture(10, 10);
    picture.Canvas()->Brush()->SetColor(clRed);
    picture.Canvas()->FillRect(TRect{0, 0, 10, 10});
    images.Add(&picture, nullptr);
    images.SetDragImage(0, 5, 5);
    const TPoint over = source->ClientToScreen(TPoint{20, 12});
    ASSERT_TRUE(images.BeginDrag(nullptr, over.X, over.Y));
    Driver().Pump();
    EXPECT_EQ(images.DragRect(), (TRect{over.X - 5, over.Y - 5, over.X + 5, over.Y + 5}));
    ASSERT_NE(images.DragWindow(), nullptr);
    EXPECT_EQ(WindowFromPoint(over), source->Handle());
    images.DragMove(over.X + 30, over.Y);
    TRect r;
    GetWindowRect(images.DragWindow(), &r);
    EXPECT_EQ(r.Left, over.X + 25);
    // Hides nest.
    images.HideDragImage();
    images.HideDragImage();
    images.ShowDragImage();
    EXPECT_EQ(images.DragWindow(), nullptr);
    images.ShowDragImage();
    EXPECT_NE(images.DragWindow(), nullptr);
    images.EndDrag();
    EXPECT_EQ(images.DragWindow(), nullptr);
}

}  // namespace
