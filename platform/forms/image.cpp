#include "platform/forms/image.h"

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>()) {
    controlStyle_ |= csReplicatable;
    SetBounds(0, 0, 105, 105);
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::PictureChanged() {
    if (TGraphic* g = picture_->Graphic()) g->SetTransparent(transparent_);
    if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
        SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    Invalidate();
}

void TImage::SetStretch(bool v) {
    if (stretch_ == v) return;
    stretch_ = v;
    Invalidate();
}

void TImage::SetCenter(bool v) {
    if (center_ == v) return;
    center_ = v;
    Invalidate();
}

void TImage::SetTransparent(bool v) {
    if (transparent_ == v) return;
    transparent_ = v;
    PictureChanged();
}

void TImage::SetAutoSize(bool v) {
    if (autoSize_ == v) return;
    autoSize_ = v;
    PictureChanged();
}

void TImage::Paint() {
    TGraphic* g = picture_->Graphic();
    if (!g || g->Empty()) return;
    TRect r;
    if (stretch_)
        r = ClientRect();
    else if (center_)
        r = Bounds((Width() - g->Width()) / 2, (Height() - g->Height()) / 2, g->Width(), g->Height());
    else
        r = Bounds(0, 0, g->Width(), g->Height());
    Canvas()->StretchDraw(r, g);
}
