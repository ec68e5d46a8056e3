#include "controls/vx_edit_buttons.h"

#include "controls/vx_button_edit.h"
#include "platform/rtl/format.h"

namespace {

TCollection* CheckRoom(TCollection* Collection) {
    if (Collection && Collection->Count() >= vxMaxEditButtons)
        throw EvxEditButtons(Format(kvxTooManyButtons, vxMaxEditButtons));
    return Collection;
}

}  // namespace

TvxEditButton::TvxEditButton(TCollection* ACollection) : TCollectionItem(CheckRoom(ACollection)) {
    // The collection heard of the item while it was only a TCollectionItem; now it is whole.
    Changed(false);
}

TvxEditButton::~TvxEditButton() = default;

void TvxEditButton::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TvxEditButton*>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    TCollection* c = Collection();
    if (c) c->BeginUpdate();
    RestoreDefaults();
    SetDefault(src->default_);
    SetGlyph(src->HasGlyph() ? src->glyph_.get() : nullptr);
    SetKind(src->kind_);
    SetLeftAlignment(src->leftAlignment_);
    SetVisible(src->visible_);
    SetWidth(src->width_);
    if (c) c->EndUpdate();
}

void TvxEditButton::RestoreDefaults() {
    glyph_.reset();
    kind_ = bkEllipsis;
    leftAlignment_ = false;
    visible_ = true;
    width_ = 0;
    Changed(true);
}

void TvxEditButton::SetDefault(bool v) {
    if (default_ == v) return;
    if (v) {
        if (TCollection* c = Collection())
            for (int i = 0; i < c->Count(); ++i) static_cast<TvxEditButton*>(c->Items(i))->default_ = false;
    }
    default_ = v;
    Changed(true);
}

TBitmap* TvxEditButton::Glyph() {
    if (!glyph_) glyph_ = std::make_unique<TBitmap>();
    return glyph_.get();
}

void TvxEditButton::SetGlyph(TBitmap* v) {
    if (!v)
        glyph_.reset();
    else
        Glyph()->Assign(v);
    Changed(true);
}

void TvxEditButton::SetKind(TvxEditButtonKind v) {
    if (kind_ == v) return;
    kind_ = v;
    Changed(true);
}

void TvxEditButton::SetLeftAlignment(bool v) {
    if (leftAlignment_ == v) return;
    leftAlignment_ = v;
    Changed(true);
}

void TvxEditButton::SetVisible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    Changed(true);
}

void TvxEditButton::SetWidth(int v) {
    if (width_ == v) return;
    width_ = v;
    Changed(true);
}

// ---- The collection ----

TvxEditButtons::TvxEditButtons(TComponent* AOwner, TCollectionItemClass ItemClass)
    : TCollection(std::move(ItemClass)), owner_(AOwner) {}

int TvxEditButtons::VisibleCount() const {
    int n = 0;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Visible()) ++n;
    return n;
}

int TvxEditButtons::VisibleIndexToIndex(int VisibleIndex) const {
    if (VisibleIndex < 0) return -1;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Visible() && VisibleIndex-- == 0) return i;
    return -1;
}

TvxEditButton* TvxEditButtons::VisibleItems(int VisibleIndex) const {
    const int i = VisibleIndexToIndex(VisibleIndex);
    return i < 0 ? nullptr : Items(i);
}

void TvxEditButtons::RestoreDefaults() {
    BeginUpdate();
    for (int i = 0; i < Count(); ++i) Items(i)->RestoreDefaults();
    EndUpdate();
}

bool TvxEditButtons::Complete() const {
    for (int i = 0; i < Count(); ++i)
        if (!dynamic_cast<TvxEditButton*>(TCollection::Items(i))) return false;
    return true;
}

void TvxEditButtons::Update(TCollectionItem* Item) {
    (void)Item;
    if (!Complete()) return;
    if (owner_ && !owner_->HasState(csLoading) && Count() == 1) Items(0)->default_ = true;
}

void TvxInplaceEditButtons::Update(TCollectionItem* Item) {
    TvxEditButtons::Update(Item);
    if (!Complete()) return;
    auto* e = dynamic_cast<TvxInplaceButtonEdit*>(Owner());
    if (e && !e->HasState(csDestroying)) e->StyleChanged();
}
