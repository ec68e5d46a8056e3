#include "controls/vx_style_controller.h"

#include <algorithm>

#include "controls/vx_inplace_edit.h"

TvxStyleController::TvxStyleController(TComponent* AOwner) : TComponent(AOwner) {}

TvxStyleController::~TvxStyleController() {
    // Editors of the same owner hear nothing from the owner while it frees its components:
    // every editor tied to this controller lets go of it here.
    Destroying();
    std::vector<TvxInplaceEdit*> editors = editors_;
    for (TvxInplaceEdit* e : editors)
        if (e->StyleController() == this) e->SetStyleController(nullptr);
}

void TvxStyleController::EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
    Changed();
}

void TvxStyleController::Changed() {
    if (updateCount_ != 0 || HasState(csLoading)) return;
    // An editor may leave the list while it is told (its handler frees it): walk a copy and
    // skip the ones that are gone.
    std::vector<TvxInplaceEdit*> editors = editors_;
    for (TvxInplaceEdit* e : editors)
        if (std::find(editors_.begin(), editors_.end(), e) != editors_.end()) EditorStyleChanged(e);
}

void TvxStyleController::Loaded() {
    TComponent::Loaded();
    Changed();
}

void TvxStyleController::AddEditor(TvxInplaceEdit* Editor) { editors_.push_back(Editor); }

void TvxStyleController::RemoveEditor(TvxInplaceEdit* Editor) {
    auto it = std::find(editors_.begin(), editors_.end(), Editor);
    if (it != editors_.end()) editors_.erase(it);
}

void TvxStyleController::EditorStyleChanged(TvxInplaceEdit* Editor) {
    if (OnStyleChanged) OnStyleChanged(this, Editor);
}

// ---- TvxEditStyleController ----

TvxEditStyleController::TvxEditStyleController(TComponent* AOwner) : TvxStyleController(AOwner) {}

void TvxEditStyleController::SetBorderColor(TColor v) {
    if (borderColor_ == v) return;
    borderColor_ = v;
    Changed();
}

void TvxEditStyleController::SetBorderStyle(TvxEditBorderStyle v) {
    if (borderStyle_ == v) return;
    borderStyle_ = v;
    Changed();
}

void TvxEditStyleController::SetButtonStyle(TvxEditButtonViewStyle v) {
    if (buttonStyle_ == v) return;
    buttonStyle_ = v;
    Changed();
}

void TvxEditStyleController::SetButtonTransparence(TvxEditButtonTransparence v) {
    if (buttonTransparence_ == v) return;
    buttonTransparence_ = v;
    Changed();
}

void TvxEditStyleController::SetEdges(TvxEditEdges v) {
    if (edges_ == v) return;
    edges_ = v;
    Changed();
}

void TvxEditStyleController::SetHotTrack(bool v) {
    if (hotTrack_ == v) return;
    hotTrack_ = v;
    Changed();
}

void TvxEditStyleController::SetShadow(bool v) {
    if (shadow_ == v) return;
    shadow_ = v;
    Changed();
}

void TvxEditStyleController::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TvxEditStyleController*>(Source);
    if (!src) {
        TvxStyleController::Assign(Source);
        return;
    }
    BeginUpdate();
    SetBorderColor(src->BorderColor());
    SetBorderStyle(src->BorderStyle());
    SetButtonStyle(src->ButtonStyle());
    SetButtonTransparence(src->ButtonTransparence());
    SetEdges(src->Edges());
    SetHotTrack(src->HotTrack());
    SetShadow(src->Shadow());
    EndUpdate();
}

void TvxEditStyleController::RestoreDefaults() {
    BeginUpdate();
    SetBorderColor(clWindowFrame);
    SetBorderStyle(xbs3D);
    SetButtonStyle(btsDefault);
    SetButtonTransparence(ebtNone);
    SetEdges(vxAllEdges);
    SetHotTrack(false);
    SetShadow(false);
    EndUpdate();
}

void TvxEditStyleController::EditorStyleChanged(TvxInplaceEdit* Editor) {
    if (Editor->StyleController() != nullptr && Editor->StyleController() != this) return;
    Editor->StyleChanged();
    TvxStyleController::EditorStyleChanged(Editor);
}
