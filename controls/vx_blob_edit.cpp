#include "controls/vx_blob_edit.h"

#include "controls/draw_utils.h"
#include "controls/edit_images.h"
#include "controls/vx_container.h"
#include "platform/forms/clipboard.h"
#include "platform/rtl/variant.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_tree.h"

// ---- Class level ----

TvxInplaceEdit* TvxInplaceBlobEditClass::Create(TComponent* AOwner) const { return new TvxInplaceBlobEdit(AOwner); }

std::unique_ptr<TvxEditViewData> TvxInplaceBlobEditClass::CreateViewData() const {
    return std::make_unique<TvxBlobEditViewData>();
}

int TvxInplaceBlobEditClass::ImageIndex(uint8_t Kind, bool Empty) {
    int index = Kind == vxbkMemo ? 3 : Kind == vxbkPicture ? 5 : Kind == vxbkOle ? 7 : 1;
    return Empty ? index - 1 : index;
}

void TvxInplaceBlobEditClass::CalcButtons(TvxDropDownEditViewData& ViewData) const {
    TvxInplaceDropDownEditClass::CalcButtons(ViewData);
    auto* vd = dynamic_cast<TvxBlobEditViewData*>(&ViewData);
    if (vd && vd->EditKind != vxbkMemo && vd->EditKind != vxbkPicture) ViewData.ButtonCount = 0;
}

bool TvxInplaceBlobEditClass::DrawContent(HDC DC, const TRect& R, bool IsWindowPaint, TvxEditViewData& ViewData) const {
    auto* vd = dynamic_cast<TvxBlobEditViewData*>(&ViewData);
    if (!vd || vd->BlobPaintStyle != bpsIcon) {
        // The text on one line, as the text editor paints it.
        const bool textEditor = ViewData.IsTextEditor;
        ViewData.IsTextEditor = false;
        const bool done = TvxInplaceDropDownEditClass::DrawContent(DC, R, IsWindowPaint, ViewData);
        ViewData.IsTextEditor = textEditor;
        return done;
    }
    if (ViewData.MeasureOnly) return true;
    if (!ViewData.Transparent && ViewData.Brush) FillRect(DC, R, ViewData.Brush);
    const int index = ImageIndex(vd->EditKind, vd->IsEmpty);
    if (!vd->Images || index < 0 || index >= vd->Images->Count()) return true;
    const int x = R.Left + (R.Width() - vd->Images->Width()) / 2;
    const int y = R.Top + (R.Height() - vd->Images->Height()) / 2;
    DrawImageListImage(DC, x, y, vd->Images, index);
    return true;
}

const TvxInplaceBlobEditClass& TvxInplaceBlobEdit::StaticClass() {
    static const TvxInplaceBlobEditClass c;
    return c;
}

// ---- The editor ----

TvxInplaceBlobEdit::TvxInplaceBlobEdit(TComponent* AOwner) : TvxInplaceBlobEdit(AOwner, StaticClass()) {}

TvxInplaceBlobEdit::TvxInplaceBlobEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceDropDownEdit(AOwner, AClass), ClipboardFormat(CF_PICTURE) {
    SetEditKeepsFocus(false);
    SetClickOpensPopup(true);
}

TvxInplaceBlobEdit::~TvxInplaceBlobEdit() {
    // The pop-up outlives this body (it is an owned component): it must not call back.
    if (popup_) {
        popup_->OnAccept = nullptr;
        popup_->OnResize = nullptr;
        popup_->SetEditor(nullptr);
    }
}

bool TvxInplaceBlobEdit::IsNullValue(const Variant& Value) {
    return Value.IsNull() || Value.IsEmpty() || (Value.IsString() && Value.AsString().empty());
}

void TvxInplaceBlobEdit::DoAssignPicture(TPicture*& Picture) {
    if (OnAssignPicture) OnAssignPicture(this, Picture);
}

TGraphicClass TvxInplaceBlobEdit::GetGraphicClass() {
    TGraphicClass c = GraphicClass;
    if (OnGetGraphicClass) OnGetGraphicClass(this, c);
    return c;
}

void TvxInplaceBlobEdit::PopupResized(int Width, int Height) {
    popupWidth_ = Width;
    popupHeight_ = Height;
    FireNotify(OnPopupResize, this);
}

void TvxInplaceBlobEdit::SetBlobText(const std::string& S) {
    if (blobText_ == S) return;
    TCustomvxContainer* c = GetContainer();
    if (c && c->LoadingEditValues()) {
        blobText_ = S;
    } else if (CanModify()) {
        blobText_ = S;
        Change();
    }
    InvalidateEdit();
}

void TvxInplaceBlobEdit::SetEditKind(uint8_t v) {
    editKind_ = v;
    InvalidateEdit();
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TvxInplaceBlobEdit::SetBlobPaintStyle(TvxBlobPaintStyle v) {
    blobPaintStyle_ = v;
    InvalidateEdit();
}

void TvxInplaceBlobEdit::SetEditValue(const Variant& Value) {
    blobText_ = Value.IsNull() || Value.IsEmpty() ? std::string() : Value.AsString();
    InvalidateEdit();
}

void TvxInplaceBlobEdit::GetEditValue(Variant& Value, bool FromValueSource) {
    if (HasValueSource() && FromValueSource) {
        Value = ValueSource()->Value();
        if (Value.IsNull()) Value = Variant(std::string());
        return;
    }
    Value = Variant(blobText_);
}

void TvxInplaceBlobEdit::GetDisplayValue(Variant& Value) {
    if (editKind_ != vxbkPicture) {
        Value = blobText_.empty() ? Null() : Variant(blobText_);
        return;
    }
    if (!picture_) picture_ = std::make_unique<TPicture>();
    LoadPictureFromBlob(picture_.get(), GraphicClass, Variant(blobText_));
    TPicture* p = picture_.get();
    DoAssignPicture(p);
    Value = Variant(static_cast<int64_t>(reinterpret_cast<intptr_t>(p ? p->Graphic() : nullptr)));
}

std::unique_ptr<TvxEditViewData> TvxInplaceBlobEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = TvxInplaceDropDownEdit::CreateViewData(IsPaintCopy);
    if (auto* b = dynamic_cast<TvxBlobEditViewData*>(vd.get())) {
        b->EditKind = editKind_;
        b->BlobPaintStyle = blobPaintStyle_;
        if (blobPaintStyle_ == bpsIcon) {
            b->Images = BlobImages();
            b->IsEmpty = IsPaintCopy ? IsNullValue(b->EditValue) : blobText_.empty();
        }
        if (blobPaintStyle_ != bpsIcon && editKind_ == vxbkMemo) b->EditValue = Variant(blobText_);
    }
    return vd;
}

void TvxInplaceBlobEdit::DropDown() {
    if (IsDroppedDown() || IsPopupVisible() || !HandleAllocated()) return;
    DoDropDown();
    if (editKind_ != vxbkMemo && editKind_ != vxbkPicture) return;
    if (!popup_) {
        popup_ = new TCustomvxBlobPopup(this);
        popup_->SetEditor(this);
        SetPopupWindow(popup_);
    }
    TCustomvxBlobPopup* p = popup_;
    p->SetColor(Color());
    p->Font()->Assign(Font());
    p->SetKind(editKind_);
    p->SetPopupBorder(GetPopupBorder());
    p->SetShadow(Style() ? Style()->Shadow() : false);
    p->SetSizeable(sizeablePopup_);
    p->SetAlwaysSaveText(alwaysSaveText_);
    p->CharCase = MemoCharCase;
    p->HideScrollBars = MemoHideScrollBars;
    p->MaxLength = MemoMaxLength;
    p->OEMConvert = MemoOEMConvert;
    p->ScrollBars = MemoScrollBars;
    p->SelectionBar = MemoSelectionBar;
    p->WantReturns = MemoWantReturns;
    p->WantTabs = MemoWantTabs;
    p->WordWrap = MemoWordWrap;
    p->PictureAutoSize = PictureAutoSize;
    p->ClipboardFormat = ClipboardFormat;
    p->GraphicClass = GetGraphicClass();
    p->PictureTransparency = PictureTransparency;
    p->PictureFilter = PictureFilter;
    p->ShowExPopupItems = ShowExPopupItems;
    p->SetKeptText("");
    if (editKind_ == vxbkPicture)
        LoadPictureFromBlob(p->Picture(), p->GraphicClass, Variant(blobText_));
    else
        p->SetMemoText(blobText_);
    p->SetReadOnly(!CanEditText());
    p->SetContentModified(false);
    p->OnAccept = [this] { AcceptPopup(); };
    p->OnResize = [this, p] { PopupResized(p->Width(), p->Height()); };
    TRect wr;
    GetWindowRect(Handle(), &wr);
    p->CalcSize(wr, popupWidth_, popupHeight_);
    SetIsDroppedDown(true);
    p->ShowPopup();
}

void TvxInplaceBlobEdit::AcceptPopup() {
    if (!popup_) return;
    popup_->OnAccept = nullptr;
    if (CanModify()) {
        if (editKind_ == vxbkMemo) {
            SetBlobText(popup_->KeptText());
        } else if (IsPictureEmpty(popup_->Picture())) {
            SetBlobText("");
            GraphicClass = nullptr;
        } else {
            GraphicClass = GraphicClassOf(popup_->Picture()->Graphic());
            std::string bytes;
            SavePictureToBlob(popup_->Picture(), bytes);
            SetBlobText(bytes);
        }
    }
    SetModified(true);
}

void TvxInplaceBlobEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (IsInplace() && (Key == VK_LEFT || Key == VK_RIGHT)) {
        MoveColumnFocus(Key == VK_LEFT);
        Key = 0;
        return;
    }
    if (Key == VK_DELETE) Key = 0;
    TvxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TvxInplaceBlobEdit::KeyPress(char32_t& Key) {
    // A key typed on a cell whose memo pop-up is open and empty starts its text.
    if (popup_ && popup_->HandleAllocated() && IsWindowVisible(popup_->Handle()) && popup_->MemoText().empty() &&
        popup_->Memo()->HandleAllocated())
        PostMessage(popup_->Memo()->Handle(), WM_CHAR, static_cast<WPARAM>(Key), 0);
    Key = 0;
}

void TvxInplaceBlobEdit::WMGetDlgCode(TMessage& Message) {
    TvxInplaceDropDownEdit::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}
