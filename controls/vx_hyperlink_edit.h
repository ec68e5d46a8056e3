#pragma once
// TvxInplaceHyperLinkEdit: a text editor whose text is a link (a file, document or
// address) that the desktop's opener starts. The text is painted underlined in LinkColor
// and the mouse shows the hand over it. An editable stand-alone editor starts the link by
// StartKey or a double click, so that a single click still places the caret; in a cell,
// read-only, or with SingleClick a single click starts it.
//
// The text comes from the data, so it is untrusted: it reaches the opener as its one
// argument, never through a command line, and a text that would read as an option
// (leading "-") is not passed at all.

#include <cstdint>
#include <memory>

#include "controls/vx_text_edit.h"
#include "platform/forms/short_cut.h"

struct TvxHyperLinkEditViewData : TvxTextEditViewData {
    bool LinkActive = false;  // a plain click in this cell starts the link
};

class TvxInplaceHyperLinkEditClass : public TvxInplaceTextEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceHyperLinkEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    std::unique_ptr<TvxEditViewData> CreateViewData() const override;
    TCursor GetCursorAt(int X, int Y, const TvxEditViewData& ViewData) const override;
};

class TvxInplaceHyperLinkEdit : public TvxInplaceTextEdit {
public:
    explicit TvxInplaceHyperLinkEdit(TComponent* AOwner);
    ~TvxInplaceHyperLinkEdit() override;
    static const TvxInplaceHyperLinkEditClass& StaticClass();

    // ---- Properties ----
    TColor LinkColor() const { return linkColor_; }
    void SetLinkColor(TColor v);
    // The editor font, underlined, in LinkColor (made on first use).
    TFont* GetLinkFont();
    bool SingleClick() const { return singleClick_; }
    void SetSingleClick(bool v) { singleClick_ = v; }
    TShortCut StartKey() const { return startKey_; }
    void SetStartKey(TShortCut v) { startKey_ = v; }
    TNotifyEvent OnStartClick;

    // Starts the link: OnStartClick when set, else the desktop opener (not for a blank
    // text, nor for one starting with "-").
    virtual void DoStartClick();

    // ---- Overrides ----
    std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy) override;
    void ActivateByClick() override;
    void AfterFocusEdit() override;

protected:
    TvxInplaceHyperLinkEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    TFont* CharFormatFont() override { return GetLinkFont(); }
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMLButtonDblClk(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

private:
    bool StartsOnSingleClick() const;

    TColor linkColor_ = clBlue;
    std::unique_ptr<TFont> linkFont_;
    bool singleClick_ = false;
    TShortCut startKey_ = scCtrl | 0x0D;
};
