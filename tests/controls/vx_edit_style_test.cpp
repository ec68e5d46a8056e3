#include <vector>

#include "controls/vx_edit.h"
#include "controls/vx_edit_style.h"
#include "controls/vx_style_controller.h"
#include "tests/controls/vx_editor_test_support.h"

namespace {

// Counts the style changes each editor sees.
class TCountingEdit : public TvxEdit {
public:
    explicit TCountingEdit(TComponent* owner) : TvxEdit(owner) {}
    int styleChanges = 0;
    void StyleChanged() override {
        ++styleChanges;
        TvxEdit::StyleChanged();
    }
};

}  // namespace

class EditStyle : public EditorTest {};

TEST_F(EditStyle, ValuesResolveOwnThenControllerThenGlobalThenConstant) {
    {
        // Before start-up there is no global controller: the constants apply.
        vxEditorsShutdown();
        TvxEdit bare(nullptr);
        EXPECT_EQ(bare.Style()->BorderStyle(), xbs3D);
        EXPECT_EQ(bare.Style()->BorderColor(), clWindowFrame);
        EXPECT_FALSE(bare.Style()->Shadow());
        vxEditorsStartup();
    }
    TForm* form = MakeForm("F");
    auto* a = Add<TvxEdit>(form, "A", 8, 8);
    auto* b = Add<TvxEdit>(form, "B", 8, 40);
    auto* ctl = new TvxEditStyleController(form);
    ctl->SetBorderStyle(xbsFlat);
    ctl->SetShadow(true);
    b->SetStyleController(ctl);

    DefaultEditStyleController()->SetBorderStyle(xbsSingle);
    EXPECT_EQ(a->Style()->BorderStyle(), xbsSingle) << "no controller: the global one";
    EXPECT_EQ(b->Style()->BorderStyle(), xbsFlat) << "own controller first";
    EXPECT_TRUE(b->Style()->Shadow());

    // Writing a value equal to the default still makes it the editor's own.
    b->Style()->SetBorderStyle(xbsFlat);
    EXPECT_TRUE(b->Style()->IsAssigned(svBorderStyle));
    ctl->SetBorderStyle(xbsThick);
    EXPECT_EQ(b->Style()->BorderStyle(), xbsFlat);
    EXPECT_TRUE(b->Style()->Shadow()) << "other values still follow the controller";

    // Clearing the assigned values gives every value back to the controller at once.
    b->Style()->SetBorderColor(clRed);
    b->Style()->SetAssignedValues({});
    EXPECT_EQ(b->Style()->BorderStyle(), xbsThick);
    EXPECT_EQ(b->Style()->BorderColor(), clWindowFrame);

    // Removing the controller component clears the editor's reference.
    delete ctl;
    EXPECT_EQ(b->StyleController(), nullptr);
    EXPECT_EQ(b->Style()->BorderStyle(), xbsSingle);
}

TEST_F(EditStyle, AssignCopiesEveryValueAsOwn) {
    TForm* form = MakeForm("F");
    auto* a = Add<TvxEdit>(form, "A", 8, 8);
    auto* b = Add<TvxEdit>(form, "B", 8, 40);
    a->Style()->SetShadow(true);
    b->SetStyle(a->Style());
    EXPECT_TRUE(b->Style()->Shadow());
    EXPECT_EQ(b->Style()->AssignedValuesByte(), 0x7F);
    b->Style()->RestoreDefaults();
    EXPECT_EQ(b->Style()->AssignedValuesByte(), 0);
    EXPECT_FALSE(b->Style()->Shadow());
}

TEST_F(EditStyle, ControllerNotifiesOncePerUpdateBracketAndNotWhileLoading) {
    TForm* form = MakeForm("F");
    auto* ctl = new TvxEditStyleController(form);
    auto* e1 = Add<TCountingEdit>(form, "E1", 8, 8);
    auto* e2 = Add<TCountingEdit>(form, "E2", 8, 40);
    e1->SetStyleController(ctl);
    e2->SetStyleController(ctl);
    std::vector<TObject*> notified;
    ctl->OnStyleChanged = [&](TObject*, TObject* link) { notified.push_back(link); };
    e1->styleChanges = e2->styleChanges = 0;

    ctl->SetHotTrack(true);
    EXPECT_EQ(notified, (std::vector<TObject*>{e1, e2})) << "registration order";
    notified.clear();
    ctl->SetHotTrack(true);
    EXPECT_TRUE(notified.empty()) << "an unchanged value notifies nobody";

    ctl->BeginUpdate();
    ctl->BeginUpdate();
    ctl->SetBorderStyle(xbsFlat);
    ctl->SetShadow(true);
    ctl->EndUpdate();
    EXPECT_TRUE(notified.empty()) << "the inner bracket ends without a pass";
    ctl->EndUpdate();
    EXPECT_EQ(notified.size(), 2u);
    EXPECT_EQ(e1->styleChanges, 2) << "one SetHotTrack, one bracket";

    notified.clear();
    ctl->IncludeState(csLoading);
    ctl->SetEdges({edgBottom});
    ctl->SetBorderColor(clBlue);
    EXPECT_TRUE(notified.empty());
    ctl->Loaded();
    EXPECT_EQ(notified.size(), 2u) << "one pass at Loaded";

    notified.clear();
    ctl->RestoreDefaults();
    EXPECT_EQ(notified.size(), 2u);
    EXPECT_EQ(e2->Style()->Edges(), vxAllEdges);
}

TEST_F(EditStyle, EditorOfAnotherControllerIgnoresTheGlobalOne) {
    TForm* form = MakeForm("F");
    auto* ctl = new TvxEditStyleController(form);
    auto* own = Add<TCountingEdit>(form, "Own", 8, 8);
    auto* free = Add<TCountingEdit>(form, "Free", 8, 40);
    own->SetStyleController(ctl);
    own->styleChanges = free->styleChanges = 0;
    DefaultEditStyleController()->SetShadow(true);
    EXPECT_EQ(own->styleChanges, 0);
    EXPECT_EQ(free->styleChanges, 1);
    EXPECT_FALSE(own->Style()->Shadow());
    EXPECT_TRUE(free->Style()->Shadow());
}

TEST_F(EditStyle, EditorDefaultsAndAssignedBits) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxEdit>(form, "E", 8, 8);
    EXPECT_FALSE(e->ReadOnly());
    EXPECT_FALSE(e->IsStoredValuesStored());
    e->SetReadOnly(false);
    e->SetMaxLength(-5);
    EXPECT_EQ(e->MaxLength(), 0) << "a negative length means no limit";
    EXPECT_EQ(e->StoredValues(), avReadOnly | avMaxLength);
    e->SetAlignment(taRightJustify);
    EXPECT_TRUE(e->IsAssigned(avAlignment));
    e->RestoreDefaults();
    EXPECT_EQ(e->StoredValues(), 0);
    EXPECT_EQ(e->Alignment(), taLeftJustify);
    EXPECT_FALSE(e->IsStoredValuesStored());
    // "Height" is streamed only without the automatic height.
    EXPECT_FALSE(e->IsHeightStored());
    e->SetAutoSize(false);
    EXPECT_TRUE(e->IsHeightStored());
}
