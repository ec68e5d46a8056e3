#pragma once
// Style controllers: one component that holds a form-wide editor look. Editors register
// with a controller; a change of any value notifies every registered editor in
// registration order, once per outermost BeginUpdate/EndUpdate bracket and never while the
// controller is loading (Loaded notifies once).

#include <vector>

#include "controls/vx_edit_types.h"
#include "platform/classes/component.h"
#include "platform/gdi/color.h"

class TvxStyleController : public TComponent {
public:
    explicit TvxStyleController(TComponent* AOwner);
    ~TvxStyleController() override;
    std::string ClassName() const override { return "TvxStyleController"; }

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void Changed();
    void Loaded() override;

    virtual void AddEditor(TvxInplaceEdit* Editor);
    virtual void RemoveEditor(TvxInplaceEdit* Editor);
    virtual void EditorStyleChanged(TvxInplaceEdit* Editor);

    int EditorCount() const { return static_cast<int>(editors_.size()); }
    TvxInplaceEdit* Editors(int Index) const { return editors_.at(static_cast<size_t>(Index)); }
    int UpdateCount() const { return updateCount_; }

    TvxStyleChangedEvent OnStyleChanged;

private:
    std::vector<TvxInplaceEdit*> editors_;
    int updateCount_ = 0;
};

class TvxEditStyleController : public TvxStyleController {
public:
    explicit TvxEditStyleController(TComponent* AOwner);
    std::string ClassName() const override { return "TvxEditStyleController"; }

    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor v);
    TvxEditBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TvxEditBorderStyle v);
    TvxEditButtonViewStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TvxEditButtonViewStyle v);
    TvxEditButtonTransparence ButtonTransparence() const { return buttonTransparence_; }
    void SetButtonTransparence(TvxEditButtonTransparence v);
    TvxEditEdges Edges() const { return edges_; }
    void SetEdges(TvxEditEdges v);
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool v);
    bool Shadow() const { return shadow_; }
    void SetShadow(bool v);

    void Assign(TPersistent* Source) override;
    virtual void RestoreDefaults();
    // Only an editor tied to this controller (or to none) follows it.
    void EditorStyleChanged(TvxInplaceEdit* Editor) override;

private:
    TColor borderColor_ = clWindowFrame;
    TvxEditBorderStyle borderStyle_ = xbs3D;
    TvxEditButtonViewStyle buttonStyle_ = btsDefault;
    TvxEditButtonTransparence buttonTransparence_ = ebtNone;
    TvxEditEdges edges_ = vxAllEdges;
    bool hotTrack_ = false;
    bool shadow_ = false;
};
