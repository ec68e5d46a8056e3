#include "controls/vx_check_edit_style.h"

#include "controls/vx_editors_unit.h"
#include "controls/vx_inplace_edit.h"

namespace {

TvxStyleController* MakeCheckController() { return new TvxCheckEditStyleController(nullptr); }

// The editor units make the shared check controller at start-up through this factory.
const bool g_factoryRegistered = (vxSetCheckEditStyleControllerFactory(&MakeCheckController), true);

}  // namespace

TvxCheckEditStyleController::TvxCheckEditStyleController(TComponent* AOwner) : TvxEditStyleController(AOwner) {
    (void)g_factoryRegistered;
    SetBorderStyle(xbsNone);
    SetButtonStyle(bts3D);
}

void TvxCheckEditStyleController::RestoreDefaults() {
    BeginUpdate();
    TvxEditStyleController::RestoreDefaults();
    SetBorderStyle(xbsNone);
    SetButtonStyle(bts3D);
    EndUpdate();
}

TvxCheckEditStyleController* TvxCheckEditStyle::GetDefaultCheckStyleController() {
    return dynamic_cast<TvxCheckEditStyleController*>(vxDefaultCheckEditStyleController());
}

TvxCheckEditStyle::TvxCheckEditStyle(TvxInplaceEdit* AEdit) : TvxEditStyle(AEdit) {
    registeredWith_ = GetDefaultCheckStyleController();
    if (registeredWith_ && AEdit) registeredWith_->AddEditor(AEdit);
}

TvxCheckEditStyle::~TvxCheckEditStyle() {
    // The shared controller may have gone with the editor units' shut-down.
    if (registeredWith_ && registeredWith_ == GetDefaultCheckStyleController() && Edit())
        registeredWith_->RemoveEditor(Edit());
}

TvxEditStyleController* TvxCheckEditStyle::CheckSource() const {
    if (Edit() && Edit()->StyleController()) return nullptr;
    return GetDefaultCheckStyleController();
}

TColor TvxCheckEditStyle::DefaultBorderColor() const {
    TvxEditStyleController* c = CheckSource();
    return c ? c->BorderColor() : TvxEditStyle::DefaultBorderColor();
}
TvxEditBorderStyle TvxCheckEditStyle::DefaultBorderStyle() const {
    TvxEditStyleController* c = CheckSource();
    return c ? c->BorderStyle() : TvxEditStyle::DefaultBorderStyle();
}
TvxEditButtonViewStyle TvxCheckEditStyle::DefaultButtonStyle() const {
    TvxEditStyleController* c = CheckSource();
    return c ? c->ButtonStyle() : TvxEditStyle::DefaultButtonStyle();
}
TvxEditButtonTransparence TvxCheckEditStyle::DefaultButtonTransparence() const {
    TvxEditStyleController* c = CheckSource();
    return c ? c->ButtonTransparence() : TvxEditStyle::DefaultButtonTransparence();
}
TvxEditEdges TvxCheckEditStyle::DefaultEdges() const {
    TvxEditStyleController* c = CheckSource();
    return c ? c->Edges() : TvxEditStyle::DefaultEdges();
}
bool TvxCheckEditStyle::DefaultHotTrack() const {
    TvxEditStyleController* c = CheckSource();
    return c ? c->HotTrack() : TvxEditStyle::DefaultHotTrack();
}
bool TvxCheckEditStyle::DefaultShadow() const {
    TvxEditStyleController* c = CheckSource();
    return c ? c->Shadow() : TvxEditStyle::DefaultShadow();
}
