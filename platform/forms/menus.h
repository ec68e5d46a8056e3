#pragma once
// TMenuItem / TPopupMenu: a pop-up menu of items (caption "-" is a separator) that opens at a
// screen point; a click on an enabled item closes the menu and fires its OnClick. A control's
// PopupMenu opens on a right click (AutoPopup). The menu window never takes the focus.

#include <memory>
#include <vector>

#include "platform/classes/component.h"
#include "platform/gdi/geometry.h"
#include "platform/win/window_handle.h"

class TMenuWindow;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    std::string ClassName() const override { return "TMenuItem"; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v) { caption_ = v; }
    bool IsLine() const { return caption_ == "-"; }
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool v) { radioItem_ = v; }
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    bool Default() const { return default_; }
    void SetDefault(bool v) { default_ = v; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v) { hint_ = v; }

    // Sub-items (owned by the item's owner as any component; the item only lists them).
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Remove(TMenuItem* Item);
    void Delete(int Index);
    // Frees the sub-items.
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

    virtual void Click();
    TNotifyEvent OnClick;

private:
    std::string caption_;
    bool checked_ = false;
    bool radioItem_ = false;
    int groupIndex_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    std::string hint_;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    std::string ClassName() const override { return "TPopupMenu"; }

    TMenuItem* Items() { return items_; }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool v) { autoPopup_ = v; }
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* v) { popupComponent_ = v; }

    // Opens the menu with its top-left corner at the screen point (fires OnPopup first).
    virtual void Popup(int X, int Y);
    void CloseMenu();
    bool IsOpen() const;
    // The open menu window and an item's rectangle in it (tests click there).
    HWND WindowHandle() const;
    TRect ItemRect(int Index) const;

    TNotifyEvent OnPopup;

private:
    TMenuItem* items_;
    bool autoPopup_ = true;
    TComponent* popupComponent_ = nullptr;
    std::unique_ptr<TMenuWindow> window_;
};
