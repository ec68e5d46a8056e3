#pragma once
// TvxEditStyle: the border and button look of one editor. Each value is either the
// editor's own (its bit in AssignedValues is set) or follows a default: the editor's style
// controller, else the global default controller, else a constant. The tree list derives
// its own style and overrides the Default* operations.

#include "controls/vx_edit_types.h"
#include "platform/classes/persistent.h"
#include "platform/gdi/color.h"
#include "platform/gdi/gdi_objects.h"

class TvxEditStyleController;

class TvxEditStyle : public TPersistent {
public:
    // Registers AEdit with the global default controller when there is one.
    explicit TvxEditStyle(TvxInplaceEdit* AEdit);
    ~TvxEditStyle() override;
    std::string ClassName() const override { return "TvxEditStyle"; }

    TvxInplaceEdit* Edit() const { return edit_; }

    TvxEditStyleValues AssignedValues() const { return assignedValues_; }
    void SetAssignedValues(TvxEditStyleValues v);
    // Raw byte of AssignedValues as streamed (bit 0x01 svBorderColor ... 0x40 svShadow).
    uint8_t AssignedValuesByte() const { return static_cast<uint8_t>(assignedValues_.Bits()); }

    TColor BorderColor() const;
    void SetBorderColor(TColor v);
    TvxEditBorderStyle BorderStyle() const;
    void SetBorderStyle(TvxEditBorderStyle v);
    TvxEditButtonViewStyle ButtonStyle() const;
    void SetButtonStyle(TvxEditButtonViewStyle v);
    TvxEditButtonTransparence ButtonTransparence() const;
    void SetButtonTransparence(TvxEditButtonTransparence v);
    TvxEditEdges Edges() const;
    void SetEdges(TvxEditEdges v);
    bool HotTrack() const;
    void SetHotTrack(bool v);
    bool Shadow() const;
    void SetShadow(bool v);

    // Stored-in-stream tests: a value is written only when assigned.
    bool IsAssigned(TvxEditStyleValue v) const { return assignedValues_.Contains(v); }

    void Assign(TPersistent* Source) override;

    // Tells the owning editor (StyleChanged).
    virtual void Changed();
    virtual TColor DefaultBorderColor() const;
    virtual TvxEditBorderStyle DefaultBorderStyle() const;
    virtual TvxEditButtonViewStyle DefaultButtonStyle() const;
    virtual TvxEditButtonTransparence DefaultButtonTransparence() const;
    virtual TvxEditEdges DefaultEdges() const;
    virtual bool DefaultHotTrack() const;
    virtual bool DefaultShadow() const;
    // The global default controller (null before the editor unit started).
    static TvxEditStyleController* GetDefaultStyleController();
    virtual void RestoreDefaults();

private:
    // The controller defaults come from: the editor's own, else the global one.
    TvxEditStyleController* SourceController() const;
    void Assigned(TvxEditStyleValue v);

    TvxEditStyleValues assignedValues_;
    TColor borderColor_ = clWindowFrame;
    TvxEditBorderStyle borderStyle_ = xbs3D;
    TvxEditButtonViewStyle buttonStyle_ = btsDefault;
    TvxEditButtonTransparence buttonTransparence_ = ebtNone;
    TvxEditEdges edges_ = vxAllEdges;
    TvxInplaceEdit* edit_ = nullptr;
    bool hotTrack_ = false;
    bool shadow_ = false;
};

// Unit state of the editor base: the global default controller and the shared shadow
// brush (solid, clBtnShadow). Made by vxEditorsStartup (vx_editors_unit.h).
TvxEditStyleController* DefaultEditStyleController();
void SetDefaultEditStyleController(TvxEditStyleController* Controller);
// Null before start-up; the border painting then makes a brush of its own.
HBRUSH vxShadowBrush();
void SetShadowBrush(HBRUSH Brush);
