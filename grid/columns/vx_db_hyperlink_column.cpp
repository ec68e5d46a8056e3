#include "grid/columns/vx_db_hyperlink_column.h"

#include "controls/vx_editors_unit.h"
#include "grid/core/vx_db_tree_list_control.h"
#include "grid/export/html_escape.h"
#include "platform/gdi/graphics_objects.h"

std::string HtmlAnchor(const std::string& Text) {
    return "<a href=\"" + HtmlEscape(Text, true) + "\">" + HtmlEscape(Text) + "</a>";
}

TvxDBTreeListHyperLinkColumn::TvxDBTreeListHyperLinkColumn(TComponent* AOwner)
    : TvxDBTreeListColumn(AOwner), linkFont_(std::make_unique<TFont>()) {}

TvxDBTreeListHyperLinkColumn::~TvxDBTreeListHyperLinkColumn() = default;

TFont* TvxDBTreeListHyperLinkColumn::LinkFont() {
    linkFont_->Assign(Font());
    linkFont_->SetStyle(linkFont_->Style() + TFontStyles{fsUnderline});
    if (link_.SingleClick) linkFont_->SetColor(link_.EditFontColor);
    return linkFont_.get();
}

void TvxDBTreeListHyperLinkColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListHyperLinkColumn*>(Source)) link_ = source->link_;
}

void TvxDBTreeListHyperLinkColumn::RestoreDefaults() {
    TvxDBTreeListColumn::RestoreDefaults();
    link_ = {};
}

const TvxInplaceEditClass& TvxDBTreeListHyperLinkColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListHyperLinkEdit::StaticClass();
}

void TvxDBTreeListHyperLinkColumn::GetHotTrackCursor(TCursor& Cursor) {
    TCustomvxDBTreeListControl* control = DBControl();
    if (!link_.SingleClick || !control) return;
    TvxTreeListNode* node = control->HotTrackNode();
    if (node && !control->GetNodeString(node, GetIndex()).empty()) Cursor = crvxHandPoint;
}

void TvxDBTreeListHyperLinkColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceHyperLinkEdit*>(Editor);
    if (!edit) return;
    edit->SetColor(link_.EditBackgroundColor);
    edit->SetLinkColor(link_.EditFontColor);
    edit->SetSingleClick(link_.SingleClick);
    edit->SetStartKey(link_.StartKey);
    edit->OnStartClick = link_.OnStartClick ? [this](TObject*) { link_.OnStartClick(this); } : TNotifyEvent();
}

void TvxDBTreeListHyperLinkColumn::GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) {
    TvxDBTreeListColumn::GetDrawInfo(ViewData, Cell);
    TFont* font = LinkFont();
    ViewData.Font = font->Handle();
    if (link_.SingleClick) ViewData.TextColor = ColorToRGB(link_.EditFontColor);
    if (auto* link = dynamic_cast<TvxHyperLinkEditViewData*>(&ViewData)) link->LinkActive = link_.SingleClick;
}

bool TvxDBTreeListHyperLinkColumn::GetExportValue(bool IsHTML, Variant& Value) {
    if (!IsHTML) return false;
    Value = Variant(HtmlAnchor(VarToStr(Value)));
    return true;
}
