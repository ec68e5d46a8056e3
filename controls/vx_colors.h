#pragma once
// TvxColors: the eleven colours of a TvxButton. Setting a different value rebuilds the
// button's gradient bitmaps; setting the same value does nothing.

#include "platform/classes/persistent.h"
#include "platform/gdi/color.h"

class TvxButton;

class TvxColors : public TPersistent {
public:
    explicit TvxColors(TvxButton* AOwner) : owner_(AOwner) {}
    std::string ClassName() const override { return "TvxColors"; }
    void Assign(TPersistent* Source) override;

    TColor BackgroundFrom() const { return backgroundFrom_; }
    TColor BackgroundTo() const { return backgroundTo_; }
    TColor BorderEdges() const { return borderEdges_; }
    TColor BorderLine() const { return borderLine_; }
    TColor ClickedFrom() const { return clickedFrom_; }
    TColor ClickedTo() const { return clickedTo_; }
    TColor FocusedFrom() const { return focusedFrom_; }
    TColor FocusedTo() const { return focusedTo_; }
    TColor HighlightFrom() const { return highlightFrom_; }
    TColor HighlightTo() const { return highlightTo_; }
    TColor HotTrack() const { return hotTrack_; }
    virtual void SetBackgroundFrom(TColor v) { Set(backgroundFrom_, v); }
    virtual void SetBackgroundTo(TColor v) { Set(backgroundTo_, v); }
    virtual void SetBorderEdges(TColor v) { Set(borderEdges_, v); }
    virtual void SetBorderLine(TColor v) { Set(borderLine_, v); }
    virtual void SetClickedFrom(TColor v) { Set(clickedFrom_, v); }
    virtual void SetClickedTo(TColor v) { Set(clickedTo_, v); }
    virtual void SetFocusedFrom(TColor v) { Set(focusedFrom_, v); }
    virtual void SetFocusedTo(TColor v) { Set(focusedTo_, v); }
    virtual void SetHighlightFrom(TColor v) { Set(highlightFrom_, v); }
    virtual void SetHighlightTo(TColor v) { Set(highlightTo_, v); }
    virtual void SetHotTrack(TColor v) { Set(hotTrack_, v); }
    TvxButton* Owner() const { return owner_; }

private:
    void Set(TColor& field, TColor v);
    TColor backgroundFrom_ = 16777215;
    TColor backgroundTo_ = 15199215;
    TColor borderEdges_ = 11376251;
    TColor borderLine_ = 7552000;
    TColor clickedFrom_ = 13029334;
    TColor clickedTo_ = 15463415;
    TColor focusedFrom_ = 16771022;
    TColor focusedTo_ = 15697005;
    TColor highlightFrom_ = 13562879;
    TColor highlightTo_ = 38631;
    TColor hotTrack_ = 255;
    TvxButton* owner_;
};
