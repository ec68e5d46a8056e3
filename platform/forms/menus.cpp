#include "platform/forms/menus.h"

#include <algorithm>

#include "platform/forms/control.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/form.h"
#include "platform/forms/popup_window.h"
#include "platform/rtl/exception.h"
#include "platform/win/input.h"

namespace {
constexpr int kItemHeight = 19;
constexpr int kLineHeight = 9;
constexpr int kTextLeft = 20;

void ShowControlMenu(TPopupMenu* menu, TControl* control, int x, int y) {
    if (!menu || !menu->AutoPopup()) return;
    menu->SetPopupComponent(control);
    menu->Popup(x, y);
}
}  // namespace

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    for (TMenuItem* i : items_) i->parent_ = nullptr;
    if (parent_) parent_->Remove(this);
}

void TMenuItem::SetChecked(bool v) {
    if (checked_ == v) return;
    checked_ = v;
    if (v && radioItem_ && parent_)
        for (TMenuItem* other : parent_->items_)
            if (other != this && other->radioItem_ && other->groupIndex_ == groupIndex_) other->checked_ = false;
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return items_[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item || Item->parent_) throw EInvalidOperation("Menu inserted twice");
    Index = std::clamp(Index, 0, Count());
    items_.insert(items_.begin() + Index, Item);
    Item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto it = std::find(items_.begin(), items_.end(), Item);
    if (it == items_.end()) return;
    items_.erase(it);
    Item->parent_ = nullptr;
}

void TMenuItem::Delete(int Index) { Remove(Items(Index)); }

void TMenuItem::Clear() {
    std::vector<TMenuItem*> old;
    old.swap(items_);
    for (TMenuItem* i : old) {
        i->parent_ = nullptr;
        delete i;
    }
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Click() {
    if (enabled_ && OnClick) OnClick(this);
}

// ---- The menu window ----

class TMenuWindow : public TPopupWindow {
public:
    explicit TMenuWindow(TPopupMenu* menu) : menu_(menu) {}
    int hot = -1;

    TRect ItemRect(int index) const {
        TMenuItem* root = menu_->Items();
        int y = 3;
        for (int i = 0; i < root->Count(); ++i) {
            TMenuItem* item = root->Items(i);
            if (!item->Visible()) {
                if (i == index) return {};
                continue;
            }
            int h = item->IsLine() ? kLineHeight : kItemHeight;
            if (i == index) return Rect(3, y, ClientRect().Width() - 3, y + h);
            y += h;
        }
        return {};
    }
    TSize Measure(TFont* font) const {
        TMenuItem* root = menu_->Items();
        int w = 80;
        int h = 6;
        for (int i = 0; i < root->Count(); ++i) {
            TMenuItem* item = root->Items(i);
            if (!item->Visible()) continue;
            h += item->IsLine() ? kLineHeight : kItemHeight;
            if (!item->IsLine())
                w = std::max(
                    w, MeasureText(font, item->Caption(), Rect(0, 0, 0, 0), DT_SINGLELINE).Width() + 2 * kTextLeft + 6);
        }
        return {w, h};
    }

protected:
    int ItemAt(TPoint p) const {
        for (int i = 0; i < menu_->Items()->Count(); ++i)
            if (PtInRect(ItemRect(i), p)) return i;
        return -1;
    }
    void Paint(TCanvas* c) override {
        TRect r = ClientRect();
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clMenu);
        c->FillRect(r);
        DrawEdge(c->Handle(), r, EDGE_RAISED, BF_RECT);
        TMenuItem* root = menu_->Items();
        for (int i = 0; i < root->Count(); ++i) {
            TMenuItem* item = root->Items(i);
            TRect ir = ItemRect(i);
            if (IsRectEmpty(ir)) continue;
            if (item->IsLine()) {
                TRect line = Rect(ir.Left + 1, ir.Top + kLineHeight / 2 - 1, ir.Right - 1,
                                  ir.Top + kLineHeight / 2 + 1);
                DrawEdge(c->Handle(), line, EDGE_ETCHED, BF_TOP);
                continue;
            }
            bool sel = i == hot && item->Enabled();
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(sel ? clHighlight : clMenu);
            c->FillRect(ir);
            c->Font()->SetStyle(item->Default() ? TFontStyles{fsBold} : TFontStyles{});
            c->Font()->SetColor(sel ? clHighlightText : clMenuText);
            TRect t = ir;
            t.Left += kTextLeft;
            DrawControlText(c, item->Caption(), t, DT_SINGLELINE | DT_VCENTER, item->Enabled() || sel);
            if (item->Checked()) {
                c->Pen()->SetColor(sel ? clHighlightText : clMenuText);
                int x = ir.Left + 6;
                int y = ir.Top + kItemHeight / 2;
                if (item->RadioItem()) {
                    c->Brush()->SetColor(sel ? clHighlightText : clMenuText);
                    c->Ellipse(x + 1, y - 2, x + 6, y + 3);
                } else {
                    for (int k = 0; k < 3; ++k) {
                        c->MoveTo(x, y - 1 + k);
                        c->LineTo(x + 2, y + 1 + k);
                        c->LineTo(x + 7, y - 4 + k);
                    }
                }
            }
        }
    }
    void MouseMove(TPoint p) override {
        int i = ItemAt(p);
        if (i != hot) {
            hot = i;
            Invalidate();
        }
    }
    void MouseLeave() override {
        if (hot != -1) {
            hot = -1;
            Invalidate();
        }
    }
    void MouseUp(TPoint p) override { Choose(ItemAt(p)); }
    // An open menu owns the keyboard, as a menu does on Windows: keys never reach the window
    // below it while it is on screen.
    bool KeyDown(uint16_t key) override {
        switch (key) {
            case VK_ESCAPE:
            case VK_MENU:
            case VK_F10: Close(); break;
            case VK_UP:
            case VK_DOWN: MoveHot(key == VK_DOWN ? 1 : -1); break;
            case VK_HOME:
            case VK_END:
                hot = key == VK_HOME ? -1 : menu_->Items()->Count();
                MoveHot(key == VK_HOME ? 1 : -1);
                break;
            case VK_RETURN: Choose(hot); break;
            default: break;
        }
        return true;
    }

private:
    bool Selectable(int i) const {
        TMenuItem* item = menu_->Items()->Items(i);
        return item->Visible() && !item->IsLine() && item->Enabled();
    }
    // The next selectable item in that direction, wrapping round; stays put when none.
    void MoveHot(int step) {
        const int n = menu_->Items()->Count();
        int i = hot < 0 && step < 0 ? n : hot;
        for (int k = 0; k < n; ++k) {
            i = ((i + step) % n + n) % n;
            if (Selectable(i)) {
                hot = i;
                Invalidate();
                return;
            }
        }
    }
    void Choose(int i) {
        if (i < 0 || i >= menu_->Items()->Count() || !Selectable(i)) return;
        TMenuItem* item = menu_->Items()->Items(i);
        Close();
        // The item's handler may free the menu: nothing touches `this` afterwards.
        item->Click();
    }

private:
    TPopupMenu* menu_;
};

// ---- TPopupMenu ----

TPopupMenu::TPopupMenu(TComponent* AOwner)
    : TComponent(AOwner), items_(new TMenuItem(this)), window_(std::make_unique<TMenuWindow>(this)) {
    TControl::SetPopupMenuShow(&ShowControlMenu);
}

TPopupMenu::~TPopupMenu() { window_.reset(); }

void TPopupMenu::Popup(int X, int Y) {
    CloseMenu();
    if (OnPopup) OnPopup(this);
    bool any = false;
    for (int i = 0; i < items_->Count(); ++i) any = any || items_->Items(i)->Visible();
    if (!any) return;
    TFont font;
    TSize size = window_->Measure(&font);
    window_->hot = -1;
    HWND owner = GetActiveWindow();
    if (auto* control = dynamic_cast<TControl*>(popupComponent_))
        if (TCustomForm* form = GetParentForm(control)) owner = form->Handle();
    window_->Open(owner, Bounds(X, Y, size.cx, size.cy), Y);
}

void TPopupMenu::CloseMenu() { window_->Close(); }
bool TPopupMenu::IsOpen() const { return window_->IsOpen(); }
HWND TPopupMenu::WindowHandle() const { return window_->Handle(); }
TRect TPopupMenu::ItemRect(int Index) const { return window_->ItemRect(Index); }
