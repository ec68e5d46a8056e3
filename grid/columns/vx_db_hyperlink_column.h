#pragma once
// The hyperlink column: texts drawn as links (the column font underlined) that start on a
// key, a double click or, with SingleClick, a click under the hand cursor.

#include <memory>

#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/editors/vx_inplace_db_edits.h"

class TvxDBTreeListHyperLinkColumn : public TvxDBTreeListColumn {
public:
    explicit TvxDBTreeListHyperLinkColumn(TComponent* AOwner);
    ~TvxDBTreeListHyperLinkColumn() override;
    std::string ClassName() const override { return "TvxDBTreeListHyperLinkColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListHyperLinkColumn(AOwner);
    }

    struct TProperties {
        TColor EditBackgroundColor = static_cast<TColor>(0xFFFFFF);
        TColor EditFontColor = static_cast<TColor>(0xFF0000);
        bool SingleClick = false;
        TShortCut StartKey = scCtrl | 13;
        TNotifyEvent OnStartClick;
    };

    TColor EditBackgroundColor() const { return link_.EditBackgroundColor; }
    void SetEditBackgroundColor(TColor Value) { StoreProperty(link_.EditBackgroundColor, Value); }
    TColor EditFontColor() const { return link_.EditFontColor; }
    void SetEditFontColor(TColor Value) { StoreProperty(link_.EditFontColor, Value); }
    bool SingleClick() const { return link_.SingleClick; }
    void SetSingleClick(bool Value) { StoreProperty(link_.SingleClick, Value); }
    TShortCut StartKey() const { return link_.StartKey; }
    void SetStartKey(TShortCut Value) { StoreProperty(link_.StartKey, Value); }
    TNotifyEvent& OnStartClick() { return link_.OnStartClick; }

    // The column's font underlined, in EditFontColor while SingleClick is set (made anew
    // from the column's font on each call).
    TFont* LinkFont();

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void GetHotTrackCursor(TCursor& Cursor) override;
    bool IsHotTrack() override { return link_.SingleClick; }
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) override;
    bool GetExportValue(bool IsHTML, Variant& Value) override;

private:
    TProperties link_;
    std::unique_ptr<TFont> linkFont_;
};

// A link for an HTML page: the text as the address and the shown text, escaped for each place.
std::string HtmlAnchor(const std::string& Text);
