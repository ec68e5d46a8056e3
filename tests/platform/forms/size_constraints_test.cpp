// Size limits: SetBounds, alignment and a tightened limit all keep a control inside them;
// a maximum below the minimum takes the minimum along.
#include "platform/forms/size_constraints.h"
#include "tests/platform/forms/forms_test_support.h"

namespace {

class SizeConstraints : public FormsTest {};

TEST_F(SizeConstraints, KeepWindowedAndGraphicControlsInsideTheLimits) {
    TForm* form = MakeForm("Form1", 300, 200);
    auto* box = Add<TTestBox>(form, "Box1", 8, 8);
    auto* swatch = Add<TTestSwatch>(form, "Swatch1", 8, 100);
    for (TControl* c : {static_cast<TControl*>(box), static_cast<TControl*>(swatch)}) {
        c->SetBounds(c->Left(), c->Top(), 60, 30);
        TSizeConstraints* limits = c->Constraints();
        limits->SetMinWidth(50);
        limits->SetMaxWidth(100);
        limits->SetMinHeight(20);
        limits->SetMaxHeight(40);
        EXPECT_EQ(c->Width(), 60) << c->Name() << ": a size inside the limits stays";
        c->SetBounds(c->Left(), c->Top(), 10, 200);
        EXPECT_EQ(c->Width(), 50) << c->Name();
        EXPECT_EQ(c->Height(), 40) << c->Name();
        c->SetWidth(500);
        EXPECT_EQ(c->Width(), 100) << c->Name();
        // Tightening a limit resizes the control at once.
        limits->SetMaxWidth(70);
        EXPECT_EQ(c->Width(), 70) << c->Name();
        limits->SetMaxHeight(10);
        EXPECT_EQ(limits->MinHeight(), 10) << c->Name();
        EXPECT_EQ(c->Height(), 10) << c->Name();
    }
    // Alignment sizes through SetBounds too.
    auto* client = Add<TTestBox>(form, "Client", 0, 0);
    client->Constraints()->SetMaxWidth(120);
    client->SetAlign(alClient);
    EXPECT_EQ(client->Width(), 120);
    EXPECT_GT(client->Height(), 100);
}

}  // namespace
