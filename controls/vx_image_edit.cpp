#include "controls/vx_image_edit.h"

#include <algorithm>

#include "controls/draw_utils.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/control_paint.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/text.h"
#include "platform/rtl/convert.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_tree.h"

// ---- Class-level operations ----

TvxInplaceEdit* TvxInplaceImageEditClass::Create(TComponent* AOwner) const { return new TvxInplaceImageEdit(AOwner); }

std::unique_ptr<TvxEditViewData> TvxInplaceImageEditClass::CreateViewData() const {
    return std::make_unique<TvxImageEditViewData>();
}

int TvxInplaceImageEditClass::ItemOf(TStrings* Values, const std::string& Text) {
    if (!Values) return -1;
    for (int i = 0; i < Values->Count(); ++i)
        if (Values->Strings(i) == Text) return i;
    return -1;
}

int TvxInplaceImageEditClass::ItemImageIndex(bool DefaultImages, TStrings* ImageIndexes, int Index) {
    if (Index < 0) return -1;
    if (DefaultImages) return Index;
    if (!ImageIndexes || Index >= ImageIndexes->Count()) return -1;
    int32_t v = -1;
    if (!TryStrToInt(Trim(ImageIndexes->Strings(Index)), v)) return -1;
    return v;
}

std::string TvxInplaceImageEditClass::ItemDescription(TStrings* Descriptions, int Index) {
    if (!Descriptions || Index < 0 || Index >= Descriptions->Count()) return {};
    return Descriptions->Strings(Index);
}

bool TvxInplaceImageEditClass::DrawContent(HDC DC, const TRect& R, bool IsWindowPaint,
                                           TvxEditViewData& ViewData) const {
    auto* vd = dynamic_cast<TvxImageEditViewData*>(&ViewData);
    if (!vd) return TvxInplaceDropDownEditClass::DrawContent(DC, R, IsWindowPaint, ViewData);
    const std::string text = VarToStr(ViewData.EditValue);
    const int item = ItemOf(vd->Values, text);
    const int image = ItemImageIndex(vd->DefaultImages, vd->ImageIndexes, item);
    const int w = vd->Images ? vd->Images->Width() : 0;
    const int h = vd->Images ? vd->Images->Height() : 0;
    const bool hasImage = vd->Images && image >= 0 && image < vd->Images->Count();
    const Variant saved = ViewData.EditValue;
    const bool savedTransparent = ViewData.Transparent;
    TRect textRect = R;
    std::string shown = text;
    if (vd->ShowDescription) {
        // A value without a description, and a text that is no value, show as they are.
        if (item >= 0 && vd->Descriptions && item < vd->Descriptions->Count()) shown = vd->Descriptions->Strings(item);
        if (w != 0) {
            TRect strip = Rect(R.Left, R.Top, std::min(R.Left + w, R.Right), R.Bottom);
            if (!ViewData.MeasureOnly) {
                if (!ViewData.Transparent && ViewData.Brush) FillRect(DC, strip, ViewData.Brush);
                if (hasImage) DrawImageListImage(DC, strip.Left, R.Top + (R.Height() - h) / 2, vd->Images, image);
            }
            textRect.Left = strip.Right;
        }
    } else {
        shown.clear();
        if (w != 0) {
            if (!ViewData.MeasureOnly) {
                if (!ViewData.Transparent && ViewData.Brush) FillRect(DC, R, ViewData.Brush);
                if (hasImage)
                    DrawImageListImage(DC, R.Left + (R.Width() - w) / 2, R.Top + (R.Height() - h) / 2, vd->Images,
                                       image);
            }
            ViewData.Transparent = true;
        }
    }
    ViewData.EditValue = Variant(shown);
    bool result = TvxInplaceDropDownEditClass::DrawContent(DC, textRect, IsWindowPaint, ViewData);
    ViewData.EditValue = saved;
    ViewData.Transparent = savedTransparent;
    return result;
}

int TvxInplaceImageEditClass::GetAutoHeight(const TvxEditViewData& ViewData) const {
    int h = TvxInplaceDropDownEditClass::GetAutoHeight(ViewData);
    const auto* vd = dynamic_cast<const TvxImageEditViewData*>(&ViewData);
    if (vd && vd->Images) h = std::max(h, vd->Images->Height());
    return h;
}

// ---- The editor ----

const TvxInplaceImageEditClass& TvxInplaceImageEdit::StaticClass() {
    static const TvxInplaceImageEditClass instance;
    return instance;
}

TvxInplaceImageEdit::TvxInplaceImageEdit(TComponent* AOwner) : TvxInplaceImageEdit(AOwner, StaticClass()) {}

TvxInplaceImageEdit::TvxInplaceImageEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceDropDownEdit(AOwner, AClass),
      descriptions_(std::make_unique<TStringList>()),
      imagesChangeLink_(std::make_unique<TChangeLink>()),
      imageIndexes_(std::make_unique<TStringList>()),
      largeImagesChangeLink_(std::make_unique<TChangeLink>()),
      values_(std::make_unique<TStringList>()) {
    controlStyle_ |= csCaptureMouse;
    SetClickOpensPopup(true);
    popupList_ = new TvxPopupImageListBox(this);
    popupList_->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        ListMouseUp(s, b, sh, x, y);
    };
    imagesChangeLink_->OnChange = [this](TObject*) { StyleChanged(); };
    largeImagesChangeLink_->OnChange = [this](TObject*) { StyleChanged(); };
}

TvxInplaceImageEdit::~TvxInplaceImageEdit() {
    if (images_) images_->UnRegisterChanges(imagesChangeLink_.get());
    if (largeImages_) largeImages_->UnRegisterChanges(largeImagesChangeLink_.get());
}

void TvxInplaceImageEdit::SetDefaultImages(bool v) {
    if (defaultImages_ == v) return;
    defaultImages_ = v;
    InvalidateEdit();
}

void TvxInplaceImageEdit::SetShowDescription(bool v) {
    if (showDescription_ == v) return;
    showDescription_ = v;
    InvalidateEdit();
}

void TvxInplaceImageEdit::SetDescriptions(TStrings* v) {
    descriptions_->Assign(v);
    StyleChanged();
}

void TvxInplaceImageEdit::SetImageIndexes(TStrings* v) {
    imageIndexes_->Assign(v);
    StyleChanged();
}

void TvxInplaceImageEdit::SetValues(TStrings* v) {
    values_->Assign(v);
    StyleChanged();
}

void TvxInplaceImageEdit::SetMultiLineText(bool v) {
    if (multiLineText_ == v) return;
    multiLineText_ = v;
    StyleChanged();
}

void TvxInplaceImageEdit::MoveChangeLink(TChangeLink* Link, TCustomImageList*& Field, TCustomImageList* Value) {
    if (Field == Value) return;
    if (Field) {
        Field->UnRegisterChanges(Link);
        Field->RemoveFreeNotification(this);
    }
    Field = Value;
    if (Value) {
        Value->RegisterChanges(Link);
        Value->FreeNotification(this);
    }
    StyleChanged();
}

void TvxInplaceImageEdit::SetImages(TCustomImageList* v) { MoveChangeLink(imagesChangeLink_.get(), images_, v); }

void TvxInplaceImageEdit::SetLargeImages(TCustomImageList* v) {
    MoveChangeLink(largeImagesChangeLink_.get(), largeImages_, v);
}

void TvxInplaceImageEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TvxInplaceDropDownEdit::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == images_) {
        images_->UnRegisterChanges(imagesChangeLink_.get());
        images_ = nullptr;
        StyleChanged();
    }
    if (AComponent == largeImages_) {
        largeImages_->UnRegisterChanges(largeImagesChangeLink_.get());
        largeImages_ = nullptr;
        StyleChanged();
    }
}

int TvxInplaceImageEdit::ItemIndex() const { return TvxInplaceImageEditClass::ItemOf(values_.get(), WindowText()); }

void TvxInplaceImageEdit::SetValueText(const std::string& Text) {
    if (Text == WindowText() || !CanEditText() || !CanModify()) return;
    TControl::SetText(Text);
    SetModified(true);
}

std::unique_ptr<TvxEditViewData> TvxInplaceImageEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = TvxInplaceDropDownEdit::CreateViewData(IsPaintCopy);
    // The open list shows the focus; a cell editor never draws it.
    vd->Focused = vd->Focused && !IsInplace() && !(popupList_ && popupList_->IsListVisible());
    if (multiLineText_) vd->VerticalLayout = 3;
    if (auto* d = dynamic_cast<TvxImageEditViewData*>(vd.get())) {
        d->DefaultImages = defaultImages_;
        d->Descriptions = descriptions_.get();
        d->ImageIndexes = imageIndexes_.get();
        d->Images = images_;
        d->ShowDescription = showDescription_;
        d->Values = values_.get();
    }
    return vd;
}

void TvxInplaceImageEdit::StepItem(int Delta, bool Cycle) {
    (void)Cycle;
    if (ReadOnly() || values_->Count() == 0) return;
    const int current = ItemIndex();
    const int next = current < 0 ? 0 : std::clamp(current + Delta, 0, values_->Count() - 1);
    SetValueText(values_->Strings(next));
}

void TvxInplaceImageEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if ((!IsInplace() || incremental_) && Key >= VK_PRIOR && Key <= VK_DOWN) {
        const int rows = DropDownRows();
        switch (Key) {
            case VK_PRIOR: StepItem(1 - rows, false); break;
            case VK_NEXT: StepItem(rows - 1, false); break;
            case VK_END:
                if (values_->Count() > 0 && !ReadOnly()) SetValueText(values_->Strings(values_->Count() - 1));
                break;
            case VK_HOME:
                if (values_->Count() > 0 && !ReadOnly()) SetValueText(values_->Strings(0));
                break;
            case VK_LEFT:
            case VK_UP: StepItem(-1, false); break;
            default: StepItem(1, false); break;
        }
        Key = 0;
    }
    if (IsInplace() && (Key == VK_LEFT || Key == VK_RIGHT)) {
        MoveColumnFocus(Key == VK_LEFT);
        Key = 0;
    }
    if (Key != 0) TvxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TvxInplaceImageEdit::KeyPress(char32_t& Key) {
    TvxInplaceDropDownEdit::KeyPress(Key);
    if (Key < 32 || Key == 127 || values_->Count() == 0) return;
    const char32_t wanted = AnsiUpperChar(Key);
    const int count = values_->Count();
    const int current = ItemIndex();
    const int start = current < 0 ? 0 : current + 1;
    auto matches = [&](int i) {
        std::u32string d = ToU32(TvxInplaceImageEditClass::ItemDescription(descriptions_.get(), i));
        return !d.empty() && AnsiUpperChar(d[0]) == wanted;
    };
    int found = -1;
    for (int i = start; i < count && found < 0; ++i)
        if (matches(i)) found = i;
    for (int i = 0; i < std::min(start, count) && found < 0; ++i)
        if (matches(i)) found = i;
    if (found >= 0 && found != current) SetValueText(values_->Strings(found));
}

void TvxInplaceImageEdit::WMGetDlgCode(TMessage& Message) {
    TvxInplaceDropDownEdit::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS;
}

void TvxInplaceImageEdit::DropDown() {
    if (IsDroppedDown() || !CanEditText() || !CanModify() || !HandleAllocated()) return;
    DropDownList(popupList_, [this] {
        if (values_->Count() == 0) return false;
        FillImageList();
        return true;
    });
}

void TvxInplaceImageEdit::FillImageList() {
    TvxPopupImageListBox* list = popupList_;
    list->SetColor(Color());
    list->Font()->Assign(Font());
    list->SetImages(largeImages_ ? largeImages_ : images_);
    list->SetMultiLine(multiLineText_);
    list->SetPopupBorderStyle(GetPopupBorder());
    list->SetShadow(Style() ? Style()->Shadow() : false);
    list->Items()->BeginUpdate();
    list->ClearItems();
    for (int i = 0; i < values_->Count(); ++i) {
        const int image = TvxInplaceImageEditClass::ItemImageIndex(defaultImages_, imageIndexes_.get(), i);
        list->AddItem(TvxInplaceImageEditClass::ItemDescription(descriptions_.get(), i), image < 0 ? -2 : image);
    }
    list->Items()->EndUpdate();
    const int itemHeight = list->MeasuredItemHeight();
    const int rows = std::min(list->Count(), DropDownRows());
    const int clientHeight = rows * itemHeight;
    int clientWidth = DropDownWidth();
    if (clientWidth == 0) {
        clientWidth = std::max(list->WidestItemText() + 2, 10);
        if (largeImages_)
            clientWidth += largeImages_->Width();
        else if (list->Images())
            clientWidth += list->Images()->Width();
        else
            clientWidth += itemHeight;
        clientWidth += 4;
    }
    TSize size = list->WindowSizeFor(clientWidth, clientHeight, rows);
    list->SetBounds(list->Left(), list->Top(), size.cx, size.cy);
    list->HandleNeeded();
    list->SetItemIndex(ItemIndex());
    PositionPopup(list, true);
}

void TvxInplaceImageEdit::CloseUp(bool Accept) {
    if (!IsDroppedDown()) return;
    CloseUpList(popupList_);
    const int index = popupList_->ItemIndex();
    if (index >= 0 && index < values_->Count()) {
        Variant value(values_->Strings(index));
        DoCloseUp(value, Accept);
        if (Accept) SetValueText(VarToStr(value));
    }
}
