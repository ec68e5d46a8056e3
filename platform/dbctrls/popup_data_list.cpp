#include "platform/dbctrls/popup_data_list.h"

#include <algorithm>

#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/form.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/scroll_bars.h"
#include "platform/win/virtual_keys.h"
#include "platform/win/window_tree.h"

namespace {
constexpr int kCellPadding = 2;

std::vector<std::string> SplitNames(const std::string& Names) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= Names.size()) {
        size_t end = Names.find(';', start);
        if (end == std::string::npos) end = Names.size();
        std::string name = Trim(Names.substr(start, end - start));
        if (!name.empty()) out.push_back(name);
        start = end + 1;
    }
    return out;
}
}  // namespace

// ---------------------------------------------------------------- TPopupDataListLink

TPopupDataListLink::TPopupDataListLink(TPopupDataList* List) : list_(List) { SetVisualControl(true); }

void TPopupDataListLink::ActiveChanged() { list_->ListLinkChanged(); }
void TPopupDataListLink::DataSetChanged() { list_->ListLinkChanged(); }
void TPopupDataListLink::DataSetScrolled(int) { list_->ListLinkChanged(); }
void TPopupDataListLink::LayoutChanged() { list_->ListLinkChanged(); }

// ---------------------------------------------------------------- TPopupDataList

TPopupDataList::TPopupDataList(TComponent* AOwner)
    : TCustomControl(AOwner), listLink_(std::make_unique<TPopupDataListLink>(this)) {
    controlStyle_ = csCaptureMouse | csOpaque;
    SetVisibleFlag(false);
    SetTabStop(false);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
    keyValue_ = Null();
}

TPopupDataList::~TPopupDataList() {
    Destroying();
    listLink_->SetDataSource(nullptr);
}

void TPopupDataList::SetListSource(TDataSource* Value) {
    TDataSource* old = ListSource();
    if (old == Value) return;
    if (old) old->RemoveFreeNotification(this);
    listLink_->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
    ListLinkChanged();
}

void TPopupDataList::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == ListSource()) listLink_->SetDataSource(nullptr);
}

void TPopupDataList::SetKeyField(const std::string& Value) {
    if (keyField_ == Value) return;
    keyField_ = Value;
    ListLinkChanged();
}

void TPopupDataList::SetListField(const std::string& Value) {
    if (listField_ == Value) return;
    listField_ = Value;
    Invalidate();
}

TDataSet* TPopupDataList::ListDataSet() const { return listLink_->Active() ? listLink_->DataSet() : nullptr; }

TField* TPopupDataList::KeyFieldObject() const {
    TDataSet* ds = ListDataSet();
    return ds && !keyField_.empty() ? ds->FindField(keyField_) : nullptr;
}

std::vector<TField*> TPopupDataList::ListFieldObjects() const {
    std::vector<TField*> fields;
    if (TDataSet* ds = ListDataSet())
        for (const std::string& name : SplitNames(listField_))
            if (TField* f = ds->FindField(name)) fields.push_back(f);
    return fields;
}

void TPopupDataList::SetKeyValue(const Variant& Value) {
    if (VarCompareValue(keyValue_, Value) == vrEqual && keyValue_.VarType() == Value.VarType()) return;
    keyValue_ = Value;
    TDataSet* ds = ListDataSet();
    if (ds && KeyFieldObject() && !VarIsNull(Value) && !VarIsEmpty(Value)) ds->Locate(keyField_, Value, {});
    Invalidate();
}

bool TPopupDataList::CurrentIsSelected() {
    TField* key = KeyFieldObject();
    if (!key || VarIsNull(keyValue_) || VarIsEmpty(keyValue_)) return false;
    return VarCompareValue(key->Value(), keyValue_) == vrEqual;
}

void TPopupDataList::SelectCurrent() {
    TField* key = KeyFieldObject();
    if (!key) return;
    TDataSet* ds = ListDataSet();
    if (ds->Bof() && ds->Eof()) return;
    Variant value = key->Value();
    if (VarCompareValue(keyValue_, value) == vrEqual && keyValue_.VarType() == value.VarType()) return;
    keyValue_ = value;
    Invalidate();
    FireNotify(OnChange, this);
}

int TPopupDataList::RowHeight() { return FontLineHeight(Font()) + 2; }

void TPopupDataList::SetRowCount(int Value) {
    Value = std::max(Value, 1);
    rowCount_ = Value;
    SetBounds(Left(), Top(), Width(), Value * RowHeight() + GetBorderSize());
    UpdateBuffer();
}

void TPopupDataList::UpdateBuffer() {
    listLink_->SetBufferCount(rowCount_);
    UpdateScrollBar();
}

int TPopupDataList::RowAt(int Y) {
    if (Y < 0) return -1;
    int row = Y / RowHeight();
    return row < listLink_->RecordCount() ? row : -1;
}

void TPopupDataList::ListLinkChanged() {
    if (HasState(csDestroying)) return;
    UpdateScrollBar();
    Invalidate();
}

void TPopupDataList::UpdateScrollBar() {
    if (!HandleAllocated() || HasState(csDestroying)) return;
    TDataSet* ds = ListDataSet();
    SCROLLINFO v;
    v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (ds && ds->RecNo() > 0 && ds->RecordCount() > rowCount_) {
        v.nMax = ds->RecordCount() - 1;
        v.nPage = static_cast<unsigned>(rowCount_);
        v.nPos = ds->RecNo() - 1 - listLink_->ActiveRecord();
    }
    SetScrollInfo(Handle(), SB_VERT, &v, true);
}

bool TPopupDataList::IsListVisible() { return HandleAllocated() && IsWindowVisible(Handle()); }

void TPopupDataList::ShowList() {
    SetVisibleFlag(true);
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TPopupDataList::HideList() {
    SetVisibleFlag(false);
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

// ---------------------------------------------------------------- input

// A key on a list without a selection picks the first row; otherwise it moves by Delta.
void TPopupDataList::MoveSelection(int Delta) {
    TDataSet* ds = ListDataSet();
    if (!ds || !KeyFieldObject()) return;
    if (!CurrentIsSelected() && !(ds->Locate(keyField_, keyValue_, {}) && CurrentIsSelected()))
        ds->First();
    else
        ds->MoveBy(Delta);
    SelectCurrent();
}

void TPopupDataList::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    TDataSet* ds = ListDataSet();
    if (Key == 0 || !ds || Shift.Contains(ssAlt)) return;
    switch (Key) {
        case VK_UP: MoveSelection(-1); break;
        case VK_DOWN: MoveSelection(1); break;
        case VK_PRIOR: MoveSelection(1 - rowCount_); break;
        case VK_NEXT: MoveSelection(rowCount_ - 1); break;
        case VK_HOME:
            ds->First();
            SelectCurrent();
            break;
        case VK_END:
            ds->Last();
            SelectCurrent();
            break;
        default: return;
    }
    Key = 0;
}

void TPopupDataList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        tracking_ = true;
        int row = RowAt(Y);
        if (TDataSet* ds = ListDataSet(); ds && row >= 0) {
            ds->MoveBy(row - listLink_->ActiveRecord());
            SelectCurrent();
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TPopupDataList::MouseMove(TShiftState Shift, int X, int Y) {
    // The selection follows a pressed mouse over the rows.
    if (tracking_ && Shift.Contains(ssLeft)) {
        int row = RowAt(Y);
        if (TDataSet* ds = ListDataSet(); ds && row >= 0 && row != listLink_->ActiveRecord()) {
            ds->MoveBy(row - listLink_->ActiveRecord());
            SelectCurrent();
        }
    } else {
        tracking_ = false;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

bool TPopupDataList::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    MoveSelection(-WheelDelta / WHEEL_DELTA);
    return true;
}

void TPopupDataList::WMVScroll(TMessage& Message) {
    Message.Result = 0;
    TDataSet* ds = ListDataSet();
    if (!ds) return;
    // The bar moves the rows shown; the selection is the key and stays.
    switch (LOWORD(Message.WParam)) {
        case SB_LINEUP: ds->MoveBy(-listLink_->ActiveRecord() - 1); break;
        case SB_LINEDOWN: ds->MoveBy(rowCount_ - listLink_->ActiveRecord()); break;
        case SB_PAGEUP: ds->MoveBy(-listLink_->ActiveRecord() - rowCount_); break;
        case SB_PAGEDOWN: ds->MoveBy(2 * rowCount_ - 1 - listLink_->ActiveRecord()); break;
        case SB_TOP: ds->First(); break;
        case SB_BOTTOM: ds->Last(); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si;
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(Handle(), SB_VERT, &si);
            if (ds->RecNo() > 0) ds->MoveBy(si.nTrackPos + 1 - ds->RecNo());
            break;
        }
        default: break;
    }
}

void TPopupDataList::WndProc(TMessage& Message) {
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TCustomControl::WndProc(Message);
}

void TPopupDataList::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = (Params.Style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
    Params.ExStyle |= WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    // Top-level, owned by the form of the control that opens it.
    TCustomForm* form = nullptr;
    if (auto* c = dynamic_cast<TControl*>(Owner())) form = GetParentForm(c);
    Params.WndParent = form && form->HandleAllocated() ? form->Handle() : nullptr;
}

void TPopupDataList::WMSize(TMessage& Message) {
    TCustomControl::WMSize(Message);
    UpdateScrollBar();
    Invalidate();
}

void TPopupDataList::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    SetRowCount(rowCount_);
}

// ---------------------------------------------------------------- painting

void TPopupDataList::Paint() {
    TCanvas* c = Canvas();
    c->SetFont(Font());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    std::vector<TField*> fields = ListFieldObjects();
    int rows = listLink_->RecordCount();
    if (fields.empty() || rows == 0) return;
    // Each row is read by making it the dataset's active row for a moment, without events.
    int active = listLink_->ActiveRecord();
    TScopeExit restore([&] { listLink_->SetActiveRecord(active); });
    const int h = RowHeight();
    const int lineHeight = FontLineHeight(Font());
    const int columnWidth = ClientWidth() / static_cast<int>(fields.size());
    for (int i = 0; i < rows; ++i) {
        listLink_->SetActiveRecord(i);
        bool selected = CurrentIsSelected();
        TRect row{0, i * h, ClientWidth(), (i + 1) * h};
        c->Brush()->SetColor(selected ? clHighlight : Color());
        c->Font()->SetColor(selected ? clHighlightText : Font()->Color());
        c->FillRect(row);
        for (size_t k = 0; k < fields.size(); ++k) {
            int left = static_cast<int>(k) * columnWidth;
            int right = k + 1 == fields.size() ? row.Right : left + columnWidth;
            TRect cell{left, row.Top, right, row.Bottom};
            std::string text = fields[k]->DisplayText();
            int width = c->TextWidth(text);
            int x = fields[k]->Alignment() == taRightJustify ? cell.Right - kCellPadding - width
                                                             : cell.Left + kCellPadding;
            c->TextRect(cell, x, cell.Top + (h - lineHeight) / 2, text);
        }
    }
}
