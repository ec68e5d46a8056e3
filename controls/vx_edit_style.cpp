#include "controls/vx_edit_style.h"

#include "controls/vx_inplace_edit.h"
#include "controls/vx_style_controller.h"

namespace {
TvxEditStyleController* g_defaultController = nullptr;
HBRUSH g_shadowBrush = nullptr;
}  // namespace

TvxEditStyleController* DefaultEditStyleController() { return g_defaultController; }
void SetDefaultEditStyleController(TvxEditStyleController* Controller) { g_defaultController = Controller; }
HBRUSH vxShadowBrush() { return g_shadowBrush; }
void SetShadowBrush(HBRUSH Brush) { g_shadowBrush = Brush; }

TvxEditStyle::TvxEditStyle(TvxInplaceEdit* AEdit) : edit_(AEdit) {
    if (g_defaultController && edit_) g_defaultController->AddEditor(edit_);
}

TvxEditStyle::~TvxEditStyle() {
    if (g_defaultController && edit_) g_defaultController->RemoveEditor(edit_);
}

TvxEditStyleController* TvxEditStyle::GetDefaultStyleController() { return g_defaultController; }

TvxEditStyleController* TvxEditStyle::SourceController() const {
    if (edit_ && edit_->StyleController()) return edit_->StyleController();
    return GetDefaultStyleController();
}

void TvxEditStyle::SetAssignedValues(TvxEditStyleValues v) {
    if (assignedValues_ == v) return;
    assignedValues_ = v;
    Changed();
}

void TvxEditStyle::Assigned(TvxEditStyleValue v) {
    assignedValues_.Include(v);
    Changed();
}

TColor TvxEditStyle::BorderColor() const {
    return assignedValues_.Contains(svBorderColor) ? borderColor_ : DefaultBorderColor();
}
void TvxEditStyle::SetBorderColor(TColor v) {
    if (assignedValues_.Contains(svBorderColor) && borderColor_ == v) return;
    borderColor_ = v;
    Assigned(svBorderColor);
}

TvxEditBorderStyle TvxEditStyle::BorderStyle() const {
    return assignedValues_.Contains(svBorderStyle) ? borderStyle_ : DefaultBorderStyle();
}
void TvxEditStyle::SetBorderStyle(TvxEditBorderStyle v) {
    if (assignedValues_.Contains(svBorderStyle) && borderStyle_ == v) return;
    borderStyle_ = v;
    Assigned(svBorderStyle);
}

TvxEditButtonViewStyle TvxEditStyle::ButtonStyle() const {
    return assignedValues_.Contains(svButtonStyle) ? buttonStyle_ : DefaultButtonStyle();
}
void TvxEditStyle::SetButtonStyle(TvxEditButtonViewStyle v) {
    if (assignedValues_.Contains(svButtonStyle) && buttonStyle_ == v) return;
    buttonStyle_ = v;
    Assigned(svButtonStyle);
}

TvxEditButtonTransparence TvxEditStyle::ButtonTransparence() const {
    return assignedValues_.Contains(svButtonTransparence) ? buttonTransparence_ : DefaultButtonTransparence();
}
void TvxEditStyle::SetButtonTransparence(TvxEditButtonTransparence v) {
    if (assignedValues_.Contains(svButtonTransparence) && buttonTransparence_ == v) return;
    buttonTransparence_ = v;
    Assigned(svButtonTransparence);
}

TvxEditEdges TvxEditStyle::Edges() const { return assignedValues_.Contains(svEdges) ? edges_ : DefaultEdges(); }
void TvxEditStyle::SetEdges(TvxEditEdges v) {
    if (assignedValues_.Contains(svEdges) && edges_ == v) return;
    edges_ = v;
    Assigned(svEdges);
}

bool TvxEditStyle::HotTrack() const { return assignedValues_.Contains(svHotTrack) ? hotTrack_ : DefaultHotTrack(); }
void TvxEditStyle::SetHotTrack(bool v) {
    if (assignedValues_.Contains(svHotTrack) && hotTrack_ == v) return;
    hotTrack_ = v;
    Assigned(svHotTrack);
}

bool TvxEditStyle::Shadow() const { return assignedValues_.Contains(svShadow) ? shadow_ : DefaultShadow(); }
void TvxEditStyle::SetShadow(bool v) {
    if (assignedValues_.Contains(svShadow) && shadow_ == v) return;
    shadow_ = v;
    Assigned(svShadow);
}

void TvxEditStyle::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TvxEditStyle*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    SetBorderColor(src->BorderColor());
    SetBorderStyle(src->BorderStyle());
    SetButtonStyle(src->ButtonStyle());
    SetButtonTransparence(src->ButtonTransparence());
    SetEdges(src->Edges());
    SetHotTrack(src->HotTrack());
    SetShadow(src->Shadow());
}

void TvxEditStyle::Changed() {
    if (edit_) edit_->StyleChanged();
}

TColor TvxEditStyle::DefaultBorderColor() const {
    TvxEditStyleController* c = SourceController();
    return c ? c->BorderColor() : clWindowFrame;
}
TvxEditBorderStyle TvxEditStyle::DefaultBorderStyle() const {
    TvxEditStyleController* c = SourceController();
    return c ? c->BorderStyle() : xbs3D;
}
TvxEditButtonViewStyle TvxEditStyle::DefaultButtonStyle() const {
    TvxEditStyleController* c = SourceController();
    return c ? c->ButtonStyle() : btsDefault;
}
TvxEditButtonTransparence TvxEditStyle::DefaultButtonTransparence() const {
    TvxEditStyleController* c = SourceController();
    return c ? c->ButtonTransparence() : ebtNone;
}
TvxEditEdges TvxEditStyle::DefaultEdges() const {
    TvxEditStyleController* c = SourceController();
    return c ? c->Edges() : vxAllEdges;
}
bool TvxEditStyle::DefaultHotTrack() const {
    TvxEditStyleController* c = SourceController();
    return c ? c->HotTrack() : false;
}
bool TvxEditStyle::DefaultShadow() const {
    TvxEditStyleController* c = SourceController();
    return c ? c->Shadow() : false;
}

void TvxEditStyle::RestoreDefaults() {
    assignedValues_ = {};
    Changed();
}
