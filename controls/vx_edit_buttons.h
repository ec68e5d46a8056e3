#pragma once
// The buttons a button editor shows inside its border: TvxEditButton describes one,
// TvxEditButtons holds at most eight (the view data has room for no more) and keeps the
// single remaining button the default one; TvxInplaceEditButtons re-lays out its editor on
// every change.

#include <memory>
#include <string>

#include "controls/vx_drop_down_edit.h"
#include "platform/classes/collection.h"
#include "platform/gdi/bitmap.h"

TOVAK_EXCEPTION_CLASS(EvxEditButtons, Exception);

inline constexpr const char* kvxTooManyButtons = "Too many buttons ( >= %d)";

class TvxEditButton : public TCollectionItem {
public:
    // Raises EvxEditButtons when the collection already holds vxMaxEditButtons buttons.
    explicit TvxEditButton(TCollection* ACollection);
    ~TvxEditButton() override;
    std::string ClassName() const override { return "TvxEditButton"; }
    void Assign(TPersistent* Source) override;
    virtual void RestoreDefaults();

    bool Default() const { return default_; }
    void SetDefault(bool v);
    // Made empty on first read.
    TBitmap* Glyph();
    bool HasGlyph() const { return glyph_ && !glyph_->Empty(); }
    // Null frees the glyph, anything else is copied.
    void SetGlyph(TBitmap* v);
    TvxEditButtonKind Kind() const { return kind_; }
    void SetKind(TvxEditButtonKind v);
    bool LeftAlignment() const { return leftAlignment_; }
    void SetLeftAlignment(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    int Width() const { return width_; }
    void SetWidth(int v);

private:
    friend class TvxEditButtons;
    bool default_ = false;
    std::unique_ptr<TBitmap> glyph_;
    TvxEditButtonKind kind_ = bkEllipsis;
    bool leftAlignment_ = false;
    bool visible_ = true;
    int width_ = 0;
};

class TvxEditButtons : public TCollection {
public:
    TvxEditButtons(TComponent* AOwner, TCollectionItemClass ItemClass = CollectionItemClass<TvxEditButton>());
    std::string ClassName() const override { return "TvxEditButtons"; }

    TvxEditButton* Add() { return static_cast<TvxEditButton*>(TCollection::Add()); }
    TvxEditButton* Items(int Index) const { return static_cast<TvxEditButton*>(TCollection::Items(Index)); }
    TComponent* Owner() const { return owner_; }
    int VisibleCount() const;
    // Collection index of the VisibleIndex-th visible button; -1 when there is none.
    int VisibleIndexToIndex(int VisibleIndex) const;
    TvxEditButton* VisibleItems(int VisibleIndex) const;
    void RestoreDefaults();

protected:
    void Update(TCollectionItem* Item) override;
    // False while an item is still being constructed (it is announced from its base).
    bool Complete() const;

private:
    TComponent* owner_;
};

class TvxInplaceEditButtons : public TvxEditButtons {
public:
    explicit TvxInplaceEditButtons(TComponent* AOwner) : TvxEditButtons(AOwner) {}
    std::string ClassName() const override { return "TvxInplaceEditButtons"; }

protected:
    void Update(TCollectionItem* Item) override;
};
