#pragma once
// TNotebook: a stack of pages of which one shows; pages are chosen by index or by name.
// Controls are placed on a page: control->SetParent(notebook->Page(i)).

#include <string>
#include <vector>

#include "platform/forms/win_control.h"

class TPage : public TCustomControl {
public:
    explicit TPage(TComponent* AOwner);
    std::string ClassName() const override { return "TPage"; }
};

class TNotebook : public TCustomControl {
public:
    explicit TNotebook(TComponent* AOwner);
    std::string ClassName() const override { return "TNotebook"; }

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TPage* Page(int Index) const;
    // The page named Name (first match, case-insensitive); null when none.
    TPage* PageByName(const std::string& Name) const;
    std::vector<std::string> PageNames() const;
    TPage* AddPage(const std::string& Name);
    // Replaces the pages (their controls are freed with them).
    void SetPages(const std::vector<std::string>& Names);

    int PageIndex() const { return pageIndex_; }
    // An index outside the pages is ignored. When the old page held the focus, the new
    // page's first control in tab order takes it.
    void SetPageIndex(int v);
    std::string ActivePage() const;
    // Raises EListError for a name that is no page.
    void SetActivePage(const std::string& Name);

    TNotifyEvent OnPageChanged;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TPage*> pages_;
    int pageIndex_ = -1;
};
