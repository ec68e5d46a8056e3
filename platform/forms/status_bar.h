#pragma once
// TStatusBar: a bar at the bottom of a form with panels (each with text, width, alignment
// and bevel), or one simple text across the whole bar; a size grip at the right end.

#include <memory>
#include <vector>

#include "platform/forms/win_control.h"

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusBar;

class TStatusPanel {
public:
    explicit TStatusPanel(TStatusBar* owner) : owner_(owner) {}
    const std::string& Text() const { return text_; }
    void SetText(const std::string& v);
    int Width() const { return width_; }
    void SetWidth(int v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel v);
    int Index() const;

private:
    TStatusBar* owner_;
    std::string text_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusPanels {
public:
    explicit TStatusPanels(TStatusBar* owner) : owner_(owner) {}
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError for an index outside the panels.
    TStatusPanel* Items(int Index) const;
    TStatusPanel* operator[](int Index) const { return Items(Index); }
    TStatusPanel* Add();
    void Delete(int Index);
    void Clear();

private:
    friend class TStatusPanel;
    TStatusBar* owner_;
    std::vector<std::unique_ptr<TStatusPanel>> items_;
};

class TStatusBar : public TCustomControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    std::string ClassName() const override { return "TStatusBar"; }

    TStatusPanels* Panels() { return &panels_; }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool v);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& v);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool v);
    // A panel's rectangle in client coordinates (the last one reaches to the grip).
    TRect PanelRect(int Index);
    // Only that panel is painted again: a ticker that changes on every frame must not
    // repaint the whole bar each time.
    void InvalidatePanel(int Index);

protected:
    void Paint() override;

private:
    TStatusPanels panels_{this};
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
};
