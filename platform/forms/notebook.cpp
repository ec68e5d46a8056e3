#include "platform/forms/notebook.h"

#include "platform/forms/form.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"

TPage::TPage(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ |= csAcceptsControls;
    SetVisible(false);
    SetAlign(alClient);
    SetParentColor(true);
}

TNotebook::TNotebook(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csOpaque | csDoubleClicks;
    SetBounds(0, 0, 150, 150);
    SetColor(clBtnFace);
    SetParentColor(true);
    AddPage("Default");
    SetPageIndex(0);
}

TPage* TNotebook::Page(int Index) const {
    if (Index < 0 || Index >= PageCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return pages_[static_cast<size_t>(Index)];
}

TPage* TNotebook::PageByName(const std::string& Name) const {
    for (TPage* p : pages_)
        if (AnsiSameText(p->Caption(), Name)) return p;
    return nullptr;
}

std::vector<std::string> TNotebook::PageNames() const {
    std::vector<std::string> names;
    for (TPage* p : pages_) names.push_back(p->Caption());
    return names;
}

TPage* TNotebook::AddPage(const std::string& Name) {
    auto* page = new TPage(this);
    page->SetCaption(Name);
    pages_.push_back(page);
    page->SetParent(this);
    return page;
}

void TNotebook::SetPages(const std::vector<std::string>& Names) {
    std::vector<TPage*> old;
    old.swap(pages_);
    pageIndex_ = -1;
    for (TPage* p : old) {
        // Leaves the parent before it dies, so no list of the parent keeps it.
        p->SetParent(nullptr);
        delete p;
    }
    for (const std::string& n : Names) AddPage(n);
    if (!pages_.empty()) SetPageIndex(0);
}

void TNotebook::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i] != AComponent) continue;
        pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(i));
        if (pageIndex_ == static_cast<int>(i))
            pageIndex_ = -1;
        else if (pageIndex_ > static_cast<int>(i))
            --pageIndex_;
        break;
    }
}

void TNotebook::SetPageIndex(int v) {
    if (v < 0 || v >= PageCount() || v == pageIndex_) return;
    TPage* next = pages_[static_cast<size_t>(v)];
    next->BringToFront();
    next->SetVisible(true);
    bool focusLeft = false;
    if (pageIndex_ >= 0 && pageIndex_ < PageCount()) {
        TPage* old = pages_[static_cast<size_t>(pageIndex_)];
        // The focus must not stay on a control that is hidden now.
        if (TCustomForm* form = GetParentForm(this))
            if (TWinControl* active = form->ActiveControl(); active && old->ContainsControl(active)) {
                form->SetActiveControl(nullptr);
                focusLeft = true;
            }
        old->SetVisible(false);
    }
    pageIndex_ = v;
    if (!HasState(csLoading) && OnPageChanged) OnPageChanged(this);
    // The focus the old page held, or a focus that was nowhere, goes to the new page's first
    // control once the page is set up, so the keyboard goes on where the eye does; unless the
    // change placed it already.
    if (pageIndex_ == v)
        if (TCustomForm* form = GetParentForm(this); form && !form->ActiveControl() && (focusLeft || Showing()))
            if (TWinControl* first = next->FindNextControl(nullptr, true, true, false)) first->SetFocus();
}

std::string TNotebook::ActivePage() const {
    return pageIndex_ >= 0 && pageIndex_ < PageCount() ? pages_[static_cast<size_t>(pageIndex_)]->Caption()
                                                       : std::string();
}

void TNotebook::SetActivePage(const std::string& Name) {
    for (int i = 0; i < PageCount(); ++i)
        if (AnsiSameText(pages_[static_cast<size_t>(i)]->Caption(), Name)) {
            SetPageIndex(i);
            return;
        }
    throw EListError("Page '" + Name + "' not found");
}
