#include "controls/vx_graphic_edit.h"

#include <algorithm>

#include "controls/draw_utils.h"
#include "controls/edit_images.h"
#include "controls/vx_editors_unit.h"
#include "platform/forms/application.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/file_dialog.h"
#include "platform/forms/menus.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/device_context.h"
#include "platform/win/input.h"
#include "platform/win/window_tree.h"

namespace {

constexpr TPoint kNoPosition{-10000, -10000};
bool IsSet(TPoint p) { return p.X != kNoPosition.X || p.Y != kNoPosition.Y; }

// Attaches a canvas to a context for one drawing and gives the canvas back as it was.
class CanvasOnDC {
public:
    explicit CanvasOnDC(HDC DC) : canvas_(vxSharedCanvas() ? vxSharedCanvas() : &own_) {
        saved_ = SaveDC(DC);
        dc_ = DC;
        canvas_->SetHandle(DC);
    }
    ~CanvasOnDC() {
        canvas_->SetHandle(nullptr);
        RestoreDC(dc_, saved_);
    }
    TCanvas* operator->() { return canvas_; }
    TCanvas* get() { return canvas_; }

private:
    TCanvas own_;
    TCanvas* canvas_;
    HDC dc_ = nullptr;
    int saved_ = 0;
};

// QuickDraw has nothing to skip here: our bitmaps carry no palette. The editor's border is
// drawn by the border pass, so the cell is the picture's whole room.
void DrawPicture(HDC DC, const TRect& R, TvxGraphicEditViewData& vd) {
    TGraphic* graphic = vd.Picture->Graphic();
    const int saved = SaveDC(DC);
    const TRect cell = R;
    IntersectClipRect(DC, cell.Left, cell.Top, cell.Right, cell.Bottom);
    const TRect target = TvxInplaceGraphicEditClass::PictureRect(cell, graphic->Width(), graphic->Height(), vd.Stretch,
                                                                 vd.Center);
    CanvasOnDC canvas(DC);
    if (!graphic->Transparent()) {
        canvas->StretchDraw(target, graphic);
        ExcludeClipRect(DC, target.Left, target.Top, target.Right, target.Bottom);
        if (vd.Brush) FillRect(DC, cell, vd.Brush);
    } else if (!vd.TransparentBuffer) {
        if (vd.Brush) FillRect(DC, cell, vd.Brush);
        canvas->StretchDraw(target, graphic);
    } else {
        // Drawn off-screen on the background first, so the cell never flickers through.
        TBitmap* buffer = vd.TransparentBuffer;
        buffer->SetSize(cell.Width(), cell.Height());
        TCanvas* bc = buffer->Canvas();
        bc->Brush()->SetColor(static_cast<TColor>(vd.Color));
        bc->FillRect(Rect(0, 0, cell.Width(), cell.Height()));
        TRect local = target;
        OffsetRect(local, -cell.Left, -cell.Top);
        bc->StretchDraw(local, graphic);
        BitBlt(DC, cell.Left, cell.Top, cell.Width(), cell.Height(), bc->Handle(), 0, 0, SRCCOPY);
    }
    RestoreDC(DC, saved);
}

}  // namespace

// ---- Class level ----

TvxInplaceEdit* TvxInplaceGraphicEditClass::Create(TComponent* AOwner) const {
    return new TvxInplaceGraphicEdit(AOwner);
}

std::unique_ptr<TvxEditViewData> TvxInplaceGraphicEditClass::CreateViewData() const {
    return std::make_unique<TvxGraphicEditViewData>();
}

TRect TvxInplaceGraphicEditClass::PictureRect(const TRect& Content, int PictureWidth, int PictureHeight, bool Stretch,
                                              bool Center) {
    const int cw = Content.Width(), ch = Content.Height();
    if (Stretch) {
        if (PictureWidth <= 0 || PictureHeight <= 0 || ch <= 0)
            return Rect(Content.Left, Content.Top, Content.Left, Content.Top);
        // cw / ch >= pw / ph, compared without division.
        if (static_cast<int64_t>(cw) * PictureHeight >= static_cast<int64_t>(PictureWidth) * ch) {
            const int w = static_cast<int>(static_cast<int64_t>(ch) * PictureWidth / PictureHeight);
            return Rect(Content.Left, Content.Top, Content.Left + w, Content.Top + ch);
        }
        const int h = static_cast<int>(static_cast<int64_t>(PictureHeight) * cw / PictureWidth);
        return Rect(Content.Left, Content.Top, Content.Left + cw, Content.Top + h);
    }
    TRect r = Rect(Content.Left, Content.Top, Content.Left + PictureWidth, Content.Top + PictureHeight);
    if (Center) OffsetRect(r, (cw - PictureWidth) / 2, (ch - PictureHeight) / 2);
    return r;
}

void TvxInplaceGraphicEditClass::CalcViewInfo(TvxEditViewData& ViewData, bool CalcAutoSize,
                                              TvxEditViewInfo& ViewInfo) const {
    auto* vd = dynamic_cast<TvxGraphicEditViewData*>(&ViewData);
    if (vd && IsPictureEmpty(vd->Picture)) CalcAutoSize = false;
    TvxInplaceEditClass::CalcViewInfo(ViewData, CalcAutoSize, ViewInfo);
}

void TvxInplaceGraphicEditClass::CalcContentSize(TvxEditViewData& ViewData, TRect& Size) const {
    auto* vd = dynamic_cast<TvxGraphicEditViewData*>(&ViewData);
    if (vd && !IsPictureEmpty(vd->Picture)) {
        Size = Rect(0, 0, vd->Picture->Width(), vd->Picture->Height());
        return;
    }
    TvxInplaceEditClass::CalcContentSize(ViewData, Size);
}

bool TvxInplaceGraphicEditClass::DrawContent(HDC DC, const TRect& R, bool IsWindowPaint,
                                             TvxEditViewData& ViewData) const {
    (void)IsWindowPaint;
    auto* vd = dynamic_cast<TvxGraphicEditViewData*>(&ViewData);
    if (!vd) return TvxInplaceEditClass::DrawContent(DC, R, IsWindowPaint, ViewData);
    const bool empty = IsPictureEmpty(vd->Picture);
    if (ViewData.MeasureOnly) {
        vd->MeasuredHeight = !vd->Stretch && !empty ? vd->Picture->Height() : 0;
        return true;
    }
    // With the selection shaded, the cell is drawn off-screen and copied in one piece.
    std::unique_ptr<TBitmap> offscreen;
    HDC target = DC;
    TRect cell = R;
    if (vd->ShadowSelection) {
        offscreen = std::make_unique<TBitmap>(std::max(R.Width(), 1), std::max(R.Height(), 1));
        target = offscreen->Canvas()->Handle();
        cell = Rect(0, 0, R.Width(), R.Height());
    }
    if (empty) {
        const std::string text = VarToStr(ViewData.EditValue);
        if (text.empty()) {
            if (ViewData.Brush) FillRect(target, cell, ViewData.Brush);
        } else {
            DrawTextInRect(target, text, nullptr, ViewData.TextColor, ViewData.Color, ViewData.Font, ViewData.Brush,
                           vxdtVCenter, cell, cell);
        }
    } else {
        DrawPicture(target, cell, *vd);
    }
    if (vd->ShadowSelection) FillDitheredRect(target, cell, static_cast<TColor>(vd->ShadowColor));
    if (offscreen) BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), target, 0, 0, SRCCOPY);
    return true;
}

const TvxInplaceGraphicEditClass& TvxInplaceGraphicEdit::StaticClass() {
    static const TvxInplaceGraphicEditClass c;
    return c;
}

// ---- The editor ----

TvxInplaceGraphicEdit::TvxInplaceGraphicEdit(TComponent* AOwner) : TvxInplaceGraphicEdit(AOwner, StaticClass()) {}

TvxInplaceGraphicEdit::TvxInplaceGraphicEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceEdit(AOwner, AClass), clipboardFormat_(CF_PICTURE), picture_(std::make_unique<TPicture>()) {
    controlStyle_ = csClickEvents | csSetCaption | csDoubleClicks;
    SetAutoSize(false);
    SetParentColor(false);
    SetWidth(140);
    SetHeight(100);
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
    toolBar_ = new TvxPopupToolBar(this);
    toolBar_->OnButtonClick = [this](TObject* sender, int index) { ToolButtonClick(sender, index); };
    toolBar_->SetIsPopupMenu(true);
    popupToolBar_ = std::make_unique<TvxPopupToolBarWindow>(this, toolBar_);
}

TvxInplaceGraphicEdit::~TvxInplaceGraphicEdit() { picture_->OnChange = nullptr; }

void TvxInplaceGraphicEdit::SetCenter(bool v) {
    if (center_ == v) return;
    center_ = v;
    PictureChanged();
}

void TvxInplaceGraphicEdit::SetStretch(bool v) {
    if (stretch_ == v) return;
    stretch_ = v;
    PictureChanged();
}

void TvxInplaceGraphicEdit::SetGraphicTransparency(TvxGraphicEditTransparency v) {
    if (graphicTransparency_ == v) return;
    graphicTransparency_ = v;
    const bool loading = loadingValue_;
    loadingValue_ = true;
    PictureChanged();
    loadingValue_ = loading;
}

void TvxInplaceGraphicEdit::SetPopupToolBarPosStored(bool v) {
    popupToolBarPosStored_ = v;
    if (!v) storedToolBarPos_ = kNoPosition;
}

void TvxInplaceGraphicEdit::DoCustomClick() {
    if (OnCustomClick) OnCustomClick(this);
}

void TvxInplaceGraphicEdit::DoAssignPicture(TPicture*& APicture) {
    if (OnAssignPicture) OnAssignPicture(this, APicture);
}

TGraphicClass TvxInplaceGraphicEdit::GetGraphicClass() {
    TGraphicClass c = nullptr;
    if (OnGetGraphicClass) OnGetGraphicClass(this, c);
    return c;
}

void TvxInplaceGraphicEdit::PictureChanged() {
    InvalidateEdit();
    if (graphicTransparency_ != gtDefault && !IsPictureEmpty(picture_.get())) {
        auto handler = std::move(picture_->OnChange);
        picture_->OnChange = nullptr;
        picture_->Graphic()->SetTransparent(graphicTransparency_ == gtTransparent);
        picture_->OnChange = std::move(handler);
    }
    if (!loadingValue_ && !HasState(csLoading)) {
        Change();
        SetModified(true);
    }
}

void TvxInplaceGraphicEdit::SetEditValue(const Variant& Value) {
    const bool modified = GetModified();
    struct Loading {
        TvxInplaceGraphicEdit* e;
        bool modified;
        ~Loading() {
            e->loadingValue_ = false;
            e->SetModified(modified);
        }
    } loading{this, modified};
    loadingValue_ = true;
    if ((customGraphic_ && HasState(csDesigning)) || (Value.IsString() && Value.AsString().empty()))
        picture_->SetGraphic(nullptr);
    else
        LoadPictureFromBlob(picture_.get(), GetGraphicClass(), Value);
}

void TvxInplaceGraphicEdit::FillPaintPicture(const Variant& Value) {
    if (!paintPicture_) paintPicture_ = std::make_unique<TPicture>();
    if (customGraphic_ && HasState(csDesigning)) {
        paintPicture_->SetGraphic(nullptr);
        return;
    }
    try {
        LoadPictureFromBlob(paintPicture_.get(), GetGraphicClass(), Value);
    } catch (const EInvalidGraphic&) {
        paintPicture_->SetGraphic(nullptr);
    }
}

void TvxInplaceGraphicEdit::GetEditValue(Variant& Value, bool FromValueSource) {
    Value = Variant(Text());
    if (HasValueSource() && FromValueSource) FillPaintPicture(ValueSource()->Value());
}

void TvxInplaceGraphicEdit::GetDisplayValue(Variant& Value) {
    TPicture* p = picture_.get();
    DoAssignPicture(p);
    Value = Variant(static_cast<int64_t>(reinterpret_cast<intptr_t>(p ? p->Graphic() : nullptr)));
}

std::unique_ptr<TvxEditViewData> TvxInplaceGraphicEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = TvxInplaceEdit::CreateViewData(IsPaintCopy);
    if (auto* g = dynamic_cast<TvxGraphicEditViewData*>(vd.get())) {
        g->Center = center_;
        g->QuickDraw = quickDraw_;
        g->Stretch = stretch_;
        g->Picture = IsPaintCopy ? paintPicture_.get() : picture_.get();
        if (g->Picture && g->Picture->Graphic() && g->Picture->Graphic()->Transparent() && !transparentBuffer_)
            transparentBuffer_ = std::make_unique<TBitmap>();
        g->TransparentBuffer = transparentBuffer_.get();
    }
    return vd;
}

void TvxInplaceGraphicEdit::DoSetFocus() {
    TvxInplaceEdit::DoSetFocus();
    if (!dblClickActivate_) ShowPopupToolBar();
}

void TvxInplaceGraphicEdit::DoKillFocus(TMessage& Message) {
    const HWND to = reinterpret_cast<HWND>(Message.WParam);
    if (!(toolBar_->HandleAllocated() && to == toolBar_->Handle())) HidePopupToolBar();
    TvxInplaceEdit::DoKillFocus(Message);
}

bool TvxInplaceGraphicEdit::IsFocused() {
    return TvxInplaceEdit::IsFocused() || (toolBar_->HandleAllocated() && GetFocus() == toolBar_->Handle());
}

// ---- Commands ----

void TvxInplaceGraphicEdit::CopyToClipboard() {
    if (picture_->Graphic()) Clipboard()->Assign(picture_.get());
}

void TvxInplaceGraphicEdit::CutToClipboard() {
    CopyToClipboard();
    if (CanEditText()) ClearPicture();
}

void TvxInplaceGraphicEdit::ClearPicture() {
    if (CanModify()) picture_->SetGraphic(nullptr);
}

void TvxInplaceGraphicEdit::PasteFromClipboard() {
    if (!CanEditText() || !Clipboard()->HasFormat(clipboardFormat_) || !CanModify()) return;
    if (clipboardFormat_ == CF_PICTURE && Clipboard()->HasFormat(CF_BITMAP)) {
        TBitmap bitmap;
        Clipboard()->AssignTo(&bitmap);
        picture_->SetGraphic(&bitmap);
    } else {
        Clipboard()->AssignTo(picture_.get());
    }
}

void TvxInplaceGraphicEdit::LoadFromFile() {
    if (!CanModify()) return;
    TOpenDialog dialog(nullptr);
    dialog.SetFilter(customFilter_.empty() ? GraphicFilter(nullptr) : customFilter_);
    if (dialog.Execute()) picture_->LoadFromFile(dialog.FileName());
}

void TvxInplaceGraphicEdit::SaveToFile() {
    if (!picture_->Graphic()) return;
    TSaveDialog dialog(EnsureApplication());
    TGraphicClass c = GraphicClassOf(picture_->Graphic());
    dialog.SetFilter(customFilter_.empty() ? GraphicFilter(c) : customFilter_);
    if (c) dialog.SetDefaultExt(c->Extension);
    if (dialog.Execute()) picture_->SaveToFile(dialog.FileName());
}

void TvxInplaceGraphicEdit::ToolButtonClick(TObject* Sender, int Index) {
    (void)Sender;
    switch (Index) {
        case 0: CutToClipboard(); break;
        case 1: CopyToClipboard(); break;
        case 2: PasteFromClipboard(); break;
        case 3: ClearPicture(); break;
        case 4: LoadFromFile(); break;
        case 5: SaveToFile(); break;
        case 6: DoCustomClick(); break;
        default: break;
    }
    SyncPopupToolBar();
    toolBar_->UpdateLayout();
}

// ---- The tool bar ----

void TvxInplaceGraphicEdit::BuildMenu() {
    TPopupMenu* menu = toolBar_->PopupMenu();
    TMenuItem* root = menu->Items();
    if (root->Count() > 0) return;
    // 0 Cut, 1 Copy, 2 Paste, 3 Delete, 4 -, 5 Load, 6 Save, 7 -, 8 custom
    const int commands[] = {0, 1, 2, 3, -1, 4, 5, -1, 6};
    for (int command : commands) {
        auto* item = new TMenuItem(menu);
        if (command < 0) {
            item->SetCaption("-");
            item->SetTag(2147483647);
        } else {
            item->SetCaption(vxToolCommandCaption(command));
            item->SetTag(command);
            item->OnClick = [this, item](TObject*) { ToolButtonClick(item, static_cast<int>(item->Tag())); };
        }
        root->Add(item);
    }
}

void TvxInplaceGraphicEdit::SyncPopupToolBar() {
    TvxPopupToolBarWindow* s = popupToolBar_.get();
    TvxPopupToolBar* t = toolBar_;
    if (!s->IsPopupMenu()) {
        t->SetShowAllowed(s->Visible());
        t->SetCustomCaption(s->CustomButtonCaption());
        t->SetCustomGlyph(s->HasCustomButtonGlyph() ? s->CustomButtonGlyph() : nullptr);
        t->Font()->Assign(Font());
        t->SetShowCaptions(s->ShowCaptions());
        t->SetAlignment(s->Alignment());
        t->SetButtons(s->Buttons());
    } else {
        BuildMenu();
        TMenuItem* root = t->PopupMenu()->Items();
        static const int itemOf[] = {0, 1, 2, 3, 5, 6, 8};
        for (int i = 0; i < vxToolCommandCount; ++i) root->Items(itemOf[i])->SetVisible((s->Buttons() >> i) & 1u);
        root->Items(4)->SetVisible(root->Items(5)->Visible() || root->Items(6)->Visible());
        root->Items(7)->SetVisible(root->Items(8)->Visible());
        root->Items(8)->SetCaption(s->CustomButtonCaption());
    }
    t->SetClipboardFormat(clipboardFormat_);
    t->SetPictureEmpty(IsPictureEmpty(picture_.get()));
    t->SetReadOnly(!CanEditText());
}

void TvxInplaceGraphicEdit::ShowPopupToolBar() {
    if (popupToolBar_->IsPopupMenu() || !popupToolBar_->Visible()) return;
    SyncPopupToolBar();
    const TPoint present{toolBar_->Left(), toolBar_->Top()};
    // The window is not where it was put last: the user moved it.
    if (IsSet(lastToolBarPos_) && (lastToolBarPos_.X != present.X || lastToolBarPos_.Y != present.Y))
        storedToolBarPos_ = present;
    if (popupToolBarPosStored_ && IsSet(storedToolBarPos_)) {
        toolBar_->SetBounds(storedToolBarPos_.X, storedToolBarPos_.Y, toolBar_->Width(), toolBar_->Height());
    } else {
        TRect wr;
        GetWindowRect(Handle(), &wr);
        toolBar_->PositionToolBar({wr.Left, wr.Top});
    }
    lastToolBarPos_ = {toolBar_->Left(), toolBar_->Top()};
    toolBar_->SetClosedByUser(false);
    toolBar_->UpdateLayout();
    toolBar_->ShowToolBar();
}

void TvxInplaceGraphicEdit::HidePopupToolBar() {
    if (toolBar_->HandleAllocated() && GetFocus() == toolBar_->Handle()) return;
    toolBar_->HideToolBar();
}

// ---- Input ----

void TvxInplaceGraphicEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (IsInplace() && (Key == VK_LEFT || Key == VK_RIGHT)) MoveColumnFocus(Key == VK_LEFT);
    const uint16_t key = Key;
    TvxInplaceEdit::KeyDown(Key, Shift);
    const bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl);
    if (key == VK_INSERT && shift)
        PasteFromClipboard();
    else if (key == VK_INSERT && ctrl)
        CopyToClipboard();
    else if (key == VK_DELETE && shift)
        CutToClipboard();
}

void TvxInplaceGraphicEdit::KeyPress(char32_t& Key) {
    const char32_t key = Key;
    TvxInplaceEdit::KeyPress(Key);
    if (key == 3)
        CopyToClipboard();
    else if (key == 22)
        PasteFromClipboard();
    else if (key == 24)
        CutToClipboard();
}

void TvxInplaceGraphicEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TvxInplaceEdit::MouseDown(Button, Shift, X, Y);
    if (dblClickActivate_ && Shift.Contains(ssDouble)) ShowPopupToolBar();
}

void TvxInplaceGraphicEdit::WMGetDlgCode(TMessage& Message) {
    TvxInplaceEdit::WMGetDlgCode(Message);
    if (IsInplace()) Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

void TvxInplaceGraphicEdit::WMContextMenu(TMessage& Message) {
    bool anyMenu = false;
    for (TControl* c = this; c; c = c->Parent())
        if (c->PopupMenu()) anyMenu = true;
    if (anyMenu || !popupToolBar_->IsPopupMenu()) {
        TvxInplaceEdit::WMContextMenu(Message);
        return;
    }
    TPoint screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    // From the keyboard: at the top-left of the editor (it has no caret).
    if (screen.X == -1 && screen.Y == -1) screen = ClientToScreen({0, 0});
    SyncPopupToolBar();
    toolBar_->UpdateLayout();
    TPopupMenu* menu = toolBar_->PopupMenu();
    menu->SetPopupComponent(this);
    menu->Popup(screen.X, screen.Y);
    Message.Result = 1;
}
