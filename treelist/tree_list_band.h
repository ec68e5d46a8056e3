#pragma once
// TvxTreeListBand and TvxTreeListBands: the horizontal header groups of a tree list with
// columns. Columns name their band by its position in the collection, so moving or
// deleting a band renumbers the columns; at most one band is fixed at each edge, and the
// collection keeps it there after every change.

#include <string>

#include "platform/classes/collection.h"
#include "platform/forms/control_types.h"

class TCustomvxTreeListControl;
class TvxTreeListBands;

enum TvxGridBandFixed : uint8_t { bfNone, bfLeft, bfRight };

class TvxTreeListBand : public TCollectionItem {
public:
    explicit TvxTreeListBand(TCollection* ACollection);
    std::string ClassName() const override { return "TvxTreeListBand"; }

    void Assign(TPersistent* Source) override;
    void SetIndex(int Value) override;
    virtual void RestoreDefaults();

    TCustomvxTreeListControl* GetTreeList() const;
    int VisibleIndex() const;
    int GetRowColumnCount(int RowIndex) const;
    // The column at a place of this band, or null.
    class TvxTreeListColumn* GetRowColumn(int RowIndex, int ColIndex) const;
    int GetRowCount() const;

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    bool DisableCustomizing() const { return disableCustomizing_; }
    void SetDisableCustomizing(bool Value);
    bool DisableDragging() const { return disableDragging_; }
    void SetDisableDragging(bool Value) { disableDragging_ = Value; }
    TvxGridBandFixed Fixed() const { return fixed_; }
    void SetFixed(TvxGridBandFixed Value);
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int Value);
    bool OnlyOwnColumns() const { return onlyOwnColumns_; }
    void SetOnlyOwnColumns(bool Value) { onlyOwnColumns_ = Value; }
    bool Sizing() const { return sizing_; }
    void SetSizing(bool Value);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    int Width() const { return width_; }
    void SetWidth(int Value);

private:
    friend class TvxTreeListBands;
    TvxTreeListBands* Bands() const;

    TAlignment alignment_ = taCenter;
    std::string caption_;
    bool disableCustomizing_ = false;
    bool disableDragging_ = false;
    TvxGridBandFixed fixed_ = bfNone;
    int minWidth_ = 30;
    bool onlyOwnColumns_ = false;
    bool sizing_ = true;
    bool visible_ = true;
    int width_ = 250;
};

class TvxTreeListBands : public TCollection {
public:
    explicit TvxTreeListBands(TCustomvxTreeListControl* AControl);
    std::string ClassName() const override { return "TvxTreeListBands"; }

    TvxTreeListBand* Add() { return static_cast<TvxTreeListBand*>(TCollection::Add()); }
    TvxTreeListBand* Items(int Index) const { return static_cast<TvxTreeListBand*>(TCollection::Items(Index)); }
    TCustomvxTreeListControl* TreeList() const { return control_; }
    // The control is set once the first band exists, so that making it runs no layout.
    void SetTreeList(TCustomvxTreeListControl* Value) { control_ = Value; }

    int GetAbsoluteIndex(int VisibleIndex) const;
    int GetVisibleIndex(int AbsoluteIndex) const;
    int VisibleCount() const;
    TvxTreeListBand* VisibleItems(int VisibleIndex) const;
    void CheckFixedBands();

protected:
    void Update(TCollectionItem* Item) override;
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
    TCustomvxTreeListControl* control_;
};
